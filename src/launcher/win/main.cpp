// The entry of every launcher process: decides which role this process plays
// (service control command, service child, console run, service process).
#include <windows.h>

#include <cstdlib>
#include <string>

#include "fs/Paths.h"
#include "launcher/CommandLine.h"
#include "launcher/Dispatch.h"
#include "launcher/Errors.h"
#include "launcher/Log.h"
#include "launcher/ProcessState.h"
#include "launcher/Startup.h"
#include "launcher/win/LogFile.h"
#include "payload/ConfigKeys.h"
#include "payload/ConfigStore.h"
#include "service/ServiceCommands.h"
#include "service/win/ServiceHost.h"

namespace wendle {
namespace {

void printUsage() { writeStdout(usageLine(moduleFileNameW())); }

int runCommand(const CommandWord& cw) {
  int installType = getConfigInt(keys::kLauncherKind) == keys::kKindAutoStartService ? kStartAutomatic : kStartOnDemand;
  switch (cw.command) {
    case Command::Usage:
      printUsage();
      return 0;
    case Command::Install:
      return commandInstall(installType, cw.interactive);
    case Command::InstallAndStart:
      commandInstall(installType, cw.interactive);  // the start's result decides
      return commandStart();
    case Command::InstallAuto:
      return commandInstall(kStartAutomatic, cw.interactive);
    case Command::InstallDemand:
      return commandInstall(kStartOnDemand, cw.interactive);
    case Command::Uninstall:
      return commandUninstall(true);
    case Command::Stop:
      return commandStop(true);
    case Command::Start:
      return commandStart();
    case Command::Status:
      return commandStatus();
    case Command::None:
      break;
  }
  return -1;
}

void runDispatcher() {
  std::string name = serviceName;
  SERVICE_TABLE_ENTRYA table[] = {{name.data(), serviceMain}, {nullptr, nullptr}};
  logMessage(L"calling StartServiceCtrlDispatcher");
  BOOL ok = StartServiceCtrlDispatcherA(table);
  DWORD err = GetLastError();
  if (!ok) logMessage(L"StartServiceCtrlDispatcher failed with error %d", static_cast<int>(err));
  logMessage(L"StartServiceCtrlDispatcher returned");
}

int launcherEntry(const std::string& tail) {
  isServiceProcess = true;
  initializeLauncher();
  serviceName = getConfigString(keys::kServiceName, kTextBufferSize);

  CommandWord cw = parseCommandTail(tail);
  if (cw.nameGiven) serviceName = cw.name.substr(0, kTextBufferSize - 1);
  if (cw.command != Command::None) {
    logMessage(L"command %S for service %S", cw.word.c_str(), serviceName.c_str());
    return runCommand(cw);
  }

  const wchar_t* commandLine = GetCommandLineW();
  logMessage(L"command line2 %s", commandLine);
  ArgumentVector args;
  splitCommandLine(commandLine, args);
  args.removeFirst();
  RunMode mode = recogniseRunMode(args);
  if (mode == RunMode::ConsoleRun) noRedirect = true;
  if (mode == RunMode::ConsoleRun || mode == RunMode::ConsoleRunRedirect) isServiceProcess = false;
  if (mode != RunMode::ServiceProcess)
    logMessage(L"isServiceProcess: %d, noRedirect: %d, arguments: %d", isServiceProcess ? 1 : 0, noRedirect ? 1 : 0,
               static_cast<int>(args.size()));
  switch (mode) {
    case RunMode::ServiceChild:
      logMessage(L"running as service child");
      launchApplication(args, true);
      break;
    case RunMode::ConsoleRun:
      logMessage(L"running service");
      launchApplication(args, false);
      break;
    case RunMode::ConsoleRunRedirect:
      logMessage(L"running service with redirection");
      launchApplication(args, false);
      break;
    case RunMode::ServiceProcess:
      runDispatcher();
      break;
  }
  return 0;
}

}  // namespace
}  // namespace wendle

int main() {
  wendle::installFileLog();
  const char* line = GetCommandLineA();
  return wendle::launcherEntry(wendle::commandTail(line ? line : ""));
}

// An uncaught exception (only an allocation failure can raise one) ends the
// process without the C++ runtime's verbose handler, which would pull the
// symbol demangler into the executable.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
