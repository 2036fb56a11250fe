#include "payload/Extraction.h"

#include <windows.h>

#include <cstring>

#include <ctime>
#include <vector>

#include "fs/TempDir.h"
#include "launcher/Errors.h"
#include "launcher/Format.h"
#include "launcher/Log.h"
#include "launcher/ProcessState.h"
#include "launcher/win/Handles.h"
#include "payload/ByteSource.h"
#include "payload/ConfigKeys.h"
#include "payload/ConfigStore.h"
#include "payload/EmbeddedNames.h"
#include "payload/PayloadFormat.h"
#include "payload/PayloadReader.h"
#include "payload/win/OwnExecutable.h"

namespace wendle {
namespace {

constexpr int kDirAttempts = 10;
constexpr size_t kPathLimit = 6000;

std::vector<std::string> splitNames(const std::string& list) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    if (end > start) names.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

[[noreturn]] void failFileNotCreated() { failWithMessage(keys::kMsgFatalError, keys::kFatalFileNotCreated); }

}  // namespace

void createExtractionDir() {
  for (int attempt = 0; attempt < kDirAttempts; ++attempt) {
    std::string tempFile = makeTempFileName();
    extractionDir = formatA("%s_dir%d", tempFile.c_str(), static_cast<int32_t>(std::time(nullptr)));
    logMessage(L"Temp dir3: %S", extractionDir.c_str());
    DWORD err = ERROR_FILENAME_EXCED_RANGE;
    if (extractionDir.size() < kPathLimit) {
      if (CreateDirectoryA(extractionDir.c_str(), nullptr)) return;
      err = GetLastError();
    }
    logMessage(L"Could not create dir (%d)", static_cast<int>(err));
  }
  extractionDir.clear();
  failWithMessage(keys::kMsgFatalError, keys::kFatalNoExtractionDir);
}

namespace {
// Undoes the content mask eight bytes at a time (the size-optimised build does
// not vectorise a byte loop).
void unmask(uint8_t* data, uint32_t n) {
  constexpr uint64_t wide = 0x0101010101010101ull * payload::kContentMask;
  uint32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    std::memcpy(&w, data + i, 8);
    w ^= wide;
    std::memcpy(data + i, &w, 8);
  }
  for (; i < n; ++i) data[i] ^= payload::kContentMask;
}
}  // namespace

int copyPayloadBytes(ByteSource& source, void* target, int64_t count) {
  std::vector<uint8_t> buffer(payload::kCopyBufferSize);
  int64_t copied = 0;
  while (copied < count) {
    uint32_t want = static_cast<uint32_t>(std::min<int64_t>(count - copied, payload::kCopyBufferSize));
    uint32_t got = 0, err = 0;
    bool ok = source.read(buffer.data(), want, got, err);
    if (!ok || got == 0) {
      logError(L"ReadFile failed %d %d %I64d", static_cast<int>(got), static_cast<int>(err), copied);
      return kCopyReadFailed;
    }
    unmask(buffer.data(), got);
    uint32_t written = 0;
    while (written < got) {
      DWORD n = 0;
      BOOL wrote = WriteFile(static_cast<HANDLE>(target), buffer.data() + written, got - written, &n, nullptr);
      DWORD werr = GetLastError();
      if (!wrote) {
        logError(L"WriteFile failed %d %d", static_cast<int>(got - written), static_cast<int>(werr));
        return kCopyWriteFailed;
      }
      written += n;
    }
    copied += got;
  }
  return kCopyOk;
}

int extractFile(ByteSource& source, const std::string& path) {
  PayloadReader reader(source);
  int64_t size = 0;
  if (!reader.readLong(size)) failWithText(reader.failure());
  logMessage(L"extracting %S (size: %I64d)", path.c_str(), size);
  if (size <= 0) return kCopyOk;
  UniqueFile file;
  if (path.size() < kPathLimit) {
    file = UniqueFile(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    DWORD err = GetLastError();
    if (!file) logError(L"could not create %S (%d)", path.c_str(), static_cast<int>(err));
  } else {
    logError(L"could not create %S (path longer than %d characters)", path.c_str(), static_cast<int>(kPathLimit - 1));
  }
  if (!file) failFileNotCreated();
  // The handle closes on every way out, so a failed copy leaves a file that
  // the removal of the directory can delete.
  return copyPayloadBytes(source, file.get(), size);
}

int extractFilesFrom(const std::function<std::unique_ptr<ByteSource>()>& openSource) {
  logMessage(L"extracting files");
  int32_t count = getConfigInt(keys::kEmbeddedFileCount);
  logMessage(L"Included files: %d", count);
  // A negative count extracts nothing either: no directory for it.
  if (count <= 0) {
    extractionDir.clear();
    return kCopyOk;
  }
  createExtractionDir();
  std::unique_ptr<ByteSource> source = openSource();
  const std::vector<std::string> names = splitNames(getConfigStringCopy(keys::kEmbeddedFileNames));
  int32_t extracted = 0;
  for (const std::string& name : names) {
    if (extracted >= count) break;
    // The name is data from the file: one that would lead out of the
    // directory is treated like a file that cannot be created.
    if (const char* problem = embeddedNameProblem(name)) {
      logError(L"refusing embedded file name %S (%S)", name.c_str(), problem);
      failFileNotCreated();
    }
    size_t slash = name.find('\\');
    if (slash != std::string::npos) {
      std::string dir = extractionDir + "\\" + name.substr(0, slash);
      logMessage(L"creating directory %S", dir.c_str());
      BOOL made = CreateDirectoryA(dir.c_str(), nullptr);
      DWORD err = GetLastError();
      if (!made && err != ERROR_ALREADY_EXISTS) logError(L"failed to create directory %S", dir.c_str());
    }
    std::string path = extractionDir + "\\" + name;
    int result = extractFile(*source, path);
    if (result != kCopyOk) {
      logError(L"Failed to extract %S", path.c_str());
      return result;
    }
    ++extracted;
  }
  unextractedPosition = source->position();
  source.reset();
  logMessage(L"extracting files done");
  return kCopyOk;
}

int extractFiles() {
  return extractFilesFrom([] {
    std::unique_ptr<ByteSource> source = openOwnExecutable();
    source->seek(static_cast<int32_t>(configStore().configEndPosition));
    return source;
  });
}

void removeDirectoryContents(const std::string& path, bool descend) {
  if (path.empty() || path[0] == '.') return;
  logMessage(L"emptying %S", path.c_str());
  std::string base = path;
  if (base.back() != '\\') base += '\\';
  WIN32_FIND_DATAA entry;
  UniqueFind find(FindFirstFileA((base + "*.*").c_str(), &entry));
  DWORD err = GetLastError();
  if (!find) {
    if (err != ERROR_FILE_NOT_FOUND) logMessage(L"nothing to empty in %S (%d)", path.c_str(), static_cast<int>(err));
    return;
  }
  do {
    std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    std::string child = base + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      logMessage(L"attempting to remove %S (%d)", child.c_str(), descend ? 1 : 0);
      if (descend) removeDirectoryContents(child, false);
      BOOL removed = RemoveDirectoryA(child.c_str());
      DWORD rerr = GetLastError();
      if (!removed) logMessage(L"could not remove %S (%d)", child.c_str(), static_cast<int>(rerr));
    } else {
      logMessage(L"attempting to delete %S", child.c_str());
      BOOL deleted = DeleteFileA(child.c_str());
      DWORD derr = GetLastError();
      if (!deleted) logMessage(L"could not delete %S (%d)", child.c_str(), static_cast<int>(derr));
    }
  } while (FindNextFileA(find.get(), &entry));
}

void removeExtractionDir() {
  if (extractionDir.empty()) return;
  removeDirectoryContents(extractionDir, true);
  BOOL removed = RemoveDirectoryA(extractionDir.c_str());
  DWORD err = GetLastError();
  if (!removed) logMessage(L"could not remove %S (%d)", extractionDir.c_str(), static_cast<int>(err));
}

}  // namespace wendle
