#include "payload/Configuration.h"

#include <windows.h>

#include <memory>

#include "launcher/Errors.h"
#include "launcher/Log.h"
#include "payload/ConfigKeys.h"
#include "payload/ConfigStore.h"
#include "payload/Locale.h"
#include "payload/PayloadReader.h"
#include "payload/win/OwnExecutable.h"

namespace wendle {
namespace {

using UiLanguageFunction = LANGID(WINAPI*)();

// GetUserDefaultUILanguage is looked up at run time rather than imported, so
// the launcher still starts where kernel32 lacks it.
bool userInterfaceLanguage(uint16_t& language) {
  HMODULE kernel = LoadLibraryA("Kernel32.DLL");
  DWORD err = GetLastError();
  if (kernel == nullptr) {
    logMessage(L"LoadLibraryA Kernel32.DLL failed (%d)", static_cast<int>(err));
    return false;
  }
  // The module is not released: kernel32 stays loaded for the process anyway.
  FARPROC proc = GetProcAddress(kernel, "GetUserDefaultUILanguage");
  err = GetLastError();
  if (proc == nullptr) {
    logMessage(L"GetUserDefaultUILanguage not found (%d)", static_cast<int>(err));
    return false;
  }
  auto function = reinterpret_cast<UiLanguageFunction>(reinterpret_cast<void (*)()>(proc));
  language = function();
  return true;
}

}  // namespace

std::string detectLocale() {
  LCID userLocale = GetUserDefaultLCID();  // has no failure result
  uint16_t uiLanguage = 0;
  bool haveUiLanguage = userInterfaceLanguage(uiLanguage);
  std::string locale = localeFromLanguageId(userLocale, haveUiLanguage ? &uiLanguage : nullptr);
  logMessage(L"language/country is %S", locale.c_str());
  return locale;
}

void loadConfiguration() {
  std::wstring errorText;
  {
    // openOwnExecutable ends the launcher itself when the file cannot be opened.
    std::unique_ptr<ByteSource> source = openOwnExecutable();
    PayloadReader reader(*source);
    if (!reader.seekToPayload())
      failWithText(reader.failure() != nullptr ? reader.failure() : L"Internal Error: readInt");
    if (!loadConfigurationFrom(reader, configStore(), &detectLocale, errorText)) failWithText(errorText);
  }  // the handle is closed here, before anything else runs
  int32_t kind = getConfigInt(keys::kLauncherKind);
  // Only the windowed kinds keep message boxes; everything else reports on the console.
  messageBoxMode = kind == keys::kKindWindowed || kind == keys::kKindMessageBox;
}

}  // namespace wendle
