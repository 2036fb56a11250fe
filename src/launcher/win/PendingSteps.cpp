// Placeholders for launch steps whose subsystems are not built yet. Each logs
// and shows which step is missing and ends the launcher with exit code 1, so a
// run stops visibly at the first missing step.
#include <string>

#include "launcher/Errors.h"
#include "launcher/Log.h"
#include "launcher/win/LaunchSteps.h"

namespace wendle {
namespace {
[[noreturn]] void notBuilt(const wchar_t* step, const wchar_t* what) {
  std::wstring text = std::wstring(step) + L": " + what + L" is not built yet";
  logError(L"%s", text.c_str());
  showError(text);
  exitLauncher(1);
}
}  // namespace

void setNativeLibraryPath() {
  notBuilt(L"setNativeLibraryPath", L"the native library path");
}

void checkSingleInstance() {
  notBuilt(L"checkSingleInstance", L"the single-instance guard");
}

bool LoadDLL() {
  notBuilt(L"LoadDLL", L"Java runtime search");
}

bool launchJvm(ArgumentVector&, bool) {
  notBuilt(L"launchJvm", L"JVM creation");
}

BOOL WINAPI consoleControlHandler(DWORD) {
  logMessage(L"ConsoleCtrlHandler event");
  return TRUE;
}

}  // namespace wendle
