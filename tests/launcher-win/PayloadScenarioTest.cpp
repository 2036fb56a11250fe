// Damaged payloads: every reader ends the launcher with its own text and exit
// code 1. While the configuration is read, errors go to a message box (which
// headless Wine refuses at once), so the texts are checked in the log.
#include <gtest/gtest.h>

#include "payload/ConfigKeys.h"
#include "payload/PayloadFormat.h"
#include "support/Scenario.h"

namespace wendle::test {
namespace {

std::string le32(uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return s;
}

std::string header() { return le32(payload::kMagic) + le32(0) + le32(0) + std::string(8, '\0'); }

struct DamageCase {
  const char* name;
  std::string appended;
  const wchar_t* text;
};

class DamagedPayload : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedPayload, EndsWithTheReadersText) {
  Scenario s;
  std::wstring exe = s.writeLauncherBytes(GetParam().appended);
  ASSERT_FALSE(exe.empty());
  RunResult r = s.run(exe, L"/?");
  EXPECT_EQ(r.exitCode, 1u);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "") << "message-box mode holds until the configuration is read";
  EXPECT_TRUE(r.logHasLine(std::wstring(L"showing error: ") + GetParam().text)) << toUtf8(r.log);
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, DamagedPayload,
    ::testing::Values(
        DamageCase{"NoPayload", "", L"Internal Error: readInt"},
        DamageCase{"CutInsideMagic", std::string("\xD5\x13", 2), L"Internal Error: readInt"},
        DamageCase{"WrongMagic", le32(0x12345678) + std::string(16, '\0'), L"Internal Error: magic"},
        DamageCase{"CutInsideReservedLong", le32(payload::kMagic) + le32(0) + le32(0) + "abc",
                   L"Internal Error: readLong"},
        DamageCase{"CutInsideString", header() + le32(1) + le32(101) + le32(10) + "abc", L"Internal Error: readString"},
        DamageCase{"CutInsideWString", header() + le32(0) + le32(1) + le32(1000) + le32(8) + "a\0b",
                   L"Internal Error: readWString"},
        DamageCase{"CutInsideSectionCount", header() + le32(0) + le32(0) + "\x01", L"Internal Error: readInt"}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

TEST(PayloadScenario, StubWithoutPayloadLogsTheShortRead) {
  Scenario s;
  std::wstring exe = s.writeLauncherBytes("");
  RunResult r = s.run(exe, L"/?");
  EXPECT_EQ(r.exitCode, 1u);
  bool found = false;
  for (const auto& line : r.logLines())
    if (line.rfind(L"error ", 0) == 0 && line.size() > 2 && line.substr(line.size() - 2) == L" 0") found = true;
  EXPECT_TRUE(found) << toUtf8(r.log);
}

// The payload begins after the last section's raw data whatever that section is called.
TEST(PayloadScenario, LastSectionNameDoesNotMatter) {
  Scenario s;
  std::string image = readFileBytes(stubPath());
  ASSERT_GT(image.size(), 64u);
  uint32_t lfanew = static_cast<uint8_t>(image[60]) | (static_cast<uint8_t>(image[61]) << 8);
  uint16_t sections = static_cast<uint8_t>(image[lfanew + 6]) | (static_cast<uint8_t>(image[lfanew + 7]) << 8);
  uint16_t optional = static_cast<uint8_t>(image[lfanew + 20]) | (static_cast<uint8_t>(image[lfanew + 21]) << 8);
  size_t last = lfanew + 24 + optional + 40 * (sections - 1);
  std::string original(image, last, 8);
  image.replace(last, 8, std::string(".zzdata\0", 8));
  std::wstring renamedStub = s.path(L"renamed-stub.exe");
  ASSERT_TRUE(writeFileBytes(renamedStub, image));

  std::string block;
  std::string error;
  ASSERT_TRUE(payload::encodePayload(basePayload(), block, error));
  uint64_t offset = 0;
  ASSERT_TRUE(payload::payloadOffset(image, offset));
  image.resize(offset);
  std::wstring exe = s.path(L"renamed.exe");
  ASSERT_TRUE(writeFileBytes(exe, image + block));
  RunResult r = s.run(exe, L"/?");
  EXPECT_EQ(r.exitCode, 0u) << "original last section " << original.c_str();
  EXPECT_EQ(r.out.rfind("Usage: renamed.exe ", 0), 0u);
  EXPECT_TRUE(r.logContains(L"number of sections: " + std::to_wstring(sections)));
}

}  // namespace
}  // namespace wendle::test
