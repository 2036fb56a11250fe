#include "fs/TempDir.h"

#include <windows.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

#include "fs/Paths.h"
#include "fs/win/BufferCall.h"
#include "launcher/Errors.h"
#include "launcher/Log.h"
#include "payload/ConfigKeys.h"

namespace wendle {
namespace {

// Narrow and wide twins of the calls and texts the candidate walk uses.
struct NarrowApi {
  using Char = char;
  using Text = std::string;
  static constexpr const char* kUserProfile = "USERPROFILE";
  static constexpr const char* kHomeDrive = "HOMEDRIVE";
  static constexpr const char* kHomePath = "HOMEPATH";
  static constexpr const char* kLocalTemp = "\\AppData\\Local\\Temp";
  static constexpr const char* kWindowsTemp = "\\temp";
  static constexpr const char* kCTemp = "c:\\temp";
  static constexpr const char* kCTmp = "c:\\tmp";
  static DWORD tempPath(char* b, DWORD n) { return GetTempPathA(n, b); }
  static DWORD windowsDir(char* b, DWORD n) { return GetWindowsDirectoryA(b, n); }
  static DWORD env(const char* name, char* b, DWORD n) { return GetEnvironmentVariableA(name, b, n); }
  static bool usable(const Text& d, bool create, bool ansi) { return isUsableTempDir(d, create, ansi); }
};
struct WideApi {
  using Char = wchar_t;
  using Text = std::wstring;
  static constexpr const wchar_t* kUserProfile = L"USERPROFILE";
  static constexpr const wchar_t* kHomeDrive = L"HOMEDRIVE";
  static constexpr const wchar_t* kHomePath = L"HOMEPATH";
  static constexpr const wchar_t* kLocalTemp = L"\\AppData\\Local\\Temp";
  static constexpr const wchar_t* kWindowsTemp = L"\\temp";
  static constexpr const wchar_t* kCTemp = L"c:\\temp";
  static constexpr const wchar_t* kCTmp = L"c:\\tmp";
  static DWORD tempPath(wchar_t* b, DWORD n) { return GetTempPathW(n, b); }
  static DWORD windowsDir(wchar_t* b, DWORD n) { return GetWindowsDirectoryW(b, n); }
  static DWORD env(const wchar_t* name, wchar_t* b, DWORD n) { return GetEnvironmentVariableW(name, b, n); }
  static bool usable(const Text& d, bool create, bool ansi) { return isUsableTempDirW(d, create, ansi); }
};

// A source that fails or whose answer would not fit the path limit skips the
// candidate; the failure itself is not worth a log line.
template <typename Char, typename Fn>
bool fetch(std::basic_string<Char>& out, Fn fn) {
  return callWithBuffer(out, fn, static_cast<DWORD>(kTempPathLimit));
}

// The eleven candidates in order; the first that passes wins. Empty when none does.
template <typename Api>
typename Api::Text chooseFrom() {
  using Text = typename Api::Text;
  using Char = typename Api::Char;
  auto fits = [](const Text& t) { return t.size() < kTempPathLimit; };
  auto env = [](const Char* name, Text& out) {
    return fetch(out, [name](Char* b, DWORD n) { return Api::env(name, b, n); });
  };
  auto tempPath = [](Text& out) { return fetch(out, Api::tempPath); };
  auto windowsDir = [](Text& out) { return fetch(out, Api::windowsDir); };
  auto profileTemp = [&](Text& out) {
    if (!env(Api::kUserProfile, out)) return false;
    out += Api::kLocalTemp;
    return fits(out);
  };
  auto home = [&](Text& out) {
    Text drive, path;
    // Both must exist.
    if (!env(Api::kHomeDrive, drive) || !env(Api::kHomePath, path)) return false;
    out = drive + path;
    return fits(out);
  };
  auto windowsTemp = [&](Text& out) {
    if (!windowsDir(out)) return false;
    out += Api::kWindowsTemp;
    return fits(out);
  };
  auto fixed = [](const Char* value) {
    return [value](Text& out) {
      out = value;
      return true;
    };
  };
  struct Candidate {
    std::function<bool(Text&)> source;
    bool create;
    bool ansiTest;
  };
  const Candidate candidates[] = {
      {tempPath, true, true},              // 1
      {profileTemp, false, true},          // 2
      {home, false, true},                 // 3
      {windowsTemp, false, false},         // 4
      {fixed(Api::kCTemp), false, false},  // 5
      {fixed(Api::kCTmp), false, false},   // 6
      {windowsDir, false, false},          // 7
      {fixed(Api::kCTmp), true, false},    // 8
      {tempPath, true, false},             // 9
      {profileTemp, false, false},         // 10
      {home, false, false},                // 11
  };
  for (const Candidate& c : candidates) {
    Text dir;
    if (!c.source(dir)) continue;
    if (Api::usable(dir, c.create, c.ansiTest)) return dir;
  }
  return Text();
}

}  // namespace

bool isWritableDir(const std::string& dir) {
  // The candidate is used as it is: one ending in a backslash gives two in a
  // row, which Windows accepts.
  std::string test = dir + "\\wdl_w_testdir";
  // A leftover from an interrupted run; when it still has content the removal
  // fails and so does the creation below.
  RemoveDirectoryA(test.c_str());
  if (!CreateDirectoryA(test.c_str(), nullptr)) return false;
  bool found = fileExists(test);
  RemoveDirectoryA(test.c_str());
  return found;
}

bool isWritableDirW(const std::wstring& dir) {
  std::wstring test = dir + L"\\wdl_w_testdir";
  RemoveDirectoryW(test.c_str());
  if (!CreateDirectoryW(test.c_str(), nullptr)) return false;
  bool found = fileExistsW(test);
  RemoveDirectoryW(test.c_str());
  return found;
}

bool isUsableTempDir(const std::string& dir, bool create, bool ansiTest) {
  if (dir.empty()) return false;
  // Only the last component can be created; an existing directory is fine.
  if (create) CreateDirectoryA(dir.c_str(), nullptr);
  if (ansiTest) {
    // The narrow functions put "?" for every character the code page cannot
    // represent. When the long form cannot be had, the path itself is judged.
    std::string longForm;
    if (!fetch(longForm, [&](char* b, DWORD n) { return GetLongPathNameA(dir.c_str(), b, n); })) longForm = dir;
    if (longForm.find('?') != std::string::npos) return false;
  }
  return isWritableDir(dir);
}

bool isUsableTempDirW(const std::wstring& dir, bool create, bool ansiTest) {
  if (dir.empty()) return false;
  if (create) CreateDirectoryW(dir.c_str(), nullptr);
  if (ansiTest) {
    std::wstring longForm;
    if (!fetch(longForm, [&](wchar_t* b, DWORD n) { return GetLongPathNameW(dir.c_str(), b, n); }))
      longForm = dir;
    if (longForm.find(L'?') != std::wstring::npos) return false;
  }
  return isWritableDirW(dir);
}

std::string chooseTempDir() {
  std::string dir = chooseFrom<NarrowApi>();
  if (dir.empty()) failWithMessage(keys::kMsgNoTempDir, static_cast<const char*>(nullptr));
  return dir;
}

std::wstring chooseTempDirW(bool failWhenNone) {
  std::wstring dir = chooseFrom<WideApi>();
  if (dir.empty() && failWhenNone) failWithMessage(keys::kMsgNoTempDir, static_cast<const char*>(nullptr));
  return dir;
}

std::string makeTempFileName() {
  std::string tempPath = chooseTempDir();
  logMessage(L"tempPath is %S", tempPath.c_str());
  std::string out;
  std::vector<char> buf(MAX_PATH + 1);  // GetTempFileNameA writes at most MAX_PATH characters
  UINT unique = GetTempFileNameA(tempPath.c_str(), "wdl", 0, buf.data());
  DWORD err = GetLastError();
  if (unique != 0) {
    out = buf.data();
  } else {
    logMessage(L"GetTempFileName failed (last error %d)", static_cast<int>(err));
    if (!tempPath.empty() && tempPath.back() != '\\' && tempPath.back() != '/') tempPath += '\\';
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    out = tempPath + "wdl" + std::to_string(std::rand() % 32768);
  }
  logMessage(L"tempFile is %S", out.c_str());
  return out;
}

}  // namespace wendle
