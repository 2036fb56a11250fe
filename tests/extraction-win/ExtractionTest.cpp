// File extraction from an in-memory payload, in this process: the paths that
// do not end the launcher. Those that do are scenarios (ExtractionScenarioTest).
#include "payload/Extraction.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/ProcessState.h"
#include "payload/ByteSource.h"
#include "payload/ConfigKeys.h"
#include "payload/ConfigStore.h"
#include "payload/PayloadFormat.h"
#include "support/LogCapture.h"

namespace wendle {
namespace {

// One embedded file record: signed 64-bit size, then the masked content.
void appendRecord(std::vector<uint8_t>& out, const std::string& content, int64_t sizeField) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(static_cast<uint64_t>(sizeField) >> (8 * i)));
  for (char c : content) out.push_back(static_cast<uint8_t>(c) ^ payload::kContentMask);
}

std::string readAll(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string s;
  char buf[65536];
  DWORD n = 0;
  while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) s.append(buf, n);
  CloseHandle(h);
  return s;
}

DWORD attributes(const std::string& p) { return GetFileAttributesA(p.c_str()); }

class Extraction : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* n : {"TMP", "TEMP"}) {
      char v[MAX_PATH + 1];
      DWORD len = GetEnvironmentVariableA(n, v, MAX_PATH + 1);
      saved_.push_back(len > 0 && len <= MAX_PATH ? std::string(v, len) : std::string());
    }
    char buf[MAX_PATH + 1];
    DWORD n = GetTempPathA(MAX_PATH + 1, buf);
    temp_ = std::string(buf, n) + "wendle-extract-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(temp_.c_str(), nullptr);
    SetEnvironmentVariableA("TMP", temp_.c_str());
    SetEnvironmentVariableA("TEMP", temp_.c_str());
    configStore().clear();
    extractionDir.clear();
    unextractedPosition = 0;
  }
  void TearDown() override {
    removeExtractionDir();
    extractionDir.clear();
    removeDirectoryContents(temp_, true);
    RemoveDirectoryA(temp_.c_str());
    configStore().clear();
    SetEnvironmentVariableA("TMP", saved_[0].empty() ? nullptr : saved_[0].c_str());
    SetEnvironmentVariableA("TEMP", saved_[1].empty() ? nullptr : saved_[1].c_str());
  }
  void setFiles(const std::string& count, const std::string& names) {
    configStore().settings[keys::kEmbeddedFileCount] = count;
    configStore().settings[keys::kEmbeddedFileNames] = names;
  }
  int extract(std::vector<uint8_t> bytes, int32_t start = 0) {
    return extractFilesFrom([bytes, start] {
      auto source = std::make_unique<MemoryByteSource>(bytes);
      source->seek(start);
      return std::unique_ptr<ByteSource>(std::move(source));
    });
  }

  test::LogCapture log;
  std::string temp_;
  std::vector<std::string> saved_;
};

TEST_F(Extraction, FilesAreWrittenInNameOrderWithTheirDirectory) {
  std::vector<uint8_t> bytes(10, 0xEE);  // the configuration block stands in front
  std::string big(20000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  appendRecord(bytes, "jar bytes", 9);
  appendRecord(bytes, big, static_cast<int64_t>(big.size()));
  appendRecord(bytes, "not extracted", 13);
  setFiles("2", "a.jar;;lib\\b.dll;");
  ASSERT_EQ(extract(bytes, 10), kCopyOk);

  ASSERT_FALSE(extractionDir.empty());
  EXPECT_EQ(readAll(extractionDir + "\\a.jar"), "jar bytes");
  EXPECT_EQ(readAll(extractionDir + "\\lib\\b.dll"), big);
  EXPECT_EQ(unextractedPosition, 10u + 8 + 9 + 8 + 20000);

  const std::wstring dir(extractionDir.begin(), extractionDir.end());
  const std::vector<std::wstring> expected = {
      L"extracting files",
      L"Included files: 2",
      L"Temp dir3: " + dir,
      L"extracting " + dir + L"\\a.jar (size: 9)",
      L"creating directory " + dir + L"\\lib",
      L"extracting " + dir + L"\\lib\\b.dll (size: 20000)",
      L"extracting files done",
  };
  std::vector<std::wstring> seen;
  for (const auto& l : log.lines)
    if (l.rfind(L"tempPath is", 0) != 0 && l.rfind(L"tempFile is", 0) != 0) seen.push_back(l);
  EXPECT_EQ(seen, expected);
}

TEST_F(Extraction, ASizeZeroRecordCreatesNoFile) {
  std::vector<uint8_t> bytes;
  appendRecord(bytes, "", 0);
  appendRecord(bytes, "x", 1);
  setFiles("2", "empty.txt;one.txt");
  ASSERT_EQ(extract(bytes), kCopyOk);
  EXPECT_EQ(attributes(extractionDir + "\\empty.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(readAll(extractionDir + "\\one.txt"), "x");
  const std::wstring dir(extractionDir.begin(), extractionDir.end());
  EXPECT_TRUE(log.contains(L"extracting " + dir + L"\\empty.txt (size: 0)"));
}

TEST_F(Extraction, NoCountMeansNoDirectory) {
  setFiles("0", "a.jar");
  unextractedPosition = 0;
  EXPECT_EQ(extract({}), kCopyOk);
  EXPECT_TRUE(extractionDir.empty());
  EXPECT_EQ(unextractedPosition, 0u);
  configStore().clear();
  EXPECT_EQ(extract({}), kCopyOk);
  EXPECT_TRUE(extractionDir.empty());
  EXPECT_FALSE(log.contains(L"extracting files done"));
}

TEST_F(Extraction, AShortRecordIsAReadFailure) {
  std::vector<uint8_t> bytes;
  appendRecord(bytes, std::string(7000, 'q'), 9000);
  setFiles("1", "cut.bin");
  EXPECT_EQ(extract(bytes), kCopyReadFailed);
  const std::wstring path = std::wstring(extractionDir.begin(), extractionDir.end()) + L"\\cut.bin";
  EXPECT_TRUE(log.contains(L"ERROR: ReadFile failed 0 0 7000")) << [&] {
    std::wstring all;
    for (auto& l : log.lines) all += l + L"\n";
    return std::string(all.begin(), all.end());
  }();
  EXPECT_TRUE(log.contains(L"ERROR: Failed to extract " + path));
  // The partial file was closed, so the removal takes it with the directory.
  std::string dir = extractionDir;
  removeExtractionDir();
  EXPECT_EQ(attributes(dir), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Extraction, RemovalTakesFilesSubDirectoriesAndTheDirectory) {
  std::vector<uint8_t> bytes;
  appendRecord(bytes, "1", 1);
  appendRecord(bytes, "2", 1);
  appendRecord(bytes, "3", 1);
  setFiles("3", "a.jar;lib\\b.dll;lib\\c.dll");
  ASSERT_EQ(extract(bytes), kCopyOk);
  std::string dir = extractionDir;
  log.lines.clear();
  removeExtractionDir();
  EXPECT_EQ(attributes(dir), INVALID_FILE_ATTRIBUTES);
  const std::wstring w(dir.begin(), dir.end());
  EXPECT_TRUE(log.contains(L"emptying " + w));
  EXPECT_TRUE(log.contains(L"attempting to delete " + w + L"\\a.jar"));
  EXPECT_TRUE(log.contains(L"attempting to remove " + w + L"\\lib (1)"));
  EXPECT_TRUE(log.contains(L"emptying " + w + L"\\lib"));
  EXPECT_TRUE(log.contains(L"attempting to delete " + w + L"\\lib\\b.dll"));
  // The reserved file beside the directory stays.
  EXPECT_NE(attributes(dir.substr(0, dir.rfind("_dir"))), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Extraction, RemovalIgnoresEmptyAndDotPaths) {
  std::string keep = temp_ + "\\keep.txt";
  HANDLE h = CreateFileA(keep.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(h);
  // The process runs in some directory; ".\" paths never reach the file system.
  removeDirectoryContents(".\\tmp", true);
  removeDirectoryContents("", true);
  EXPECT_TRUE(log.lines.empty());
  extractionDir.clear();
  removeExtractionDir();
  EXPECT_NE(attributes(keep), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Extraction, DirectoriesCreatedInTheSameSecondDiffer) {
  createExtractionDir();
  std::string first = extractionDir;
  createExtractionDir();
  EXPECT_NE(first, extractionDir);
  EXPECT_NE(attributes(first) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_NE(attributes(extractionDir) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  RemoveDirectoryA(first.c_str());
}

}  // namespace
}  // namespace wendle
