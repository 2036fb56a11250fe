#include "launcher/win/LogFile.h"

#include <windows.h>

#include <ctime>
#include <string>

#include "fs/Paths.h"
#include "fs/TempDir.h"
#include "launcher/Format.h"
#include "launcher/Log.h"
#include "launcher/win/Handles.h"

namespace wendle {
namespace {

constexpr int kLastLogNumber = 1000;
constexpr DWORD kEnvLimit = 6000;

std::string utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// Text mode of the C runtime: every line feed is written as CR LF.
std::string textModeBytes(const std::wstring& text) {
  std::string in = utf8(text), out;
  out.reserve(in.size() + 8);
  for (char c : in) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

bool envIsYes(const char* name) {
  char buf[kEnvLimit];
  DWORD n = GetEnvironmentVariableA(name, buf, kEnvLimit);
  return n == 3 && std::string(buf, n) == "yes";
}

class FileLog final : public LogBackend {
 public:
  FileLog() { InitializeCriticalSection(&lock_); }

  bool enabled() override {
    EnterCriticalSection(&lock_);
    if (!initialised_) {
      initialised_ = true;
      if (envIsYes("WENDLE_LOG") || envIsYes("STRANDIX_LOG")) initialiseFile();
    }
    bool on = !path_.empty();
    LeaveCriticalSection(&lock_);
    return on;
  }

  void writeLine(const std::wstring& text, bool isError) override {
    EnterCriticalSection(&lock_);
    if (!path_.empty()) {
      std::string bytes = textModeBytes((isError ? L"ERROR: " + text : text) + L"\n");
      if (created_) {
        // The first call keeps the freshly created file open for its own line.
        writeTo(created_, bytes);
        created_.reset();
      } else {
        appendBytes(bytes);
      }
    }
    LeaveCriticalSection(&lock_);
  }

  const wchar_t* path() {
    EnterCriticalSection(&lock_);
    const wchar_t* p = path_.empty() ? nullptr : path_.c_str();
    LeaveCriticalSection(&lock_);
    return p;
  }

 private:
  static bool writeTo(const UniqueFile& f, const std::string& bytes) {
    DWORD done = 0;
    return WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) && done == bytes.size();
  }

  bool appendBytes(const std::string& bytes) {
    UniqueFile f(CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return false;  // logging never fails visibly
    return writeTo(f, bytes);
  }

  bool create(const std::wstring& path) {
    created_ = UniqueFile(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(created_);
  }

  void initialiseFile() {
    std::wstring dir = chooseTempDirW(false);
    if (dir.empty()) dir = L"c:\\";
    else if (dir.back() != L'\\' && dir.back() != L'/') dir += L'\\';
    std::wstring candidate;
    for (int n = 1; n <= kLastLogNumber; ++n) {
      candidate = formatW(L"%ssdx_nlog_%d.log", dir.c_str(), n);
      if (!fileExistsW(candidate)) break;  // number 1000 is used even when it exists
    }
    path_ = candidate;
    if (!create(path_)) {
      path_ = L"c:\\sdx_nlog";
      if (!create(path_)) return;  // stays off; later lines try to append to c:\sdx_nlog
    }
    std::wstring exe = moduleFileNameW();
    std::time_t now = std::time(nullptr);
    const char* when = std::ctime(&now);
    std::string header = "\xEF\xBB\xBF" + textModeBytes(formatW(L"Started executable %s at %S\n", exe.c_str(), when ? when : "\n"));
    writeTo(created_, header);
  }

  CRITICAL_SECTION lock_;
  bool initialised_ = false;
  std::wstring path_;
  UniqueFile created_;
};

FileLog* fileLog = nullptr;

}  // namespace

void installFileLog() {
  if (fileLog == nullptr) {
    fileLog = new FileLog();  // lives until the process ends
    setLogBackend(fileLog);
  }
}

const wchar_t* getLogPath() { return fileLog ? fileLog->path() : nullptr; }

}  // namespace wendle
