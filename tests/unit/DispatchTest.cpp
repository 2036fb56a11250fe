#include <gtest/gtest.h>

#include <cctype>

#include "launcher/Dispatch.h"

namespace wendle {
namespace {

struct TailCase {
  const char* tail;
  Command command;
  bool interactive;
  bool nameGiven;
  const char* name;
};

class CommandTailWords : public ::testing::TestWithParam<TailCase> {};

TEST_P(CommandTailWords, Parse) {
  const TailCase& c = GetParam();
  CommandWord cw = parseCommandTail(c.tail);
  EXPECT_EQ(cw.command, c.command) << c.tail;
  EXPECT_EQ(cw.interactive, c.interactive) << c.tail;
  EXPECT_EQ(cw.nameGiven, c.nameGiven) << c.tail;
  EXPECT_EQ(cw.name, c.name) << c.tail;
}

INSTANTIATE_TEST_SUITE_P(
    Words, CommandTailWords,
    ::testing::Values(
        TailCase{"/?", Command::Usage, true, false, ""}, TailCase{"-help", Command::Usage, true, false, ""},
        TailCase{"--help", Command::Usage, true, false, ""}, TailCase{"/-?", Command::Usage, true, false, ""},
        TailCase{"/INSTALL", Command::None, true, false, ""}, TailCase{"install", Command::None, true, false, ""},
        TailCase{"/install", Command::Install, true, false, ""},
        TailCase{"/install-and-start", Command::InstallAndStart, true, false, ""},
        TailCase{"-install-auto", Command::InstallAuto, true, false, ""},
        TailCase{"--install-demand", Command::InstallDemand, true, false, ""},
        TailCase{"/uninstall", Command::Uninstall, true, false, ""}, TailCase{"/stop", Command::Stop, true, false, ""},
        TailCase{"/start", Command::Start, true, false, ""}, TailCase{"/status", Command::Status, true, false, ""},
        TailCase{"/run", Command::None, true, false, ""},
        TailCase{"/install ", Command::Install, true, false, ""},
        TailCase{"/stop My Service", Command::Stop, true, true, "My Service"},
        TailCase{"/install non-interactive svc", Command::Install, false, true, "svc"},
        TailCase{"/install non-interactive", Command::Install, false, false, ""},
        TailCase{"/install svc non-interactive", Command::Install, true, true, "svc non-interactive"},
        TailCase{"/install non-interactive non-interactive x", Command::Install, false, true, "x"}),
    [](const ::testing::TestParamInfo<TailCase>& info) {
      std::string name;
      for (const char* p = info.param.tail; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return name + "_" + std::to_string(info.index);
    });

TEST(CommandTail, RemovesTheProgramName) {
  EXPECT_EQ(commandTail("\"C:\\a b\\w.exe\"  /install x"), "/install x");
  EXPECT_EQ(commandTail("w.exe\t /stop"), "/stop");
  EXPECT_EQ(commandTail("w.exe"), "");
}

TEST(RunModes, MarkerComesFirstAndIsRemoved) {
  struct Case {
    const wchar_t* line;
    RunMode mode;
    std::vector<std::wstring> rest;
  } cases[] = {
      {L"/run a b", RunMode::ConsoleRun, {L"a", L"b"}},
      {L"--run", RunMode::ConsoleRun, {}},
      {L"-run-redirect x", RunMode::ConsoleRunRedirect, {L"x"}},
      {L"svc a b __sdx_restart", RunMode::ServiceChild, {L"svc", L"a", L"b"}},
      {L"/run a __sdx_restart", RunMode::ServiceChild, {L"/run", L"a"}},
      {L"/RUN", RunMode::ServiceProcess, {L"/RUN"}},
      {L"", RunMode::ServiceProcess, {}},
  };
  for (const Case& c : cases) {
    ArgumentVector args;
    splitCommandLine(c.line, args);
    EXPECT_EQ(recogniseRunMode(args), c.mode) << c.line;
    EXPECT_EQ(args.items(), c.rest) << c.line;
  }
}

TEST(Usage, NamesTheExecutableWithoutDirectoryOrExtension) {
  EXPECT_EQ(usageLine(L"C:\\apps\\my.svc.com"),
            L"Usage: my.svc.exe /install | /uninstall | /stop | /start | /status | /run | /run-redirect\n");
  std::wstring longName(300, L'n');
  std::wstring line = usageLine(L"C:\\" + longName + L".exe");
  EXPECT_EQ(line.find(L"Usage: " + std::wstring(256, L'n') + L".exe "), 0u);
}

}  // namespace
}  // namespace wendle
