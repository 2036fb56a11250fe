// Extraction seen from outside: launcher copies with embedded files, run in a
// run mode. Until a Java runtime is found the run ends through exitLauncher,
// whose clean-up removes the extraction directory; the log shows what was written.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payload/ConfigKeys.h"
#include "support/Scenario.h"

namespace wendle::test {
namespace {

using payload::EmbeddedFile;

class ExtractionScenario : public ::testing::Test {
 protected:
  payload::Payload withFiles(const std::vector<EmbeddedFile>& files) {
    payload::Payload p = basePayload();
    p.files = files;
    p.addFileSettings(keys::kEmbeddedFileCount, keys::kEmbeddedFileNames);
    return p;
  }
  // The directory named by the run's "Temp dir3: " line.
  static std::wstring extractionDirOf(const RunResult& r) {
    for (const std::wstring& l : r.logLines())
      if (l.rfind(L"Temp dir3: ", 0) == 0) return l.substr(11);
    return L"";
  }
  // Names in the run's temporary folder.
  std::vector<std::wstring> tempEntries() { return listDir(scenario_.tempDir()); }

  Scenario scenario_;
};

TEST_F(ExtractionScenario, FilesAreExtractedAndRemovedWhenTheLauncherEnds) {
  payload::Payload p = basePayload();
  p.files = {{"a.jar", "AAAA"}, {"lib\\b.dll", std::string(13000, 'b')}};
  // The names as a generator may write them: an empty item and a trailing separator.
  p.settings.emplace_back(keys::kEmbeddedFileCount, "2");
  p.settings.emplace_back(keys::kEmbeddedFileNames, "a.jar;;lib\\b.dll;");
  std::wstring exe = scenario_.buildLauncher(p);
  RunResult r = scenario_.run(exe, L"/run");
  std::wstring dir = extractionDirOf(r);
  ASSERT_FALSE(dir.empty()) << toUtf8(r.log);
  EXPECT_TRUE(r.logHasLine(L"Included files: 2")) << toUtf8(r.log);
  std::vector<std::wstring> lines = r.logLines();
  auto at = [&](const std::wstring& line) {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i] == line) return static_cast<long>(i);
    return -1L;
  };
  long a = at(L"extracting " + dir + L"\\a.jar (size: 4)");
  long mk = at(L"creating directory " + dir + L"\\lib");
  long b = at(L"extracting " + dir + L"\\lib\\b.dll (size: 13000)");
  long done = at(L"extracting files done");
  EXPECT_GE(a, 0) << toUtf8(r.log);
  EXPECT_GT(mk, a);
  EXPECT_GT(b, mk);
  EXPECT_GT(done, b);
  // The run ended through exitLauncher: the directory is gone, the reserved file stays.
  EXPECT_NE(r.exitCode, 0u);
  EXPECT_TRUE(r.logHasLine(L"attempting to delete " + dir + L"\\a.jar")) << toUtf8(r.log);
  EXPECT_FALSE(pathExists(dir));
  std::wstring reserved = dir.substr(0, dir.rfind(L"_dir"));
  EXPECT_TRUE(pathExists(reserved)) << reserved;
}

TEST_F(ExtractionScenario, RunsGetDifferentDirectories) {
  std::wstring exe = scenario_.buildLauncher(withFiles({{"a.jar", "A"}}));
  RunResult first = scenario_.run(exe, L"/run");
  RunResult second = scenario_.run(exe, L"/run");
  EXPECT_FALSE(extractionDirOf(first).empty());
  EXPECT_NE(extractionDirOf(first), extractionDirOf(second));
}

TEST_F(ExtractionScenario, AFailedCopyRemovesTheDirectoryAndKeepsTheReservedFile) {
  EmbeddedFile cut{"lib\\cut.dll", std::string(100, 'c')};
  cut.sizeOverride = 50000;  // more than the payload holds
  std::wstring exe = scenario_.buildLauncher(withFiles({{"a.jar", "A"}, cut}));
  RunResult r = scenario_.run(exe, L"/run");
  std::wstring dir = extractionDirOf(r);
  ASSERT_FALSE(dir.empty()) << toUtf8(r.log);
  EXPECT_EQ(r.exitCode, 1u);
  EXPECT_TRUE(r.logContains(L"ERROR: ReadFile failed 0 ")) << toUtf8(r.log);
  EXPECT_TRUE(r.logHasLine(L"ERROR: Failed to extract " + dir + L"\\lib\\cut.dll"));
  EXPECT_NE(r.err.find("The launcher failed with error 16."), std::string::npos) << r.err;
  EXPECT_FALSE(pathExists(dir));
  EXPECT_TRUE(pathExists(dir.substr(0, dir.rfind(L"_dir"))));
}

// Names that would lead out of the directory end the launcher like a file that
// cannot be created, and nothing is written outside it.
TEST_F(ExtractionScenario, NamesLeadingOutOfTheDirectoryAreRefused) {
  const char* names[] = {"..\\escaped.dll", "C:\\escaped.dll", "\\\\host\\share\\escaped.dll", "/escaped.dll",
                         "x\\y\\escaped.dll"};
  for (const char* name : names) {
    std::wstring exe = scenario_.buildLauncher(withFiles({{"first.jar", "F"}, {name, "EVIL"}}));
    RunResult r = scenario_.run(exe, L"/run");
    std::wstring dir = extractionDirOf(r);
    EXPECT_EQ(r.exitCode, 1u) << name;
    EXPECT_NE(r.err.find("The launcher failed with error 11."), std::string::npos) << name << ": " << r.err;
    EXPECT_TRUE(r.logContains(L"ERROR: refusing embedded file name ")) << name << "\n" << toUtf8(r.log);
    EXPECT_FALSE(r.logContains(L"creating directory")) << name;
    EXPECT_FALSE(dir.empty()) << name;
    EXPECT_FALSE(pathExists(dir)) << name;
    EXPECT_FALSE(pathExists(scenario_.tempDir() + L"\\escaped.dll")) << name;
    EXPECT_FALSE(pathExists(L"C:\\escaped.dll")) << name;
    EXPECT_FALSE(pathExists(L"C:\\host")) << name;
  }
}

TEST_F(ExtractionScenario, WorkingDirectoryFromTheLauncherDirectoryVariable) {
  payload::Payload p = basePayload();
  p.settings.emplace_back(keys::kWorkingDirectory, "${launcher:sys.launcherDirectory}work");
  std::wstring exe = scenario_.buildLauncher(p);
  CreateDirectoryW(scenario_.path(L"work").c_str(), nullptr);
  RunResult r = scenario_.run(exe, L"/run");
  bool found = false;
  for (const std::wstring& l : r.logLines()) {
    if (l.rfind(L"change working directory to ", 0) != 0) continue;
    found = true;
    std::wstring target = l.substr(28);
    EXPECT_EQ(CompareStringOrdinal(target.c_str(), -1, scenario_.path(L"work").c_str(), -1, TRUE), CSTR_EQUAL)
        << toUtf8(l);
  }
  EXPECT_TRUE(found) << toUtf8(r.log);
  EXPECT_TRUE(r.logContains(L"expanding2 ${launcher:sys.launcherDirectory} to ")) << toUtf8(r.log);
}

}  // namespace
}  // namespace wendle::test
