#include "launcher/Startup.h"

#include <windows.h>

#include <string>

#include "fs/Paths.h"
#include "launcher/Errors.h"
#include "launcher/Log.h"
#include "launcher/ProcessState.h"
#include "launcher/win/LaunchSteps.h"
#include "payload/ConfigKeys.h"
#include "payload/ConfigStore.h"
#include "payload/Configuration.h"
#include "payload/Extraction.h"
#include "windows/Expansion.h"

namespace wendle {
namespace {

// Key 2001 is read into a 2-byte buffer: only its first character counts.
constexpr int32_t kFlavourBufferSize = 2;

void readFlavourLetter() {
  std::string flavour = getConfigString(keys::kFlavour, kFlavourBufferSize);
  flavourLetter = flavour.empty() ? 0 : flavour[0];
  const wchar_t* name = flavourLetter == 'i' ? L"strandix" : L"wendle";
  if (flavourLetter != 0)
    logMessage(L"flavour letter %c: %s flavour", static_cast<int>(static_cast<unsigned char>(flavourLetter)), name);
  else
    logMessage(L"no flavour letter: %s flavour", name);
}

void changeWorkingDirectory() {
  std::wstring directory = getConfigWideString(keys::kWorkingDirectory, kTextBufferSize);
  if (directory.empty()) {
    logMessage(L"working directory unchanged");
    return;
  }
  expandVariables(directory, true);
  // Relative to the launcher directory in its ANSI-derived form, case kept.
  std::wstring full = getFullPathW(directory, true, true);
  if (full.size() > static_cast<size_t>(kTextBufferSize - 1)) {
    logMessage(L"working directory cut to %d characters (%d)", static_cast<int>(kTextBufferSize - 1),
               static_cast<int>(full.size()));
    full.resize(kTextBufferSize - 1);
  }
  BOOL changed = SetCurrentDirectoryW(full.c_str());
  DWORD err = GetLastError();
  // A failed change is not fatal: the launch goes on in the old directory.
  logMessage(L"change working directory to %s", full.c_str());
  if (!changed) logMessage(L"SetCurrentDirectoryW failed (%d)", static_cast<int>(err));
}

}  // namespace

void initializeLauncher() {
  extractionDir.clear();
  loadConfiguration();
  readFlavourLetter();
  changeWorkingDirectory();
}

void launchApplication(ArgumentVector& arguments, bool installConsoleHandler) {
  if (extractFiles() != 0) failWithMessage(keys::kMsgFatalError, keys::kFatalExtractionFailed);
  setNativeLibraryPath();
  if (installConsoleHandler) {
    logMessage(L"registering ConsoleCtrlHandler");
    BOOL registered = SetConsoleCtrlHandler(consoleControlHandler, TRUE);
    DWORD err = GetLastError();
    if (!registered) logMessage(L"SetConsoleCtrlHandler failed (%d)", static_cast<int>(err));
  }
  checkSingleInstance();
  // Both steps have shown their own messages when they fail.
  if (!LoadDLL()) exitLauncher(1);
  if (!launchJvm(arguments, true)) exitLauncher(1);
}

}  // namespace wendle
