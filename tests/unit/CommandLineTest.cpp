#include <gtest/gtest.h>

#include "launcher/CommandLine.h"

namespace wendle {
namespace {

struct SplitCase {
  const char* name;
  const wchar_t* text;
  std::vector<std::wstring> expected;
};

class SplitCommandLine : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLine, GivesTheArguments) {
  ArgumentVector args;
  splitCommandLine(GetParam().text, args);
  EXPECT_EQ(args.items(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SplitCommandLine,
    ::testing::Values(
        SplitCase{"ThreeBlanks", L"a   b", {L"a", L"b"}},
        SplitCase{"QuotedProgramPath", L"\"C:\\Program Files\\app.exe\" /run", {L"C:\\Program Files\\app.exe", L"/run"}},
        SplitCase{"PropertyWithQuotedValue", L"-Dname=\"a b\" x", {L"-Dname=a b", L"x"}},
        SplitCase{"QuoteFollowedByLetters", L"\"ab\"cd", {L"ab", L"cd"}},
        SplitCase{"ApostropheInsideDoubleQuotes", L"\"it's\"", {L"it's"}},
        SplitCase{"TwoSingleQuotedTexts", L"'a''b'", {L"a", L"b"}},
        SplitCase{"DoubleQuoteInsideSingle", L"'say \"hi\"' z", {L"say \"hi\"", L"z"}},
        SplitCase{"EmptyQuotes", L"\"\"", {L""}},
        SplitCase{"UnclosedQuote", L"a \"b c", {L"a", L"b c"}},
        SplitCase{"BackslashDoesNotEscape", L"\"a\\\" b\"", {L"a\\", L"b"}},
        SplitCase{"TrailingBlanks", L"a b   ", {L"a", L"b"}},
        SplitCase{"LeadingBlanks", L"   a", {L"a"}},
        SplitCase{"TabIsOrdinary", L"a\tb c", {L"a\tb", L"c"}},
        SplitCase{"QuoteAfterBlankSkipsOneBlank", L"\"a\"  b", {L"a", L"b"}},
        SplitCase{"Empty", L"", {}},
        SplitCase{"BlanksOnly", L"    ", {}}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

TEST(SplitCommandLineLong, KeepsAnArgumentLongerThanAnyWorkingBuffer) {
  std::wstring big(100000, L'x');
  ArgumentVector args;
  splitCommandLine(L"prog \"" + big + L"\" tail", args);
  ASSERT_EQ(args.size(), 3u);
  EXPECT_EQ(args[1], big);
  EXPECT_EQ(args[2], L"tail");
}

TEST(ArgumentVectorOps, RemovalShiftsTheRest) {
  ArgumentVector args;
  splitCommandLine(L"p a b c", args);
  args.removeFirst();
  args.removeLast();
  EXPECT_EQ(args.items(), (std::vector<std::wstring>{L"a", L"b"}));
}

}  // namespace
}  // namespace wendle
