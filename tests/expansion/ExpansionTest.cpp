#include "windows/Expansion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/Log.h"

namespace wendle {
namespace {

class CapturingLog : public LogBackend {
 public:
  bool enabled() override { return true; }
  void writeLine(const std::wstring& text, bool isError) override {
    lines.push_back((isError ? L"ERROR: " : L"") + text);
  }
  std::vector<std::wstring> lines;
};

class Expansion : public ::testing::Test {
 protected:
  void SetUp() override {
    setLogBackend(&log);
    wide.launcherDirectory = L"C:\\Programme\\\u00c4pp\\";
    wide.launcherDirectoryAnsi = "C:\\PROGRA~1\\PP~1\\";
    wide.extractionDirectory = "C:\\t\\wdl1A.tmp_dir17";
    wide.jvmHome = "C:\\jre\\bin\\..";
    wide.tempDirectory = L"C:\\users\\\u00e9\\Temp\\";
    wide.tempDirectoryAnsi = "C:\\windows\\temp";
    narrow.launcherDirectory = "C:\\app\\";
    narrow.extractionDirectory = "C:\\t\\x_dir1";
    narrow.jvmHome = "C:\\jre\\bin\\..";
    narrow.tempDirectory = "C:\\tmp";
  }
  void TearDown() override { setLogBackend(nullptr); }

  std::wstring expand(std::wstring text, bool ansiForms = false, size_t limit = kExpansionLimit) {
    expandWith(text, ansiForms, wide, limit);
    return text;
  }
  std::string expandNarrow(std::string text, size_t limit = kExpansionLimit) {
    expandNarrowWith(text, narrow, limit);
    return text;
  }

  CapturingLog log;
  WideExpansionInputs wide;
  NarrowExpansionInputs narrow;
};

// Every row of the fixed table, in both variants and both wide forms.
struct RowCase {
  const char* name;
  const wchar_t* wideLong;  // ansiForms false
  const wchar_t* wideAnsi;  // ansiForms true
  const char* narrow;
};

const RowCase kRowCases[] = {
    {"%WENDLE_EXEDIR%", L"C:\\Programme\\\u00c4pp\\", L"C:\\PROGRA~1\\PP~1\\", "C:\\app\\"},
    {"%STRANDIX_EXEDIR%", L"C:\\Programme\\\u00c4pp\\", L"C:\\PROGRA~1\\PP~1\\", "C:\\app\\"},
    {"%WENDLE_TEMPDIR%", L"C:\\t\\wdl1A.tmp_dir17", L"C:\\t\\wdl1A.tmp_dir17", "C:\\t\\x_dir1"},
    {"%STRANDIX_TEMPDIR%", L"C:\\t\\wdl1A.tmp_dir17", L"C:\\t\\wdl1A.tmp_dir17", "C:\\t\\x_dir1"},
    {"%WENDLE_PATHLIST_SEPARATOR%", L";", L";", ";"},
    {"%STRANDIX_PATHLIST_SEPARATOR%", L";", L";", ";"},
    {"%WENDLE_JVM_HOME%", L"C:\\jre\\bin\\..", L"C:\\jre\\bin\\..", "C:\\jre\\bin\\.."},
    {"%STRANDIX_JVM_HOME%", L"C:\\jre\\bin\\..", L"C:\\jre\\bin\\..", "C:\\jre\\bin\\.."},
    {"${WENDLE_EXEDIR}", L"C:\\Programme\\\u00c4pp\\", L"C:\\PROGRA~1\\PP~1\\", "C:\\app\\"},
    {"${STRANDIX_EXEDIR}", L"C:\\Programme\\\u00c4pp\\", L"C:\\PROGRA~1\\PP~1\\", "C:\\app\\"},
    {"${WENDLE_TEMPDIR}", L"C:\\t\\wdl1A.tmp_dir17", L"C:\\t\\wdl1A.tmp_dir17", "C:\\t\\x_dir1"},
    {"${STRANDIX_TEMPDIR}", L"C:\\t\\wdl1A.tmp_dir17", L"C:\\t\\wdl1A.tmp_dir17", "C:\\t\\x_dir1"},
    {"${WENDLE_PATHLIST_SEPARATOR}", L";", L";", ";"},
    {"${STRANDIX_PATHLIST_SEPARATOR}", L";", L";", ";"},
    {"${WENDLE_JVM_HOME}", L"C:\\jre\\bin\\..", L"C:\\jre\\bin\\..", "C:\\jre\\bin\\.."},
    {"${STRANDIX_JVM_HOME}", L"C:\\jre\\bin\\..", L"C:\\jre\\bin\\..", "C:\\jre\\bin\\.."},
    {"${launcher:sys.launcherDirectory}", L"C:\\Programme\\\u00c4pp\\", L"C:\\PROGRA~1\\PP~1\\", "C:\\app\\"},
    {"${launcher:sys.launcherTempDirectory}", L"C:\\t\\wdl1A.tmp_dir17", L"C:\\t\\wdl1A.tmp_dir17",
     "C:\\t\\x_dir1"},
    {"${launcher:sys.pathlistSeparator}", L";", L";", ";"},
    {"${launcher:sys.jvmHome}", L"C:\\jre\\bin\\..", L"C:\\jre\\bin\\..", "C:\\jre\\bin\\.."},
    {"${launcher:sys.tempDir}", L"C:\\users\\\u00e9\\Temp\\", L"C:\\windows\\temp", "C:\\tmp"},
};

TEST_F(Expansion, EveryTableRowExpandsToItsValueInEachVariant) {
  for (const RowCase& c : kRowCases) {
    std::string n = c.name;
    std::wstring w(n.begin(), n.end());
    EXPECT_EQ(expand(L"<" + w + L">", false), std::wstring(L"<") + c.wideLong + L">") << n;
    EXPECT_EQ(expand(L"<" + w + L">", true), std::wstring(L"<") + c.wideAnsi + L">") << n;
    EXPECT_EQ(expandNarrow("<" + n + ">"), std::string("<") + c.narrow + ">") << n;
  }
}

TEST_F(Expansion, NamesOutsideTheTableStayUnchanged) {
  wide.environment = {L"PATH=C:\\w"};
  EXPECT_EQ(expand(L"%PATH%|%STRANDIX_EXEDIR%"), L"%PATH%|C:\\Programme\\\u00c4pp\\");
  EXPECT_EQ(expand(L"${launcher:sys.tempdir}"), L"${launcher:sys.tempdir}");
  EXPECT_EQ(expand(L"${wendle_exedir}${UNSET_VARIABLE}"), L"${wendle_exedir}${UNSET_VARIABLE}");
}

TEST_F(Expansion, EveryOccurrenceIsReplacedWithOneLogLineEach) {
  std::wstring text = expand(L"${WENDLE_PATHLIST_SEPARATOR}a${WENDLE_PATHLIST_SEPARATOR}b${WENDLE_PATHLIST_SEPARATOR}");
  EXPECT_EQ(text, L";a;b;");
  ASSERT_EQ(log.lines.size(), 3u);
  EXPECT_EQ(log.lines[0], L"expanding2 ${WENDLE_PATHLIST_SEPARATOR} to ; in ;a${WENDLE_PATHLIST_SEPARATOR}b"
                          L"${WENDLE_PATHLIST_SEPARATOR}.");
  EXPECT_EQ(log.lines[2], L"expanding2 ${WENDLE_PATHLIST_SEPARATOR} to ; in ;a;b;.");
}

TEST_F(Expansion, NarrowVariantLogsTheSameLineForm) {
  EXPECT_EQ(expandNarrow("${launcher:sys.launcherDirectory}lib\\a.jar"), "C:\\app\\lib\\a.jar");
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0], L"expanding2 ${launcher:sys.launcherDirectory} to C:\\app\\ in C:\\app\\lib\\a.jar.");
}

TEST_F(Expansion, ValueHoldingItsOwnNameIsNotReplacedAgain) {
  std::wstring text = L"${A}-${A}";
  replaceAll(text, L"${A}", std::wstring(L"<${A}>"), kExpansionLimit);
  EXPECT_EQ(text, L"<${A}>-<${A}>");
  EXPECT_EQ(log.lines.size(), 2u);

  // Through the environment: the exact reference once, the upper-cased one
  // does not occur.
  wide.environment = {L"x=a${x}b"};
  EXPECT_EQ(expand(L"${x}"), L"a${x}b");
}

TEST_F(Expansion, LaterEnvironmentEntryExpandsWhatAnEarlierOneInserted) {
  wide.environment = {L"OUTER=1${INNER}2", L"INNER=mid"};
  EXPECT_EQ(expand(L"${OUTER}"), L"1mid2");
  wide.environment = {L"INNER=mid", L"OUTER=1${INNER}2"};
  EXPECT_EQ(expand(L"${OUTER}"), L"1${INNER}2");
}

TEST_F(Expansion, EnvironmentNamesMatchExactlyOrUpperCased) {
  wide.environment = {L"Path=C:\\w"};
  EXPECT_EQ(expand(L"${Path};${PATH};${path}"), L"C:\\w;C:\\w;${path}");
  narrow.environment = {"Path=C:\\w"};
  EXPECT_EQ(expandNarrow("${Path};${PATH};${path}"), "C:\\w;C:\\w;${path}");
}

TEST_F(Expansion, TableRowsComeBeforeTheEnvironment) {
  wide.environment = {L"STRANDIX_TEMPDIR=from-environment", L"WENDLE_JVM_HOME=other"};
  EXPECT_EQ(expand(L"${STRANDIX_TEMPDIR}|${WENDLE_JVM_HOME}"), L"C:\\t\\wdl1A.tmp_dir17|C:\\jre\\bin\\..");
  // A table variable inserted by the environment is not seen: the rows ran first.
  wide.environment = {L"LATE=${WENDLE_EXEDIR}"};
  EXPECT_EQ(expand(L"${LATE}"), L"${WENDLE_EXEDIR}");
}

TEST_F(Expansion, EntriesWithoutEqualsAreSkippedAndDriveEntriesFormAnEmptyName) {
  wide.environment = {L"NOEQUALS", L"=C:=C:\\work", L"=D:=D:\\other", L"A=1"};
  EXPECT_EQ(expand(L"${}|${NOEQUALS}|${A}"), L"C:=C:\\work|${NOEQUALS}|1");
}

TEST_F(Expansion, EmptyExtractionDirectoryRemovesTheName) {
  wide.extractionDirectory.clear();
  EXPECT_EQ(expand(L"${launcher:sys.launcherTempDirectory}x"), L"x");
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0], L"expanding2 ${launcher:sys.launcherTempDirectory} to  in x.");
}

TEST_F(Expansion, NarrowValuesAreWidenedByteByByte) {
  wide.extractionDirectory = "C:\\\xe9\xfc";
  EXPECT_EQ(expand(L"${WENDLE_TEMPDIR}"), L"C:\\\u00e9\u00fc");
}

TEST_F(Expansion, JvmHomeFollowsRecordSelectedJvm) {
  jvmHome.clear();
  selectedJvmVersion.reset();
  wide.jvmHome = jvmHome;
  EXPECT_EQ(expand(L"${STRANDIX_JVM_HOME}\\bin"), L"\\bin");

  for (const char* exe : {"C:\\jre\\bin\\java.exe", "C:\\jre\\bin\\javaw.exe"}) {
    recordSelectedJvm(exe, "1.8.0_372");
    EXPECT_EQ(jvmHome, "C:\\jre\\bin\\..") << exe;
    ASSERT_TRUE(selectedJvmVersion.has_value());
    EXPECT_EQ(*selectedJvmVersion, "1.8.0_372");
    wide.jvmHome = jvmHome;
    EXPECT_EQ(expand(L"${STRANDIX_JVM_HOME}\\bin"), L"C:\\jre\\bin\\..\\bin") << exe;
  }
  // Only "javaw.exe" exactly drops nine characters; anything else drops eight.
  recordSelectedJvm("C:\\jre\\bin\\JAVAW.EXE", "17");
  EXPECT_EQ(jvmHome, "C:\\jre\\bin\\J..");
  jvmHome.clear();
  selectedJvmVersion.reset();
}

TEST_F(Expansion, GrowthPastTheLimitIsCutAndLogged) {
  wide.environment = {L"BIG=" + std::wstring(7000, L'x')};
  std::wstring text = expand(L"a${BIG}b");
  EXPECT_EQ(text.size(), 5999u);
  EXPECT_EQ(text.substr(0, 2), L"ax");
  EXPECT_EQ(log.lines.front(), L"ERROR: expansion of ${BIG} cut at 5999 characters");

  log.lines.clear();
  wide.environment = {L"ARG=" + std::wstring(1500, L'y')};
  text = expand(L"${ARG} ${ARG} tail", false, kArgumentLineLimit);
  EXPECT_EQ(text.size(), 1999u);
  EXPECT_EQ(text.back(), L'y');
  EXPECT_EQ(log.lines.front(), L"expanding2 ${ARG} to " + std::wstring(1500, L'y') + L" in " +
                                   std::wstring(1500, L'y') + L" ${ARG} tail.");
  EXPECT_EQ(log.lines[1], L"ERROR: expansion of ${ARG} cut at 1999 characters");
}

TEST_F(Expansion, ScratchLimitCapsLargerCallerLimits) {
  narrow.environment = {"BIG=" + std::string(30000, 'z')};
  std::string text = expandNarrow("${BIG}", 100000);
  EXPECT_EQ(text.size(), kExpansionScratchLimit - 1);
}

TEST_F(Expansion, ShrinkingReplacementsNeedNoCut) {
  std::string text = std::string(5990, 'a') + "${WENDLE_PATHLIST_SEPARATOR}";
  text = expandNarrow(text);
  EXPECT_EQ(text, std::string(5990, 'a') + ";");
}

}  // namespace
}  // namespace wendle
