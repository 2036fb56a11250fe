#include "Text.h"

namespace wendle::gen {
namespace {

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

bool settingsTextFromUtf8(const std::string& utf8, std::string& out, uint32_t& badCodePoint) {
  out.clear();
  size_t i = 0;
  while (i < utf8.size()) {
    auto c = static_cast<uint8_t>(utf8[i]);
    uint32_t cp = 0;
    size_t extra = 0;
    if (c < 0x80) {
      cp = c;
    } else if ((c >> 5) == 6) {
      cp = c & 0x1F;
      extra = 1;
    } else if ((c >> 4) == 14) {
      cp = c & 0x0F;
      extra = 2;
    } else if ((c >> 3) == 30) {
      cp = c & 0x07;
      extra = 3;
    } else {
      badCodePoint = 0xFFFD;
      return false;
    }
    if (extra > 0 && i + extra >= utf8.size()) {
      badCodePoint = 0xFFFD;
      return false;
    }
    for (size_t k = 1; k <= extra; ++k) {
      auto cc = static_cast<uint8_t>(utf8[i + k]);
      if ((cc & 0xC0) != 0x80) {
        badCodePoint = 0xFFFD;
        return false;
      }
      cp = (cp << 6) | (cc & 0x3F);
    }
    i += extra + 1;
    if (cp == 0 || cp > 0xFF) {
      badCodePoint = cp;
      return false;
    }
    out.push_back(static_cast<char>(cp));
  }
  return true;
}

std::string utf8FromSettingsText(const std::string& text) {
  std::string out;
  for (char c : text) appendUtf8(out, static_cast<uint8_t>(c));
  return out;
}

std::string utf8FromUtf16(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    appendUtf8(out, cp);
  }
  return out;
}

}  // namespace wendle::gen
