// Error reporting: shows a failure to the user (message box or standard error,
// naming the log file when there is one) and ends the process after removing
// the extraction directory. Implemented for Windows in launcher/win/Errors.cpp.
#pragma once

#include <string>

namespace wendle {

// True at process start; the configuration loader clears it unless the
// launcher kind is 1 or 5. True: errors go to a message box, false: to stderr.
extern bool messageBoxMode;

// Presents the text (with "\n\nLog: <path>" when a log is written). Returns.
void showError(const std::wstring& text);
// getMessage(key) with its first "{0}" replaced by the argument (when given).
void showErrorMessage(int key, const wchar_t* argument);
void showErrorMessage(int key, const char* argument);
// Removes the extraction directory and ends the process at once.
[[noreturn]] void exitLauncher(int code);
[[noreturn]] void failWithText(const std::wstring& text);
[[noreturn]] void failWithMessage(int key, const wchar_t* argument);
[[noreturn]] void failWithMessage(int key, const char* argument);

// The message text of key with the first "{0}" replaced (portable helper).
// Writes wide text to standard output (Unicode on a console).
void writeStdout(const std::wstring& text);

std::wstring substituteFirst(const std::wstring& message, const std::wstring& argument);

}  // namespace wendle
