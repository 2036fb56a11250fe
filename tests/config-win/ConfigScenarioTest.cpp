// Startup seen from outside: launcher copies whose configuration selects the
// error reporting mode, the flavour, the working directory and, through the
// user locale that Wine takes from LC_ALL, the message overrides.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "payload/ConfigKeys.h"
#include "support/Scenario.h"

namespace wendle::test {
namespace {

using payload::EmbeddedFile;
using payload::LocaleSection;

class ConfigScenario : public ::testing::Test {
 public:
  // A payload that names one embedded file but carries no record for it, so a
  // run ends, after the configuration was read, with "Internal Error: readLong".
  static payload::Payload missingRecord() {
    payload::Payload p = basePayload();
    p.settings.emplace_back(keys::kEmbeddedFileCount, "1");
    p.settings.emplace_back(keys::kEmbeddedFileNames, "a.jar");
    return p;
  }
  // A payload whose extraction fails on a cut record: message 1009 with "16".
  static payload::Payload failingExtraction() {
    payload::Payload p = basePayload();
    EmbeddedFile cut;
    cut.name = "cut.jar";
    cut.content = std::string(10, 'c');
    cut.sizeOverride = 50000;  // more than the payload holds
    p.files = {cut};
    p.addFileSettings(keys::kEmbeddedFileCount, keys::kEmbeddedFileNames);
    return p;
  }

 protected:
  static bool sameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
  }
  static std::wstring lineAfter(const RunResult& r, const std::wstring& prefix) {
    for (const std::wstring& l : r.logLines())
      if (l.rfind(prefix, 0) == 0) return l.substr(prefix.size());
    return L"";
  }

  Scenario scenario_;
};

// Headless Wine returns from MessageBoxW at once, so a message-box error ends
// the run without hanging and without anything on standard error.
TEST_F(ConfigScenario, OnlyKinds1And5KeepMessageBoxes) {
  struct Case {
    std::optional<std::string> kind;
    bool messageBox;
  } cases[] = {{"1", true},  {"5", true},  {"5 trailing", true}, {std::nullopt, false}, {"0", false},
               {"2", false}, {"4", false}, {"15", false},        {"x1", false}};
  int n = 0;
  for (const Case& c : cases) {
    payload::Payload p = missingRecord();
    if (c.kind) p.settings.emplace_back(keys::kLauncherKind, *c.kind);
    std::wstring exe = scenario_.buildLauncher(p, L"kind" + std::to_wstring(n++) + L".exe");
    RunResult r = scenario_.run(exe, L"/run");
    std::string label = c.kind ? *c.kind : "absent";
    EXPECT_EQ(r.exitCode, 1u) << label;
    EXPECT_TRUE(r.logContains(L"showing error: Internal Error: readLong")) << label << "\n" << toUtf8(r.log);
    if (c.messageBox)
      EXPECT_EQ(r.err, "") << label;
    else
      EXPECT_EQ(r.err.rfind("Internal Error: readLong\n", 0), 0u) << label << ": " << r.err;
  }
}

// Errors while the configuration itself is read come before key 107 is known:
// they always use the message box.
TEST_F(ConfigScenario, ConfigurationErrorsUseTheMessageBox) {
  payload::Payload p = basePayload();
  p.settings.emplace_back(keys::kLauncherKind, "0");
  p.magic = 0x12345678u;
  std::wstring exe = scenario_.buildLauncher(p);
  RunResult r = scenario_.run(exe, L"/?");
  EXPECT_EQ(r.exitCode, 1u);
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(r.logContains(L"showing error: Internal Error: magic")) << toUtf8(r.log);
}

TEST_F(ConfigScenario, FlavourLetterIsTheFirstCharacterOfKey2001) {
  struct Case {
    std::optional<std::string> value;
    const wchar_t* line;
    const wchar_t* truncation;  // nullptr: no truncation line
  } cases[] = {
      {"install", L"flavour letter i: strandix flavour", L"ERROR: config string 2001 truncated (2 7)"},
      {"i", L"flavour letter i: strandix flavour", nullptr},
      {"e", L"flavour letter e: wendle flavour", nullptr},
      {"I", L"flavour letter I: wendle flavour", nullptr},
      {"", L"no flavour letter: wendle flavour", nullptr},
      {std::nullopt, L"no flavour letter: wendle flavour", nullptr},
  };
  int n = 0;
  for (const Case& c : cases) {
    payload::Payload p = basePayload();
    if (c.value) p.settings.emplace_back(keys::kFlavour, *c.value);
    std::wstring exe = scenario_.buildLauncher(p, L"flavour" + std::to_wstring(n++) + L".exe");
    RunResult r = scenario_.run(exe, L"/?");
    std::string label = c.value ? "'" + *c.value + "'" : "absent";
    EXPECT_EQ(r.exitCode, 0u) << label;
    EXPECT_TRUE(r.logHasLine(c.line)) << label << "\n" << toUtf8(r.log);
    if (c.truncation)
      EXPECT_TRUE(r.logHasLine(c.truncation)) << label;
    else
      EXPECT_FALSE(r.logContains(L"truncated")) << label;
  }
}

TEST_F(ConfigScenario, WorkingDirectoryUnchangedWithoutKey146) {
  std::wstring exe = scenario_.buildLauncher(basePayload());
  RunResult r = scenario_.run(exe, L"/?");
  EXPECT_TRUE(r.logHasLine(L"working directory unchanged")) << toUtf8(r.log);
  EXPECT_FALSE(r.logContains(L"change working directory to "));
}

// A relative directory lies below the launcher's directory, not below the
// directory the launcher was started in.
TEST_F(ConfigScenario, RelativeWorkingDirectoryIsBelowTheLauncher) {
  CreateDirectoryW(scenario_.path(L"bin").c_str(), nullptr);
  CreateDirectoryW(scenario_.path(L"work").c_str(), nullptr);
  CreateDirectoryW(scenario_.path(L"elsewhere").c_str(), nullptr);
  payload::Payload p = basePayload();
  p.settings.emplace_back(keys::kWorkingDirectory, "..\\work\\.\\");
  std::wstring exe = scenario_.buildLauncher(p, L"bin\\app.exe");
  RunOptions o;
  o.workingDirectory = scenario_.path(L"elsewhere");
  RunResult r = scenario_.run(exe, L"/?", o);
  EXPECT_EQ(r.exitCode, 0u);
  std::wstring target = lineAfter(r, L"change working directory to ");
  EXPECT_TRUE(sameText(target, scenario_.path(L"work\\"))) << toUtf8(r.log);
  EXPECT_FALSE(r.logContains(L"SetCurrentDirectoryW failed")) << toUtf8(r.log);
}

// A directory that does not exist is logged as the change and the run goes on
// (here to the usage line) in the directory it was started in.
TEST_F(ConfigScenario, MissingWorkingDirectoryIsNotFatal) {
  payload::Payload p = basePayload();
  p.settings.emplace_back(keys::kWorkingDirectory, "no such dir");
  std::wstring exe = scenario_.buildLauncher(p);
  RunResult r = scenario_.run(exe, L"/?");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_NE(r.out, "");
  std::wstring target = lineAfter(r, L"change working directory to ");
  EXPECT_TRUE(sameText(target, scenario_.path(L"no such dir"))) << toUtf8(r.log);
  EXPECT_TRUE(r.logHasLine(L"SetCurrentDirectoryW failed (2)")) << toUtf8(r.log);
}

// Wine takes the user locale and the user interface language from LC_ALL in
// the Unix environment of the first Wine process, and its children inherit
// them: an LC_ALL in a child's Windows environment changes nothing. So each
// locale is a run of this whole test program, registered in CMakeLists.txt
// with LC_ALL set and WENDLE_TEST_LOCALE naming the locale it must produce.
TEST(UserLocale, ChoosesTheMessageOverrides) {
  const char* expected = std::getenv("WENDLE_TEST_LOCALE");
  if (expected == nullptr) GTEST_SKIP() << "runs only as a registered locale test";
  struct Case {
    const char* locale;
    const char* text;
  } cases[] = {{"de_CH", "Fehler (CH) 16."}, {"de_AT", "Fehler 16."}, {"en_US", "The launcher failed with error 16."}};
  const Case* c = nullptr;
  for (const Case& k : cases)
    if (std::string(k.locale) == expected) c = &k;
  ASSERT_NE(c, nullptr) << "no case for " << expected;

  Scenario scenario;
  payload::Payload p = ConfigScenario::failingExtraction();
  p.sections = {LocaleSection{"de", {{keys::kMsgFatalError, u"Fehler {0}."}}},
                LocaleSection{"de_CH", {{keys::kMsgFatalError, u"Fehler (CH) {0}."}}},
                LocaleSection{"en_US_x", {{keys::kMsgFatalError, u"never"}}}};
  RunResult r = scenario.run(scenario.buildLauncher(p), L"/run");
  EXPECT_EQ(r.exitCode, 1u);
  EXPECT_TRUE(r.logHasLine(L"language/country is " + fromUtf8(c->locale))) << toUtf8(r.log);
  EXPECT_EQ(r.err.rfind(std::string(c->text) + "\n", 0), 0u) << r.err;
}

}  // namespace
}  // namespace wendle::test
