// The diagnostic log switch, file naming and header, and how error texts name the log.
#include <windows.h>

#include <gtest/gtest.h>

#include "payload/ConfigKeys.h"
#include "support/Scenario.h"

namespace wendle::test {
namespace {

class Log : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = scenario_.buildLauncher(basePayload());
    ASSERT_FALSE(exe_.empty());
  }
  RunResult runWithEnv(std::map<std::wstring, std::optional<std::wstring>> env) {
    RunOptions o;
    o.log = false;
    o.env = std::move(env);
    return scenario_.run(exe_, L"/?", o);
  }
  Scenario scenario_;
  std::wstring exe_;
};

TEST_F(Log, OnlyTheExactValueYesSwitchesItOn) {
  struct Case {
    std::optional<std::wstring> wendle, strandix;
    bool on;
  } cases[] = {
      {L"yes", std::nullopt, true},  {std::nullopt, L"yes", true}, {L"no", L"yes", true},
      {L"YES", std::nullopt, false}, {L"Yes", L"YES", false},      {L"yes ", std::nullopt, false},
      {L"yes" + std::wstring(7000, L'x'), std::nullopt, false},    {std::nullopt, std::nullopt, false},
  };
  for (const Case& c : cases) {
    removeTree(scenario_.tempDir());
    CreateDirectoryW(scenario_.tempDir().c_str(), nullptr);
    RunResult r = runWithEnv({{L"WENDLE_LOG", c.wendle}, {L"STRANDIX_LOG", c.strandix}});
    EXPECT_EQ(!r.logPath.empty(), c.on) << toUtf8(c.wendle.value_or(L"-")) .substr(0, 10) << " / "
                                        << toUtf8(c.strandix.value_or(L"-"));
  }
}

TEST_F(Log, HeaderLineThenAnEmptyLine) {
  RunResult r = scenario_.run(exe_, L"/?");
  ASSERT_FALSE(r.logPath.empty());
  EXPECT_EQ(r.logPath, scenario_.tempDir() + L"\\sdx_nlog_1.log");
  std::string raw = readFileBytes(r.logPath);
  EXPECT_EQ(raw.substr(0, 3), "\xEF\xBB\xBF");
  auto lines = r.logLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind(L"Started executable " + exe_ + L" at ", 0), 0u) << toUtf8(lines[0]);
  EXPECT_EQ(lines[1], L"");
  // Lines end in CR LF.
  EXPECT_NE(raw.find("\r\n\r\n"), std::string::npos);
}

TEST_F(Log, TakesTheFirstFreeNumber) {
  writeFileBytes(scenario_.tempDir() + L"\\sdx_nlog_1.log", "old");
  CreateDirectoryW((scenario_.tempDir() + L"\\sdx_nlog_2.log").c_str(), nullptr);
  RunResult r = scenario_.run(exe_, L"/?");
  EXPECT_EQ(r.logPath, scenario_.tempDir() + L"\\sdx_nlog_3.log");
  EXPECT_EQ(readFileBytes(scenario_.tempDir() + L"\\sdx_nlog_1.log"), "old");
}

TEST_F(Log, WithAThousandFilesTheLastIsEmptiedAndReused) {
  for (int n = 1; n <= 1000; ++n)
    writeFileBytes(scenario_.tempDir() + L"\\sdx_nlog_" + std::to_wstring(n) + L".log", "old content");
  RunResult r = scenario_.run(exe_, L"/?");
  std::string reused = readFileBytes(scenario_.tempDir() + L"\\sdx_nlog_1000.log");
  EXPECT_EQ(reused.find("old content"), std::string::npos);
  EXPECT_EQ(reused.rfind("\xEF\xBB\xBFStarted executable ", 0), 0u);
  EXPECT_FALSE(pathExists(scenario_.tempDir() + L"\\sdx_nlog_1001.log"));
}

// An error after the configuration is read goes to standard error (no key 107),
// naming the log only when logging is on.
TEST_F(Log, ErrorTextNamesTheLogOnlyWhenLogging) {
  payload::Payload p = basePayload();
  p.settings.emplace_back(keys::kEmbeddedFileCount, "1");
  p.settings.emplace_back(keys::kEmbeddedFileNames, "a.jar");
  std::wstring broken = scenario_.buildLauncher(p, L"broken.exe");  // the record is missing

  RunOptions off;
  off.log = false;
  RunResult quiet = scenario_.run(broken, L"/run", off);
  EXPECT_EQ(quiet.exitCode, 1u);
  EXPECT_EQ(quiet.err, "Internal Error: readLong\n");

  RunResult logged = scenario_.run(broken, L"/run");
  EXPECT_EQ(logged.exitCode, 1u);
  ASSERT_FALSE(logged.logPath.empty());
  EXPECT_EQ(logged.err, "Internal Error: readLong\n\nLog: " + toUtf8(logged.logPath) + "\n");
}

}  // namespace
}  // namespace wendle::test
