// The entry's roles, seen from outside: usage line, command words, run modes,
// the service child marker and the dispatcher attempt.
#include <gtest/gtest.h>

#include "payload/ConfigKeys.h"
#include "support/Scenario.h"

namespace wendle::test {
namespace {

class Launcher : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = scenario_.buildLauncher(basePayload(), L"svc-tool.exe");
    ASSERT_FALSE(exe_.empty());
  }
  Scenario scenario_;
  std::wstring exe_;
};

TEST_F(Launcher, UsageLineForEveryHelpSpelling) {
  for (const wchar_t* word : {L"/?", L"-help", L"--help", L"/-?", L"/help"}) {
    RunResult r = scenario_.run(exe_, word);
    EXPECT_EQ(r.exitCode, 0u) << word;
    EXPECT_EQ(r.out, "Usage: svc-tool.exe /install | /uninstall | /stop | /start | /status | /run | /run-redirect\n")
        << word;
  }
}

TEST_F(Launcher, UsageSaysExeWhateverTheRealExtension) {
  std::wstring other = scenario_.buildLauncher(basePayload(), L"tool.bin");
  RunResult r = scenario_.run(other, L"/?");
  EXPECT_EQ(r.out, "Usage: tool.exe /install | /uninstall | /stop | /start | /status | /run | /run-redirect\n");
}

TEST_F(Launcher, CapitalisedWordEndsInTheDispatcherAttempt) {
  RunResult r = scenario_.run(exe_, L"/INSTALL");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(r.logHasLine(L"calling StartServiceCtrlDispatcher"));
  // Started from a console, the dispatcher fails with ERROR_FAILED_SERVICE_CONTROLLER_CONNECT.
  EXPECT_TRUE(r.logHasLine(L"StartServiceCtrlDispatcher failed with error 1063")) << r.log;
  EXPECT_TRUE(r.logHasLine(L"StartServiceCtrlDispatcher returned"));
}

TEST_F(Launcher, NoArgumentsIsTheServiceProcess) {
  RunResult r = scenario_.run(exe_, L"");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(r.logHasLine(L"StartServiceCtrlDispatcher failed with error 1063")) << r.log;
  EXPECT_TRUE(r.logContains(L"command line2 \"" + exe_ + L"\""));
}

// The run modes: which flags each sets and which arguments remain for the application.
TEST_F(Launcher, RunModesAndTheChildMarker) {
  struct Case {
    const wchar_t* args;
    const wchar_t* modeLine;
    const wchar_t* flags;
  } cases[] = {
      {L"/run a b", L"running service", L"isServiceProcess: 0, noRedirect: 1, arguments: 2"},
      {L"--run", L"running service", L"isServiceProcess: 0, noRedirect: 1, arguments: 0"},
      {L"-run-redirect \"x y\"", L"running service with redirection", L"isServiceProcess: 0, noRedirect: 0, arguments: 1"},
      {L"svc a b __sdx_restart", L"running as service child", L"isServiceProcess: 1, noRedirect: 0, arguments: 3"},
      {L"/run a b __sdx_restart", L"running as service child", L"isServiceProcess: 1, noRedirect: 0, arguments: 3"},
  };
  for (const Case& c : cases) {
    RunResult r = scenario_.run(exe_, c.args);
    EXPECT_TRUE(r.logHasLine(c.modeLine)) << c.args << "\n" << toUtf8(r.log);
    EXPECT_TRUE(r.logHasLine(c.flags)) << c.args << "\n" << toUtf8(r.log);
    EXPECT_FALSE(r.logContains(L"calling StartServiceCtrlDispatcher")) << c.args;
  }
}

TEST_F(Launcher, ACommandLineLongerThanAnyWorkingBufferIsLoggedWhole) {
  std::wstring big(20000, L'q');
  RunResult r = scenario_.run(exe_, L"/RUNX " + big);
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(r.logContains(L" /RUNX " + big));
}

TEST_F(Launcher, ALongServiceNameAfterTheWordIsCutToTheNameLimit) {
  std::wstring name(7000, L'n');
  RunResult r = scenario_.run(exe_, L"/status " + name);
  EXPECT_TRUE(r.logContains(L"command status for service " + std::wstring(5999, L'n') + L"\n") ||
              r.logContains(L"command status for service " + std::wstring(5999, L'n') + L"\r\n"))
      << "log length " << r.log.size();
}

}  // namespace
}  // namespace wendle::test
