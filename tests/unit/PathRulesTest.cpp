#include <gtest/gtest.h>

#include "fs/PathRules.h"

namespace wendle {
namespace {

TEST(PathRules, RelativeOrAbsolute) {
  struct Case {
    const char* path;
    bool relative;
  } cases[] = {{"C:\\x", false}, {"\"C:\\x", false}, {"\\\\host\\share", false}, {"C:/x", true},
               {"C:x", true},    {"\\x", true},      {"ab", true},             {"\"C:", true},
               {"lib\\a.jar", true}};
  for (const Case& c : cases) {
    EXPECT_EQ(isRelativePath(c.path), c.relative) << c.path;
    std::string s(c.path);
    EXPECT_EQ(isRelativePathW(std::wstring(s.begin(), s.end())), c.relative) << c.path;
  }
}

TEST(PathRules, CollapseKeepsTheUncPrefix) {
  struct Case {
    const wchar_t* in;
    const wchar_t* out;
  } cases[] = {{L"\\\\\\\\host\\\\share", L"\\\\host\\share"}, {L"C:\\\\a\\\\\\b\\", L"C:\\a\\b\\"},
               {L"", L""}, {L"\\", L"\\"}, {L"ab\\\\", L"ab\\"}};
  for (const Case& c : cases) {
    std::wstring s = c.in;
    collapseBackslashesW(s);
    EXPECT_EQ(s, c.out);
  }
}

TEST(PathRules, DriveRoots) {
  EXPECT_TRUE(isDriveRootW(L"C:\\"));
  EXPECT_TRUE(isDriveRootW(L"C:\\."));
  EXPECT_TRUE(isDriveRootW(L"C:\\.\\."));
  EXPECT_FALSE(isDriveRootW(L"C:"));
  EXPECT_FALSE(isDriveRootW(L"C:\\x"));
}

}  // namespace
}  // namespace wendle
