// Text conversions between the configuration file (UTF-8) and the payload:
// settings are 8-bit text that the launcher widens byte by byte, messages are UTF-16.
#pragma once

#include <cstdint>
#include <string>

namespace wendle::gen {

// UTF-8 to 8-bit settings text: every character up to U+00FF becomes the byte of the
// same value. Returns false (badCodePoint set) for a character above U+00FF, for
// U+0000 and for malformed UTF-8 (badCodePoint 0xFFFD).
bool settingsTextFromUtf8(const std::string& utf8, std::string& out, uint32_t& badCodePoint);

// 8-bit settings text to UTF-8 (byte value = code point).
std::string utf8FromSettingsText(const std::string& text);

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string utf8FromUtf16(const std::u16string& text);

}  // namespace wendle::gen
