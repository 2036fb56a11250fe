// Placeholders for the service commands and the service host, which are not
// built yet: each says so on standard error and in the log and fails.
#include <string>

#include "launcher/Errors.h"
#include "launcher/Log.h"
#include "service/ServiceCommands.h"
#include "service/win/ServiceHost.h"

namespace wendle {
namespace {
int notBuilt(const wchar_t* what) {
  logError(L"%s: service commands are not built yet", what);
  showError(std::wstring(what) + L": service commands are not built yet");
  return 1;
}
}  // namespace

int commandInstall(int, bool) { return notBuilt(L"install"); }
int commandUninstall(bool) { return notBuilt(L"uninstall"); }
int commandStart() { return notBuilt(L"start"); }
int commandStop(bool) { return notBuilt(L"stop"); }
int commandStatus() { return notBuilt(L"status"); }

void WINAPI serviceMain(DWORD, LPSTR*) {
  logError(L"serviceMain: the service host is not built yet");
  ExitProcess(1);
}

}  // namespace wendle
