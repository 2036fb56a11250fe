// The user's locale as a short string ("en_US", "de_CH", "en", "no_NO_NY"),
// found through a fixed table of Windows language identifiers, and the
// language and country kept from it for the Java runtime's options.
#pragma once

#include <cstdint>
#include <string>

namespace wendle {

// Locale strings are at most this many characters.
constexpr size_t kMaxLocaleLength = 8;

// The table row for id: an exact match first, then the primary-language row of
// id & 0x3FF; "en" when neither exists.
std::string lookupLocale(uint16_t id);

// The locale for the user: the low 16 bits of the user default locale
// identifier, or the user interface language when the system supplies one
// (uiLanguage not null), looked up with lookupLocale.
std::string localeFromLanguageId(uint32_t userDefaultLcid, const uint16_t* uiLanguage);

// Keeps the first two characters as the language, and characters 4 and 5 as
// the country when the locale is exactly 5 characters long (else no country).
void splitLocale(const std::string& locale);

// The stored language / country; false when none is stored.
bool getLocaleLanguage(std::string& language);
bool getLocaleCountry(std::string& country);

// Forgets the stored language and country (tests; a process sets them once).
void clearStoredLocale();

}  // namespace wendle
