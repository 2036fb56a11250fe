// Extracts one 256 MiB embedded file record through the launcher's own copy
// loop (one 6000-byte buffer, the content mask undone) and copies the same
// record file with CopyFileW on the same disk; prints both throughputs and
// their ratio. Rounds alternate so that neither side alone gets a warm cache.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "payload/ByteSource.h"
#include "payload/Extraction.h"
#include "payload/PayloadFormat.h"

namespace {

constexpr int64_t kSize = 256LL * 1024 * 1024;
constexpr int kRounds = 3;

class FileSource final : public wendle::ByteSource {
 public:
  explicit FileSource(HANDLE h) : h_(h) {}
  ~FileSource() override { CloseHandle(h_); }
  void seek(int32_t position) override { SetFilePointer(h_, position, nullptr, FILE_BEGIN); }
  bool read(void* dest, uint32_t size, uint32_t& got, uint32_t& lastError) override {
    DWORD n = 0;
    BOOL ok = ReadFile(h_, dest, size, &n, nullptr);
    lastError = GetLastError();
    got = n;
    return ok != FALSE;
  }
  uint32_t position() override {
    LARGE_INTEGER zero{}, pos{};
    SetFilePointerEx(h_, zero, &pos, FILE_CURRENT);
    return static_cast<uint32_t>(pos.QuadPart);
  }

 private:
  HANDLE h_;
};

double seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

bool writeRecordFile(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD n = 0;
  int64_t size = kSize;
  bool ok = WriteFile(h, &size, sizeof size, &n, nullptr) != FALSE;
  std::vector<uint8_t> chunk(1 << 20);
  uint32_t x = 12345;
  for (int64_t done = 0; ok && done < kSize; done += static_cast<int64_t>(chunk.size())) {
    for (auto& b : chunk) {
      x = x * 1103515245u + 12345u;
      b = static_cast<uint8_t>(x >> 24) ^ wendle::payload::kContentMask;
    }
    ok = WriteFile(h, chunk.data(), static_cast<DWORD>(chunk.size()), &n, nullptr) != FALSE;
  }
  CloseHandle(h);
  return ok;
}

}  // namespace

int main() {
  wchar_t tmp[MAX_PATH + 1];
  DWORD len = GetTempPathW(MAX_PATH + 1, tmp);
  std::wstring dir = std::wstring(tmp, len) + L"wendle-bench-extract";
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring record = dir + L"\\record.bin";
  const std::wstring copy = dir + L"\\copy.bin";
  if (!writeRecordFile(record)) {
    std::fprintf(stderr, "cannot write %ls\n", record.c_str());
    return 1;
  }
  char narrowDir[MAX_PATH + 1];
  WideCharToMultiByte(CP_ACP, 0, dir.c_str(), -1, narrowDir, MAX_PATH + 1, nullptr, nullptr);
  const std::string extracted = std::string(narrowDir) + "\\extracted.bin";

  std::vector<double> extractTimes, copyTimes;
  for (int round = 0; round < kRounds; ++round) {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    BOOL copied = CopyFileW(record.c_str(), copy.c_str(), FALSE);
    QueryPerformanceCounter(&b);
    if (!copied) {
      std::fprintf(stderr, "CopyFileW failed (%lu)\n", GetLastError());
      return 1;
    }
    copyTimes.push_back(seconds(a, b));
    DeleteFileW(copy.c_str());

    HANDLE h = CreateFileW(record.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 1;
    FileSource source(h);
    QueryPerformanceCounter(&a);
    int result = wendle::extractFile(source, extracted);
    QueryPerformanceCounter(&b);
    if (result != 0) {
      std::fprintf(stderr, "extraction failed (%d)\n", result);
      return 1;
    }
    extractTimes.push_back(seconds(a, b));
    DeleteFileA(extracted.c_str());
  }
  DeleteFileW(record.c_str());
  RemoveDirectoryW(dir.c_str());

  std::sort(extractTimes.begin(), extractTimes.end());
  std::sort(copyTimes.begin(), copyTimes.end());
  const double mib = static_cast<double>(kSize) / (1024.0 * 1024.0);
  const double extractRate = mib / extractTimes[kRounds / 2];
  const double copyRate = mib / copyTimes[kRounds / 2];
  std::printf("extract 256 MiB (6000-byte buffer, mask): %.0f MiB/s (median of %d)\n", extractRate, kRounds);
  std::printf("plain copy (CopyFileW), same bytes, same disk: %.0f MiB/s (median of %d)\n", copyRate, kRounds);
  std::printf("ratio extract/copy: %.2f\n", extractRate / copyRate);
  return 0;
}
