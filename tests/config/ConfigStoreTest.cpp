#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <string>
#include <vector>

#include "launcher/Log.h"
#include "payload/ByteSource.h"
#include "payload/ConfigStore.h"
#include "payload/Locale.h"
#include "payload/PayloadWriter.h"

namespace wendle {
namespace {

using payload::LocaleSection;
using payload::Payload;

class CaptureLog : public LogBackend {
 public:
  bool enabled() override { return true; }
  void writeLine(const std::wstring& text, bool isError) override {
    lines.push_back((isError ? L"ERROR: " : L"") + text);
  }
  std::vector<std::wstring> lines;
};

// The locale the loader is handed, and how often it asked for it.
std::string testLocale = "en_US";
int localeCalls = 0;
std::string detectTestLocale() {
  ++localeCalls;
  return testLocale;
}

std::vector<uint8_t> bytesOf(const std::string& s) {
  return std::vector<uint8_t>(s.begin(), s.end());
}

class ConfigStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    configStore().clear();
    clearStoredLocale();
    testLocale = "en_US";
    localeCalls = 0;
    setLogBackend(&log);
  }
  void TearDown() override {
    setLogBackend(nullptr);
    configStore().clear();
  }

  // Loads the block into the process-wide store; returns the loader's result.
  bool load(const std::string& block) {
    MemoryByteSource source(bytesOf(block));
    PayloadReader reader(source);
    errorText.clear();
    return loadConfigurationFrom(reader, configStore(), &detectTestLocale, errorText);
  }
  bool load(const Payload& p) { return load(payload::encodeConfigBlock(p)); }

  int countLines(const std::wstring& prefix) const {
    int n = 0;
    for (const auto& l : log.lines) n += l.rfind(prefix, 0) == 0;
    return n;
  }

  CaptureLog log;
  std::wstring errorText;
};

TEST_F(ConfigStoreTest, EmptyPayloadLoadsAndEveryKeyIsEmpty) {
  Payload p;
  std::string block = payload::encodeConfigBlock(p);
  ASSERT_TRUE(load(block)) << std::string(errorText.begin(), errorText.end());
  EXPECT_EQ(configStore().configEndPosition, block.size());
  EXPECT_EQ(getConfigString(107, 6000), "");
  EXPECT_EQ(getConfigStringCopy(2003), "");
  EXPECT_EQ(getConfigWideString(146, 6000), L"");
  EXPECT_EQ(getLocalizedMessage(1000), L"");
  EXPECT_EQ(getMessage(1009), L"");
  EXPECT_EQ(getConfigInt(107), 0);
  EXPECT_EQ(localeCalls, 1);
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(ConfigStoreTest, ConfigEndPositionIsFirstByteAfterBlock) {
  Payload p;
  p.settings = {{101, "svc"}};
  p.sections = {LocaleSection{"xx", {{1000, u"t"}}}};
  p.files = {{"a.txt", "content", "", -1}};
  std::string all, error;
  ASSERT_TRUE(payload::encodePayload(p, all, error)) << error;
  ASSERT_TRUE(load(all));
  EXPECT_EQ(configStore().configEndPosition, payload::encodeConfigBlock(p).size());
}

TEST_F(ConfigStoreTest, LaterDuplicateReplacesEarlier) {
  Payload p;
  p.settings = {{101, "first"}, {102, "other"}, {101, "second"}};
  p.messages = {{1000, u"one"}, {1000, u"two"}};
  ASSERT_TRUE(load(p));
  EXPECT_EQ(getConfigString(101, 6000), "second");
  EXPECT_EQ(getConfigString(102, 6000), "other");
  EXPECT_EQ(getLocalizedMessage(1000), L"two");
}

TEST_F(ConfigStoreTest, NegativeCountsReadNoEntries) {
  Payload p;
  std::string block = payload::encodeConfigBlock(p);
  block.replace(20, 4, std::string("\xFF\xFF\xFF\xFF", 4));  // settings count -1
  ASSERT_TRUE(load(block));
  EXPECT_TRUE(configStore().settings.empty());
}

// The truncation line is logged through the ordinary log: its text carries
// the marker itself.
TEST_F(ConfigStoreTest, SixThousandCharacterValueIsCutAndLogged) {
  Payload p;
  p.settings = {{123, std::string(6000, '7')}, {124, std::string(5999, '8')}};
  ASSERT_TRUE(load(p));

  EXPECT_EQ(getConfigString(123, 6000), std::string(5999, '7'));
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0], L"ERROR: config string 123 truncated (6000 6000)");

  log.lines.clear();
  EXPECT_EQ(getConfigString(124, 6000), std::string(5999, '8'));
  EXPECT_EQ(getConfigInt(124), INT32_MAX);
  EXPECT_TRUE(log.lines.empty());

  getConfigInt(123);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0], L"ERROR: config string 123 truncated (6000 6000)");
}

TEST_F(ConfigStoreTest, SizeOneAlwaysYieldsEmpty) {
  Payload p;
  p.settings = {{2001, "install"}, {2002, ""}};
  ASSERT_TRUE(load(p));
  EXPECT_EQ(getConfigString(2001, 1), "");
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0], L"ERROR: config string 2001 truncated (1 7)");

  log.lines.clear();
  EXPECT_EQ(getConfigString(2002, 1), "");
  EXPECT_EQ(getConfigString(2003, 1), "");
  EXPECT_TRUE(log.lines.empty());

  EXPECT_EQ(getConfigString(2001, 2), "i");
}

TEST_F(ConfigStoreTest, WideStringWidensByteByByteAndCuts) {
  Payload p;
  p.settings = {{146, "C:\\caf\xE9\xFF"}};
  ASSERT_TRUE(load(p));
  std::wstring expected = L"C:\\caf";
  expected += wchar_t(0xE9);
  expected += wchar_t(0xFF);
  EXPECT_EQ(getConfigWideString(146, 6000), expected);
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(getConfigWideString(146, 4), L"C:\\");
  EXPECT_EQ(countLines(L"ERROR: config string 146 truncated (4 8)"), 1);
}

struct IntCase {
  const char* text;
  int32_t value;
};

class ConfigIntTest : public ConfigStoreTest, public ::testing::WithParamInterface<IntCase> {};

TEST_P(ConfigIntTest, FollowsStrtolRules) {
  Payload p;
  p.settings = {{107, GetParam().text}};
  ASSERT_TRUE(load(p));
  EXPECT_EQ(getConfigInt(107), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Values, ConfigIntTest,
                         ::testing::Values(IntCase{"12abc", 12}, IntCase{"abc", 0}, IntCase{" -5", -5},
                                           IntCase{"\t\n+7", 7}, IntCase{"", 0}, IntCase{"- 5", 0}, IntCase{"0x10", 0},
                                           IntCase{"2147483647", INT32_MAX}, IntCase{"2147483648", INT32_MAX},
                                           IntCase{"99999999999999999999999", INT32_MAX},
                                           IntCase{"-2147483648", INT32_MIN}, IntCase{"-2147483649", INT32_MIN}),
                         [](const ::testing::TestParamInfo<IntCase>& info) {
                           std::string name;
                           for (const char* c = info.param.text; *c; ++c)
                             name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                           return name + "_" + std::to_string(info.index);
                         });

TEST_F(ConfigStoreTest, MessageFallsBackToWidenedSetting) {
  Payload p;
  p.settings = {{1009, "fatal \xE4 {0}"}, {1000, "settings caption"}};
  p.messages = {{1000, u"messages caption"}, {1010, u""}};
  ASSERT_TRUE(load(p));
  std::wstring widened = L"fatal ";
  widened += wchar_t(0xE4);
  widened += L" {0}";
  EXPECT_EQ(getMessage(1009), widened);
  EXPECT_EQ(getMessage(1000), L"messages caption");
  EXPECT_EQ(getLocalizedMessage(1009), L"");
  // An empty messages text falls through to the settings table too.
  EXPECT_EQ(getMessage(1010), L"");
}

struct SectionCase {
  const char* name;
  std::string locale;
  std::vector<LocaleSection> sections;
  const wchar_t* expected;  // message 1000 after loading
};

class SectionTest : public ConfigStoreTest, public ::testing::WithParamInterface<SectionCase> {};

TEST_P(SectionTest, MatchingSectionsApplyInPayloadOrder) {
  const SectionCase& c = GetParam();
  Payload p;
  p.messages = {{1000, u"base"}, {1005, u"untouched"}};
  p.sections = c.sections;
  testLocale = c.locale;
  ASSERT_TRUE(load(p));
  EXPECT_EQ(getLocalizedMessage(1000), c.expected);
  EXPECT_EQ(getLocalizedMessage(1005), L"untouched");
}

INSTANTIATE_TEST_SUITE_P(
    Prefixes, SectionTest,
    ::testing::Values(
        SectionCase{"LanguageThenCountry", "de_CH", {{"de", {{1000, u"de"}}}, {"de_CH", {{1000, u"de_CH"}}}}, L"de_CH"},
        SectionCase{"CountryThenLanguage", "de_CH", {{"de_CH", {{1000, u"de_CH"}}}, {"de", {{1000, u"de"}}}}, L"de"},
        SectionCase{"EmptyPrefixMatchesAll", "ja_JP", {{"", {{1000, u"any"}}}}, L"any"},
        SectionCase{"LongerPrefixNoMatch", "en", {{"en_US", {{1000, u"us"}}}}, L"base"},
        SectionCase{"OtherCountryNoMatch", "de_AT", {{"de_CH", {{1000, u"ch"}}}}, L"base"},
        SectionCase{"CaseSensitive", "de_CH", {{"DE", {{1000, u"DE"}}}}, L"base"},
        // A non-matching section is read past; the next one still applies.
        SectionCase{"SkippedThenApplied",
                    "fr_FR",
                    {{"de", {{1000, u"de"}, {1005, u"de 1005"}}}, {"fr", {{1000, u"fr"}}}},
                    L"fr"}),
    [](const ::testing::TestParamInfo<SectionCase>& info) { return std::string(info.param.name); });

TEST_F(ConfigStoreTest, OverrideCanAddMessageAndLeavesSettingsAlone) {
  Payload p;
  p.settings = {{1016, "settings text"}};
  p.sections = {LocaleSection{"de", {{1016, u"Kein Java"}}}};
  testLocale = "de_DE";
  ASSERT_TRUE(load(p));
  EXPECT_EQ(getMessage(1016), L"Kein Java");
  EXPECT_EQ(getConfigString(1016, 6000), "settings text");
}

TEST_F(ConfigStoreTest, DetectedLocaleIsSplitForTheJavaOptions) {
  testLocale = "de_CH";
  ASSERT_TRUE(load(Payload()));
  std::string language, country;
  ASSERT_TRUE(getLocaleLanguage(language));
  ASSERT_TRUE(getLocaleCountry(country));
  EXPECT_EQ(language, "de");
  EXPECT_EQ(country, "CH");
}

TEST_F(ConfigStoreTest, WrongMagicFails) {
  Payload p;
  p.magic = 0xE8E413D4u;
  EXPECT_FALSE(load(p));
  EXPECT_EQ(errorText, L"Internal Error: magic");
  EXPECT_EQ(localeCalls, 0);
}

struct CutCase {
  const char* name;
  size_t keep;  // bytes of the block kept
  const wchar_t* text;
  bool localeDetected;
};

class CutPayloadTest : public ConfigStoreTest, public ::testing::WithParamInterface<CutCase> {};

// Layout of the block below: magic 0, reserved 4 and 8, reserved long 12,
// settings count 20, key 24, length 28, "abc" 32, messages count 35, key 39,
// length 43, two units 47, section count 51, prefix length 55, "de" 59,
// entry count 61, key 65, length 69, one unit 73, end 75.
TEST_P(CutPayloadTest, ReportsTheReadersText) {
  Payload p;
  p.settings = {{101, "abc"}};
  p.messages = {{1000, u"xy"}};
  p.sections = {LocaleSection{"de", {{1000, u"z"}}}};
  std::string block = payload::encodeConfigBlock(p);
  ASSERT_EQ(block.size(), 75u);
  ASSERT_TRUE(load(block));

  SetUp();
  EXPECT_FALSE(load(block.substr(0, GetParam().keep)));
  EXPECT_EQ(errorText, GetParam().text);
  EXPECT_EQ(localeCalls, GetParam().localeDetected ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Offsets, CutPayloadTest,
                         ::testing::Values(CutCase{"Empty", 0, L"Internal Error: readInt", false},
                                           CutCase{"InsideMagic", 2, L"Internal Error: readInt", false},
                                           CutCase{"InsideReservedInt", 6, L"Internal Error: readInt", false},
                                           CutCase{"InsideReservedLong", 15, L"Internal Error: readLong", false},
                                           CutCase{"InsideStringLength", 30, L"Internal Error: readInt", false},
                                           CutCase{"InsideString", 33, L"Internal Error: readString", false},
                                           CutCase{"InsideWStringLength", 45, L"Internal Error: readInt", false},
                                           CutCase{"InsideWString", 49, L"Internal Error: readWString", false},
                                           CutCase{"BeforeSectionCount", 51, L"Internal Error: readInt", true},
                                           CutCase{"InsidePrefix", 60, L"Internal Error: readString", true},
                                           CutCase{"InsideSectionEntryCount", 63, L"Internal Error: readInt", true},
                                           CutCase{"InsideSectionText", 74, L"Internal Error: readWString", true}),
                         [](const ::testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace wendle
