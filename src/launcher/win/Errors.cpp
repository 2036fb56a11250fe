#include "launcher/Errors.h"

#include <windows.h>

#include "fs/Paths.h"
#include "fs/win/BufferCall.h"
#include "launcher/Log.h"
#include "launcher/win/LogFile.h"
#include "payload/ConfigKeys.h"
#include "payload/ConfigStore.h"
#include "payload/Extraction.h"

namespace wendle {
namespace {

constexpr size_t kTextLimit = 6000;

std::wstring limited(std::wstring text) {
  if (text.size() > kTextLimit - 1) text.resize(kTextLimit - 1);
  return text;
}

// Writes wide text to a standard stream: as Unicode on a console, otherwise in
// the console's output code page (the ANSI code page when there is none).
void writeWide(DWORD which, const std::wstring& text) {
  HANDLE h = GetStdHandle(which);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0, done = 0;
  if (GetConsoleMode(h, &mode)) {
    WriteConsoleW(h, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
    return;
  }
  UINT cp = GetConsoleOutputCP();
  if (cp == 0) cp = CP_ACP;
  int n = WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return;
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  FlushFileBuffers(h);
}

}  // namespace

void writeStdout(const std::wstring& text) { writeWide(STD_OUTPUT_HANDLE, text); }

void showError(const std::wstring& text) {
  // The log keeps what the user was shown, also when a message box could not appear.
  logMessage(L"showing error: %s", text.c_str());
  std::wstring composed = text;
  if (const wchar_t* log = getLogPath()) {
    std::wstring longPath;
    if (!callWithBuffer(longPath, [log](wchar_t* b, DWORD n) { return GetLongPathNameW(log, b, n); }))
      longPath = log;
    composed = text + L"\n\nLog: " + longPath;
  }
  composed = limited(composed);
  if (messageBoxMode) {
    std::wstring caption = getMessage(keys::kMsgErrorCaption);
    int r = MessageBoxW(nullptr, composed.c_str(), caption.c_str(), MB_ICONERROR);
    DWORD err = GetLastError();
    if (r == 0) logError(L"MessageBoxW failed (%d)", static_cast<int>(err));
  } else {
    writeWide(STD_ERROR_HANDLE, composed + L"\n");
  }
}

void showErrorMessage(int key, const wchar_t* argument) {
  std::wstring message = getMessage(key);
  if (argument != nullptr) message = substituteFirst(message, limited(argument));
  showError(message);
}

void showErrorMessage(int key, const char* argument) {
  if (argument == nullptr) {
    showErrorMessage(key, static_cast<const wchar_t*>(nullptr));
    return;
  }
  std::wstring wide = limited(toWide(argument));
  showErrorMessage(key, wide.c_str());
}

void exitLauncher(int code) {
  removeExtractionDir();
  ExitProcess(static_cast<UINT>(code));
}

void failWithText(const std::wstring& text) {
  showError(text);
  exitLauncher(1);
}

void failWithMessage(int key, const wchar_t* argument) {
  showErrorMessage(key, argument);
  exitLauncher(1);
}

void failWithMessage(int key, const char* argument) {
  showErrorMessage(key, argument);
  exitLauncher(1);
}

}  // namespace wendle
