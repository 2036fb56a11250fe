#include "payload/win/OwnExecutable.h"

#include <windows.h>

#include "fs/Paths.h"
#include "launcher/Errors.h"
#include "launcher/Log.h"
#include "launcher/win/Handles.h"

namespace wendle {
namespace {

class FileByteSource final : public ByteSource {
 public:
  explicit FileByteSource(HANDLE h) : file_(h) {}

  void seek(int32_t position) override {
    // The result is not examined: a bad position makes the next read fail.
    SetFilePointer(file_.get(), position, nullptr, FILE_BEGIN);
  }

  bool read(void* dest, uint32_t size, uint32_t& got, uint32_t& lastError) override {
    DWORD n = 0;
    BOOL ok = ReadFile(file_.get(), dest, size, &n, nullptr);
    lastError = GetLastError();
    got = n;
    return ok != FALSE;
  }

  uint32_t position() override {
    LARGE_INTEGER zero{}, pos{};
    SetFilePointerEx(file_.get(), zero, &pos, FILE_CURRENT);
    return static_cast<uint32_t>(pos.QuadPart);
  }

 private:
  UniqueFile file_;
};

}  // namespace

std::unique_ptr<ByteSource> openOwnExecutable() {
  const std::wstring& path = getModulePathW();
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD err = GetLastError();
  if (h == INVALID_HANDLE_VALUE) {
    logError(L"Could not open %s", path.c_str());
    logMessage(L"CreateFileW failed (%d)", static_cast<int>(err));
    failWithText(L"Error opening media file. Please move this file to an ascii-only path like c:\\");
  }
  return std::make_unique<FileByteSource>(h);
}

}  // namespace wendle
