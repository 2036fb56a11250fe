#include "fs/Paths.h"

#include <windows.h>

#include <vector>

#include "launcher/Log.h"
#include "fs/win/BufferCall.h"
#include "launcher/win/Handles.h"

namespace wendle {
namespace {

UINT fileApiCodePage() { return AreFileApisANSI() ? CP_ACP : CP_OEMCP; }

struct ModulePaths {
  bool filled = false;
  std::wstring wide;
  std::string narrow;
};
ModulePaths modulePaths;

struct ExeDirs {
  bool filled = false;
  std::string narrow;
  std::wstring widened;
  std::wstring wide;
};
ExeDirs exeDirs;

uint64_t fileTimeValue(const FILETIME& t) {
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

bool endsWithExe(const std::string& s) {
  if (s.size() < 4) return false;
  std::string tail = s.substr(s.size() - 4);
  return lstrcmpiA(tail.c_str(), ".exe") == 0;
}

std::string directoryOfNarrow(const std::string& file) {
  std::string full;
  if (!callWithBuffer<char>(full, [&](char* b, DWORD n) { return GetFullPathNameA(file.c_str(), n, b, nullptr); }))
    full = file;
  size_t cut = full.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : full.substr(0, cut + 1);
}

std::wstring directoryOfWide(const std::wstring& file) {
  std::wstring full;
  if (!callWithBuffer<wchar_t>(full, [&](wchar_t* b, DWORD n) { return GetFullPathNameW(file.c_str(), n, b, nullptr); }))
    full = file;
  size_t cut = full.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : full.substr(0, cut + 1);
}

void fillModulePaths() {
  if (modulePaths.filled) return;
  std::wstring file = moduleFileNameW();
  std::wstring longPath;
  if (!callWithBuffer<wchar_t>(longPath, [&](wchar_t* b, DWORD n) { return GetLongPathNameW(file.c_str(), b, n); }))
    longPath = file;
  modulePaths.wide = longPath;

  bool lossy = false;
  std::string narrow = toNarrow(longPath, &lossy);
  if (lossy || !endsWithExe(narrow)) {
    std::wstring shortPath;
    if (callWithBuffer<wchar_t>(shortPath, [&](wchar_t* b, DWORD n) { return GetShortPathNameW(longPath.c_str(), b, n); })) {
      narrow = toNarrow(shortPath, &lossy);
    } else {
      lossy = true;
    }
    if (lossy || !endsWithExe(narrow)) {
      std::string ansiName, ansiShort;
      callWithBuffer<char>(ansiName, [](char* b, DWORD n) {
        DWORD r = GetModuleFileNameA(nullptr, b, n);
        return r >= n ? n : r;
      });
      if (!callWithBuffer<char>(ansiShort, [&](char* b, DWORD n) { return GetShortPathNameA(ansiName.c_str(), b, n); }))
        ansiShort = ansiName;
      narrow = ansiShort;
    }
  }
  modulePaths.narrow = narrow;
  collapseBackslashesW(modulePaths.wide);
  collapseBackslashes(modulePaths.narrow);
  modulePaths.filled = true;
}

void fillExeDirs() {
  if (exeDirs.filled) return;
  exeDirs.narrow = directoryOfNarrow(getModulePath());
  exeDirs.widened.clear();
  for (char c : exeDirs.narrow) exeDirs.widened.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  exeDirs.wide = directoryOfWide(getModulePathW());
  exeDirs.filled = true;
}

}  // namespace

std::wstring moduleFileNameW() {
  std::wstring file;
  if (!callWithBuffer<wchar_t>(file, [](wchar_t* b, DWORD n) {
        DWORD r = GetModuleFileNameW(nullptr, b, n);
        return r >= n ? n : r;  // a cut name reports the full buffer: grow
      })) {
    DWORD err = GetLastError();
    logError(L"GetModuleFileNameW failed (%d)", static_cast<int>(err));
  }
  return file;
}

std::wstring toWide(const std::string& narrow) {
  if (narrow.empty()) return std::wstring();
  UINT cp = fileApiCodePage();
  int n = MultiByteToWideChar(cp, 0, narrow.data(), static_cast<int>(narrow.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(cp, 0, narrow.data(), static_cast<int>(narrow.size()), out.data(), n);
  return out;
}

std::string toNarrow(const std::wstring& wide, bool* usedDefault) {
  if (usedDefault) *usedDefault = false;
  if (wide.empty()) return std::string();
  UINT cp = fileApiCodePage();
  BOOL lossy = FALSE;
  int n = WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, "?", &lossy);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, "?", &lossy);
  if (usedDefault) *usedDefault = lossy != FALSE;
  return out;
}

const std::string& getModulePath() {
  fillModulePaths();
  return modulePaths.narrow;
}

const std::wstring& getModulePathW() {
  fillModulePaths();
  return modulePaths.wide;
}

const std::string& exeDirectory() {
  fillExeDirs();
  return exeDirs.narrow;
}
const std::wstring& exeDirectoryWidened() {
  fillExeDirs();
  return exeDirs.widened;
}
const std::wstring& exeDirectoryW() {
  fillExeDirs();
  return exeDirs.wide;
}

void collapseBackslashes(std::string& path) {
  std::wstring wide = toWide(path);
  collapseBackslashesW(wide);
  bool lossy = false;
  std::string back = toNarrow(wide, &lossy);
  if (!lossy) path = back;
}

void lowerCasePath(std::string& path) {
  std::wstring wide = toWide(path);
  lowerCaseAsciiW(wide);
  bool lossy = false;
  std::string back = toNarrow(wide, &lossy);
  if (!lossy) path = back;
}

std::string resolvePath(const std::string& path, const char* baseFile) {
  std::string out;
  if (isRelativePath(path)) out = baseFile ? directoryOfNarrow(baseFile) : exeDirectory();
  out += path;
  collapseBackslashes(out);
  return out;
}

std::wstring resolvePathW(const std::wstring& path, bool narrowForm, const wchar_t* baseFile) {
  std::wstring out;
  if (isRelativePathW(path)) {
    if (baseFile) out = directoryOfWide(baseFile);
    else out = narrowForm ? exeDirectoryWidened() : exeDirectoryW();
  }
  out += path;
  collapseBackslashesW(out);
  return out;
}

std::string getFullPath(const std::string& path, bool keepCase) {
  std::string resolved = resolvePath(path, nullptr);
  std::string full;
  if (!callWithBuffer<char>(full, [&](char* b, DWORD n) { return GetFullPathNameA(resolved.c_str(), n, b, nullptr); })) {
    DWORD err = GetLastError();
    logError(L"GetFullPathNameA failed for %S (%d)", resolved.c_str(), static_cast<int>(err));
    full = resolved;
  }
  if (!keepCase) lowerCasePath(full);
  collapseBackslashes(full);
  return full;
}

std::wstring getFullPathW(const std::wstring& path, bool narrowForm, bool keepCase) {
  std::wstring resolved = resolvePathW(path, narrowForm, nullptr);
  std::wstring full;
  if (!callWithBuffer<wchar_t>(full, [&](wchar_t* b, DWORD n) { return GetFullPathNameW(resolved.c_str(), n, b, nullptr); })) {
    DWORD err = GetLastError();
    logError(L"GetFullPathNameW failed for %s (%d)", resolved.c_str(), static_cast<int>(err));
    full = resolved;
  }
  if (!keepCase) lowerCaseAsciiW(full);
  collapseBackslashesW(full);
  return full;
}

bool findFile(const std::string& path, uint64_t* lastWrite) {
  WIN32_FIND_DATAA data;
  UniqueFind found(FindFirstFileA(path.c_str(), &data));
  if (!found) return false;
  if (lastWrite) *lastWrite = fileTimeValue(data.ftLastWriteTime);
  return true;
}

bool findFileW(const std::wstring& path, uint64_t* lastWrite) {
  WIN32_FIND_DATAW data;
  UniqueFind found(FindFirstFileW(path.c_str(), &data));
  if (!found) return false;
  if (lastWrite) *lastWrite = fileTimeValue(data.ftLastWriteTime);
  return true;
}

bool fileExists(const std::string& path) {
  if (path.size() >= 2) {
    std::string rest = path.substr(1);
    if (rest == ":\\" || rest == ":\\." || rest == ":\\.\\.") return true;
  }
  return findFile(path, nullptr);
}

bool fileExistsW(const std::wstring& path) {
  if (isDriveRootW(path)) return true;
  return findFileW(path, nullptr);
}

}  // namespace wendle
