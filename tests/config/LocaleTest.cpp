#include <gtest/gtest.h>

#include <cstdio>

#include "payload/Locale.h"

namespace wendle {
namespace {

struct LocaleCase {
  uint16_t id;
  const char* locale;
  const char* language;
  const char* country;  // nullptr: no country stored
};

class LocaleTable : public ::testing::TestWithParam<LocaleCase> {
 protected:
  void SetUp() override { clearStoredLocale(); }
};

TEST_P(LocaleTable, MapsIdentifierToLocaleLanguageAndCountry) {
  const LocaleCase& c = GetParam();
  std::string locale = localeFromLanguageId(0x0409, &c.id);
  EXPECT_EQ(locale, c.locale);

  splitLocale(locale);
  std::string language, country;
  ASSERT_TRUE(getLocaleLanguage(language));
  EXPECT_EQ(language, c.language);
  if (c.country == nullptr) {
    EXPECT_FALSE(getLocaleCountry(country)) << country;
  } else {
    ASSERT_TRUE(getLocaleCountry(country));
    EXPECT_EQ(country, c.country);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, LocaleTable,
    ::testing::Values(LocaleCase{0x0807, "de_CH", "de", "CH"},
                      // no row: the primary language 0x000C decides
                      LocaleCase{0x1C0C, "fr", "fr", nullptr},
                      // neither 0x0442 nor 0x0042 has a row
                      LocaleCase{0x0442, "en", "en", nullptr}, LocaleCase{0x0814, "no_NO_NY", "no", nullptr},
                      LocaleCase{0x2409, "en", "en", nullptr}, LocaleCase{0x0412, "ko_KR", "ko", "KR"},
                      LocaleCase{0x0812, "ko_KR", "ko", "KR"}, LocaleCase{0x040A, "es_ES", "es", "ES"},
                      LocaleCase{0x0C0A, "es_ES", "es", "ES"}, LocaleCase{0x040D, "iw_IL", "iw", "IL"},
                      LocaleCase{0x0009, "en", "en", nullptr}, LocaleCase{0x0000, "en", "en", nullptr},
                      // the low 10 bits 0x0007 name German
                      LocaleCase{0xFC07, "de", "de", nullptr}),
    [](const ::testing::TestParamInfo<LocaleCase>& info) {
      char id[8];
      std::snprintf(id, sizeof id, "x%04X", static_cast<unsigned>(info.param.id));
      return std::string(id);
    });

TEST(LocaleIdentifier, UserLocaleLow16BitsWithoutUiLanguage) {
  EXPECT_EQ(localeFromLanguageId(0x00010407u, nullptr), "de_DE");
  EXPECT_EQ(localeFromLanguageId(0x0000100Cu, nullptr), "fr_CH");
}

TEST(LocaleIdentifier, UiLanguageWinsOverUserLocale) {
  uint16_t ui = 0x0411;
  EXPECT_EQ(localeFromLanguageId(0x0407u, &ui), "ja_JP");
}

TEST(StoredLocale, NothingStoredBeforeSplit) {
  clearStoredLocale();
  std::string text = "unchanged";
  EXPECT_FALSE(getLocaleLanguage(text));
  EXPECT_FALSE(getLocaleCountry(text));
  EXPECT_EQ(text, "unchanged");
}

TEST(StoredLocale, SplitReplacesEarlierCountry) {
  clearStoredLocale();
  splitLocale("de_CH");
  splitLocale("fr");
  std::string language, country;
  ASSERT_TRUE(getLocaleLanguage(language));
  EXPECT_EQ(language, "fr");
  EXPECT_FALSE(getLocaleCountry(country));
}

TEST(StoredLocale, ShortLocaleKeepsWhatThereIs) {
  clearStoredLocale();
  splitLocale("x");
  std::string language;
  ASSERT_TRUE(getLocaleLanguage(language));
  EXPECT_EQ(language, "x");
}

}  // namespace
}  // namespace wendle
