#include "support/Scenario.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

#include "payload/ConfigKeys.h"

#ifndef WENDLE_STUB
#error "WENDLE_STUB must name the launcher stub"
#endif

namespace wendle::test {
namespace {

std::wstring widen(const char* s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, s, -1, w.data(), n);
  return w;
}

// A Linux path of the build tree as Wine sees it (drive Z: is the root).
std::wstring hostPath(const char* linuxPath) {
  std::wstring p = widen(linuxPath);
  if (!p.empty() && p[0] == L'/') {
    std::replace(p.begin(), p.end(), L'/', L'\\');
    p = L"Z:" + p;
  }
  return p;
}

std::string narrow(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
  return s;
}

struct CaseInsensitiveLess {
  bool operator()(const std::wstring& a, const std::wstring& b) const { return _wcsicmp(a.c_str(), b.c_str()) < 0; }
};

std::wstring environmentBlock(const RunOptions& options, const std::wstring& temp) {
  std::map<std::wstring, std::wstring, CaseInsensitiveLess> env;
  std::vector<std::wstring> driveEntries;  // "=C:=..." entries keep their place up front
  if (wchar_t* block = GetEnvironmentStringsW()) {
    for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
      std::wstring entry = p;
      size_t eq = entry.find(L'=', 1);
      if (entry[0] == L'=') {
        driveEntries.push_back(entry);
      } else if (eq != std::wstring::npos) {
        env[entry.substr(0, eq)] = entry.substr(eq + 1);
      }
    }
    FreeEnvironmentStringsW(block);
  }
  // The launcher under test must not inherit the test runner's own switches.
  env.erase(L"WENDLE_LOG");
  env.erase(L"STRANDIX_LOG");
  if (options.log) env[L"WENDLE_LOG"] = L"yes";
  if (options.ownTemp) {
    env[L"TMP"] = temp;
    env[L"TEMP"] = temp;
  }
  for (const auto& [name, value] : options.env) {
    if (value) env[name] = *value;
    else env.erase(name);
  }
  std::wstring out;
  for (const auto& e : driveEntries) out += e + L'\0';
  for (const auto& [k, v] : env) out += k + L"=" + v + L'\0';
  out += L'\0';
  return out;
}

HANDLE inheritableFile(const std::wstring& path) {
  SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
  return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::wstring findLog(const std::wstring& dir) {
  std::wstring best;
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW((dir + L"\\sdx_nlog_*.log").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return best;
  FILETIME newest{};
  do {
    if (CompareFileTime(&data.ftLastWriteTime, &newest) >= 0) {
      newest = data.ftLastWriteTime;
      best = dir + L"\\" + data.cFileName;
    }
  } while (FindNextFileW(h, &data));
  FindClose(h);
  return best;
}

std::atomic<int> scenarioCounter{0};

}  // namespace

std::wstring fromUtf8(const std::string& bytes) { return widen(bytes.c_str()); }

std::string toUtf8(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, s.data(), n, nullptr, nullptr);
  return s;
}

bool writeFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD done = 0;
  BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(h);
  return ok && done == bytes.size();
}

std::string readFileBytes(const std::wstring& path) {
  std::string out;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return out;
  char buf[65536];
  DWORD n = 0;
  while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
  CloseHandle(h);
  return out;
}

bool pathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::wstring> listDir(const std::wstring& dir) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring n = data.cFileName;
    if (n != L"." && n != L"..") names.push_back(n);
  } while (FindNextFileW(h, &data));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

void removeTree(const std::wstring& dir) {
  for (const std::wstring& n : listDir(dir)) {
    std::wstring p = dir + L"\\" + n;
    DWORD attr = GetFileAttributesW(p.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) {
      removeTree(p);
    } else {
      SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(p.c_str());
    }
  }
  RemoveDirectoryW(dir.c_str());
}

std::vector<std::wstring> RunResult::logLines() const {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start <= log.size()) {
    size_t end = log.find(L'\n', start);
    std::wstring line = log.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (end == std::wstring::npos) {
      if (!line.empty()) lines.push_back(line);
      break;
    }
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

bool RunResult::logHasLine(const std::wstring& text) const {
  for (const auto& l : logLines())
    if (l == text) return true;
  return false;
}

bool RunResult::logContains(const std::wstring& text) const { return log.find(text) != std::wstring::npos; }

std::wstring stubPath() { return hostPath(WENDLE_STUB); }

payload::Payload basePayload() {
  payload::Payload p;
  p.settings = {{keys::kServiceName, "WendleTest"}};
  p.messages = {
      {keys::kMsgErrorCaption, u"Test Application Error"},
      {keys::kMsgFatalError, u"The launcher failed with error {0}."},
      {keys::kMsgNoTempDir, u"No usable temporary directory."},
      {keys::kMsgNoJvm, u"No suitable Java runtime ({0})."},
  };
  return p;
}

Scenario::Scenario() {
  wchar_t base[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH, base);
  std::wstring root = std::wstring(base, n) + L"wendle-scenarios";
  CreateDirectoryW(root.c_str(), nullptr);
  for (;;) {
    dir_ = root + L"\\s" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(scenarioCounter++);
    if (CreateDirectoryW(dir_.c_str(), nullptr)) break;
  }
  CreateDirectoryW(tempDir().c_str(), nullptr);
}

Scenario::~Scenario() { removeTree(dir_); }

std::wstring Scenario::buildLauncher(const payload::Payload& payload, const std::wstring& name) {
  std::wstring out = path(name);
  std::string error;
  if (!payload::buildLauncher(narrow(stubPath()), payload, narrow(out), error)) return std::wstring();
  return out;
}

std::wstring Scenario::writeLauncherBytes(const std::string& appended, const std::wstring& name) {
  std::string image = readFileBytes(stubPath());
  uint64_t offset = 0;
  if (image.empty() || !payload::payloadOffset(image, offset)) return std::wstring();
  image.resize(offset);
  std::wstring out = path(name);
  return writeFileBytes(out, image + appended) ? out : std::wstring();
}

RunResult Scenario::run(const std::wstring& exe, const std::wstring& arguments, const RunOptions& options) {
  RunResult result;
  std::wstring outPath = path(L"stdout.txt"), errPath = path(L"stderr.txt");
  HANDLE out = inheritableFile(outPath);
  HANDLE err = inheritableFile(errPath);
  SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
  HANDLE in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);

  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in;
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi{};
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  std::wstring env = environmentBlock(options, tempDir());
  std::wstring cwd = options.workingDirectory.empty() ? dir_ : options.workingDirectory;
  BOOL ok = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                           CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, env.data(), cwd.c_str(), &si, &pi);
  DWORD createError = GetLastError();
  CloseHandle(in);
  CloseHandle(out);
  CloseHandle(err);
  if (!ok) {
    result.exitCode = 0xFFFFFFFFu;
    result.err = "CreateProcessW failed: " + std::to_string(createError);
    return result;
  }
  if (WaitForSingleObject(pi.hProcess, options.timeoutMs) == WAIT_TIMEOUT) {
    result.timedOut = true;
    TerminateProcess(pi.hProcess, 0xDEAD);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  result.exitCode = code;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  result.out = readFileBytes(outPath);
  result.err = readFileBytes(errPath);
  result.logPath = findLog(tempDir());
  if (!result.logPath.empty()) {
    std::string bytes = readFileBytes(result.logPath);
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    result.log = fromUtf8(bytes);
  }
  return result;
}

}  // namespace wendle::test
