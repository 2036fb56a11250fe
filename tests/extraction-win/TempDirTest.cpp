// The candidate walk, driven through the environment of this process: TMP and
// TEMP feed GetTempPath, USERPROFILE, HOMEDRIVE and HOMEPATH the later candidates.
#include "fs/TempDir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "fs/Paths.h"

namespace wendle {
namespace {

std::optional<std::wstring> getEnv(const wchar_t* name) {
  wchar_t buf[32768];
  DWORD n = GetEnvironmentVariableW(name, buf, 32768);
  if (n == 0 || n >= 32768) return std::nullopt;
  return std::wstring(buf, n);
}

void setEnv(const wchar_t* name, const std::optional<std::wstring>& value) {
  SetEnvironmentVariableW(name, value ? value->c_str() : nullptr);
}

void removeTree(const std::wstring& dir) {
  WIN32_FIND_DATAW e;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &e);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring n = e.cFileName;
      if (n == L"." || n == L"..") continue;
      std::wstring child = dir + L"\\" + n;
      if (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) removeTree(child);
      else DeleteFileW(child.c_str());
    } while (FindNextFileW(h, &e));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

bool isDir(const std::wstring& p) {
  DWORD a = GetFileAttributesW(p.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string narrow(const std::wstring& w) { return toNarrow(w, nullptr); }

class TempDirWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const wchar_t* n : kNames) saved_[n] = getEnv(n);
    wchar_t buf[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, buf);
    ASSERT_GT(n, 0u);
    base_ = std::wstring(buf, n) + L"wendle-tempdir-" + std::to_wstring(GetCurrentProcessId());
    removeTree(base_);
    ASSERT_TRUE(CreateDirectoryW(base_.c_str(), nullptr));
    // Candidate 1 fails unless a test says otherwise: TMP names a file.
    blocked_ = base_ + L"\\a-file";
    HANDLE f = CreateFileW(blocked_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
    setEnv(L"TMP", blocked_);
    setEnv(L"TEMP", blocked_);
    for (const wchar_t* n : {L"USERPROFILE", L"HOMEDRIVE", L"HOMEPATH"}) setEnv(n, std::nullopt);
    wchar_t win[MAX_PATH + 1];
    UINT w = GetWindowsDirectoryW(win, MAX_PATH + 1);
    windowsTemp_ = std::wstring(win, w) + L"\\temp";
    CreateDirectoryW(windowsTemp_.c_str(), nullptr);
  }
  void TearDown() override {
    for (auto& [n, v] : saved_) setEnv(n.c_str(), v);
    removeTree(base_);
  }
  std::wstring makeDir(const std::wstring& relative) {
    std::wstring p = base_;
    size_t start = 0;
    while (start <= relative.size()) {
      size_t end = relative.find(L'\\', start);
      if (end == std::wstring::npos) end = relative.size();
      p += L"\\" + relative.substr(start, end - start);
      CreateDirectoryW(p.c_str(), nullptr);
      start = end + 1;
    }
    return p;
  }

  static constexpr const wchar_t* kNames[] = {L"TMP", L"TEMP", L"USERPROFILE", L"HOMEDRIVE", L"HOMEPATH"};
  std::map<std::wstring, std::optional<std::wstring>> saved_;
  std::wstring base_, blocked_, windowsTemp_;
};

TEST_F(TempDirWalk, TheUsersTempDirectoryComesFirst) {
  std::wstring t = makeDir(L"t1");
  setEnv(L"TMP", t);
  EXPECT_EQ(chooseTempDir(), narrow(t) + "\\");
  EXPECT_EQ(chooseTempDirW(false), t + L"\\");
  EXPECT_FALSE(isDir(t + L"\\wdl_w_testdir"));
}

TEST_F(TempDirWalk, ATempDirectoryThatAllowsNoSubDirectoryIsSkipped) {
  // The test directory's name is taken by a file, so nothing can be created there.
  std::wstring t = makeDir(L"t1");
  HANDLE f = CreateFileW((t + L"\\wdl_w_testdir").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  CloseHandle(f);
  setEnv(L"TMP", t);
  std::wstring profile = makeDir(L"prof\\AppData\\Local\\Temp");
  setEnv(L"USERPROFILE", base_ + L"\\prof");
  EXPECT_EQ(chooseTempDir(), narrow(profile));
  EXPECT_EQ(chooseTempDirW(false), profile);
}

TEST_F(TempDirWalk, NamesOutsideTheAnsiCodePageFailTheFirstThreeCandidates) {
  // Cyrillic and Japanese letters have no form in code page 1252.
  std::wstring t = makeDir(L"\u0436\u65e5");
  setEnv(L"TMP", t);
  setEnv(L"TEMP", t);
  makeDir(L"\u0436prof\\AppData\\Local\\Temp");
  setEnv(L"USERPROFILE", base_ + L"\\\u0436prof");
  std::wstring home = makeDir(L"\u65e5home");
  setEnv(L"HOMEDRIVE", base_.substr(0, 2));
  setEnv(L"HOMEPATH", home.substr(2));
  ASSERT_TRUE(isDir(windowsTemp_)) << "the Windows directory has no temp";
  EXPECT_EQ(chooseTempDir(), narrow(windowsTemp_));
  // The wide walk keeps the user's own directory: its names are representable.
  EXPECT_EQ(chooseTempDirW(false), t + L"\\");
}

TEST_F(TempDirWalk, HomeDriveWithoutHomePathSkipsTheThirdCandidate) {
  // Were HOMEDRIVE taken alone, this writable directory would be chosen.
  std::wstring drive = makeDir(L"hd");
  setEnv(L"HOMEDRIVE", drive);
  EXPECT_EQ(chooseTempDir(), narrow(windowsTemp_));
  std::wstring sub = makeDir(L"hd\\sub");
  setEnv(L"HOMEPATH", L"\\sub");
  EXPECT_EQ(chooseTempDir(), narrow(sub));
  EXPECT_EQ(chooseTempDirW(false), sub);
}

TEST_F(TempDirWalk, ALeftoverTestDirectoryIsRemovedUnlessItHasContent) {
  std::wstring d = makeDir(L"d");
  makeDir(L"d\\wdl_w_testdir");
  EXPECT_TRUE(isWritableDir(narrow(d)));
  EXPECT_FALSE(isDir(d + L"\\wdl_w_testdir"));

  makeDir(L"d\\wdl_w_testdir\\inner");
  EXPECT_FALSE(isWritableDir(narrow(d)));
  EXPECT_FALSE(isWritableDirW(d));
  // As a candidate it is skipped.
  setEnv(L"TMP", d);
  EXPECT_EQ(chooseTempDir(), narrow(windowsTemp_));
}

TEST_F(TempDirWalk, CreateFlagMakesOnlyTheLastComponent) {
  std::wstring fresh = base_ + L"\\fresh";
  EXPECT_FALSE(isUsableTempDir(narrow(fresh), false, false));
  EXPECT_FALSE(isDir(fresh));
  EXPECT_TRUE(isUsableTempDir(narrow(fresh), true, true));
  EXPECT_TRUE(isDir(fresh));
  EXPECT_FALSE(isUsableTempDirW(base_ + L"\\x\\y", true, false));
  EXPECT_FALSE(isUsableTempDir("", true, false));
}

TEST_F(TempDirWalk, TempFileNamesAreReservedAndUnique) {
  std::wstring t = makeDir(L"t1");
  setEnv(L"TMP", t);
  std::string a = makeTempFileName();
  std::string b = makeTempFileName();
  EXPECT_NE(a, b);
  std::string prefix = narrow(t) + "\\wdl";
  for (const std::string& name : {a, b}) {
    ASSERT_GT(name.size(), prefix.size());
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name.c_str(), static_cast<int>(prefix.size()),
                             prefix.c_str(), static_cast<int>(prefix.size())),
              CSTR_EQUAL)
        << name;
    DWORD attrs = GetFileAttributesA(name.c_str());
    EXPECT_NE(attrs, INVALID_FILE_ATTRIBUTES) << name;
    EXPECT_FALSE(attrs & FILE_ATTRIBUTE_DIRECTORY);
  }
}

}  // namespace
}  // namespace wendle
