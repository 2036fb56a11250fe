// Gathers the values of the launcher variables from the running process and
// hands them to the portable engine.
#include <windows.h>

#include "windows/Expansion.h"

#include "fs/Paths.h"
#include "fs/TempDir.h"
#include "launcher/Log.h"
#include "launcher/ProcessState.h"

// The narrow environment block: with UNICODE the plain name means the wide one.
#undef GetEnvironmentStrings

namespace wendle {
namespace {

std::vector<std::wstring> wideEnvironment() {
  std::vector<std::wstring> entries;
  LPWCH block = GetEnvironmentStringsW();
  DWORD err = GetLastError();
  if (block == nullptr) {
    logError(L"GetEnvironmentStringsW failed (%d)", static_cast<int>(err));
    return entries;
  }
  for (const wchar_t* p = block; *p; p += wcslen(p) + 1) entries.emplace_back(p);
  FreeEnvironmentStringsW(block);
  return entries;
}

std::vector<std::string> narrowEnvironment() {
  std::vector<std::string> entries;
  LPCH block = GetEnvironmentStrings();
  DWORD err = GetLastError();
  if (block == nullptr) {
    logError(L"GetEnvironmentStrings failed (%d)", static_cast<int>(err));
    return entries;
  }
  for (const char* p = block; *p; p += strlen(p) + 1) entries.emplace_back(p);
  FreeEnvironmentStringsA(block);
  return entries;
}

}  // namespace

void expandVariables(std::wstring& text, bool ansiForms, size_t limit) {
  WideExpansionInputs in;
  // The temporary directory is chosen on every call, whether or not the text
  // refers to it: a machine without one ends the launcher here.
  if (ansiForms) {
    in.launcherDirectoryAnsi = exeDirectory();
    in.tempDirectoryAnsi = chooseTempDir();
  } else {
    in.launcherDirectory = exeDirectoryW();
    in.tempDirectory = chooseTempDirW(true);
  }
  in.extractionDirectory = extractionDir;
  in.jvmHome = jvmHome;
  in.environment = wideEnvironment();
  expandWith(text, ansiForms, in, limit);
}

void expandVariablesNarrow(std::string& text, size_t limit) {
  NarrowExpansionInputs in;
  in.launcherDirectory = exeDirectory();
  in.tempDirectory = chooseTempDir();
  in.extractionDirectory = extractionDir;
  in.jvmHome = jvmHome;
  in.environment = narrowEnvironment();
  expandNarrowWith(text, in, limit);
}

}  // namespace wendle
