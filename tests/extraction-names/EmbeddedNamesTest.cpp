#include "payload/EmbeddedNames.h"

#include <gtest/gtest.h>

namespace wendle {
namespace {

struct NameCase {
  const char* name;
  bool accepted;
};

class EmbeddedNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(EmbeddedNames, OnlyNamesThatStayInsideTheDirectoryAreAccepted) {
  const NameCase& c = GetParam();
  EXPECT_EQ(isAcceptedEmbeddedName(c.name), c.accepted) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, EmbeddedNames,
    ::testing::Values(
        // Accepted: a plain name and one directory level.
        NameCase{"a.jar", true}, NameCase{"lib\\b.dll", true}, NameCase{"app-1.0.jar", true},
        NameCase{".hidden", true}, NameCase{"lib\\..x.dll", true}, NameCase{"console.jar", true},
        NameCase{"COM10.txt", true},
        // Out of the directory.
        NameCase{"..\\x.dll", false}, NameCase{"lib\\..\\..\\x.dll", false}, NameCase{"..", false},
        NameCase{"lib\\..", false}, NameCase{". .\\x", false}, NameCase{".\\x.dll", false},
        NameCase{"C:\\x.dll", false}, NameCase{"C:x.dll", false}, NameCase{"\\\\host\\share\\x", false},
        NameCase{"\\x.dll", false}, NameCase{"/x", false}, NameCase{"lib/x.dll", false},
        NameCase{"a.jar:stream", false}, NameCase{"\\\\?\\C:\\x", false},
        // Two levels, empty parts.
        NameCase{"x\\y\\z.dll", false}, NameCase{"lib\\\\x.dll", false}, NameCase{"lib\\", false},
        NameCase{"", false},
        // Devices and characters Windows names cannot hold.
        NameCase{"NUL", false}, NameCase{"con.txt", false}, NameCase{"lib\\COM1.dll", false},
        NameCase{"LPT9", false}, NameCase{"a*.jar", false}, NameCase{"a?.jar", false},
        NameCase{"a\tb", false}, NameCase{"a|b", false}));

TEST(EmbeddedNamesReason, NamesTheProblem) {
  EXPECT_STREQ(embeddedNameProblem("x\\y\\z.dll"), "more than one directory level");
  EXPECT_STREQ(embeddedNameProblem("C:\\x.dll"), "drive or stream name");
  EXPECT_STREQ(embeddedNameProblem("..\\x.dll"), "relative path component");
  EXPECT_EQ(embeddedNameProblem("lib\\b.dll"), nullptr);
}

}  // namespace
}  // namespace wendle
