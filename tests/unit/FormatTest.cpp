#include <gtest/gtest.h>

#include "launcher/Format.h"

namespace wendle {
namespace {

TEST(Format, WideFormatsTakeTheWindowsWidthConvention) {
  EXPECT_EQ(formatW(L"%s|%S", L"wide", "narrow"), L"wide|narrow");
  EXPECT_EQ(formatA("%s|%S", "narrow", L"wide"), "narrow|wide");
  EXPECT_EQ(formatW(L"%d %d %u %x %X", -5, 0, 7u, 255u, 255u), L"-5 0 7 ff FF");
  EXPECT_EQ(formatW(L"%I64d|%lld", static_cast<long long>(-1234567890123LL), 5LL), L"-1234567890123|5");
  EXPECT_EQ(formatW(L"%ssdx_nlog_%d.log", L"C:\\t\\", 1000), L"C:\\t\\sdx_nlog_1000.log");
  EXPECT_EQ(formatW(L"100%% %q"), L"100% %q");
  EXPECT_EQ(formatW(L"[%5d|%-3d|%03d]", 42, 7, 9), L"[   42|7  |009]");
  EXPECT_EQ(formatW(L"%s", static_cast<const wchar_t*>(nullptr)), L"(null)");
}

TEST(Format, LongArgumentsAreNeverCut) {
  std::wstring big(50000, L'a');
  EXPECT_EQ(formatW(L"<%s>", big.c_str()).size(), big.size() + 2);
}

TEST(Format, WidenBytesKeepsEveryByteValue) {
  std::wstring w = widenBytes(std::string("a\xE9\xFF"));
  ASSERT_EQ(w.size(), 3u);
  EXPECT_EQ(static_cast<unsigned>(w[1]), 0xE9u);
  EXPECT_EQ(static_cast<unsigned>(w[2]), 0xFFu);
}

}  // namespace
}  // namespace wendle
