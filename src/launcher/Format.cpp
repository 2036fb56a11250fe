#include "launcher/Format.h"

#include <cstdint>
#include <cwchar>

namespace wendle {
namespace {

template <typename Char>
std::basic_string<Char> toWidth(const char* s) {
  std::basic_string<Char> out;
  for (; *s; ++s) out.push_back(static_cast<Char>(static_cast<unsigned char>(*s)));
  return out;
}

template <typename Char>
std::basic_string<Char> toWidth(const wchar_t* s) {
  std::basic_string<Char> out;
  for (; *s; ++s) {
    // Wide text into narrow output keeps ASCII and marks everything else.
    if (sizeof(Char) == 1 && static_cast<uint32_t>(*s) > 0x7F)
      out.push_back(static_cast<Char>('?'));
    else
      out.push_back(static_cast<Char>(*s));
  }
  return out;
}

template <typename Char>
std::basic_string<Char> digits(uint64_t value, unsigned base, bool upper) {
  const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  std::basic_string<Char> out;
  do {
    out.insert(out.begin(), static_cast<Char>(set[value % base]));
    value /= base;
  } while (value != 0);
  return out;
}

template <typename Char>
std::basic_string<Char> vformat(const Char* fmt, va_list args) {
  std::basic_string<Char> out;
  if (fmt == nullptr) return out;
  for (const Char* p = fmt; *p; ++p) {
    if (*p != '%') {
      out.push_back(*p);
      continue;
    }
    const Char* start = p++;
    bool left = false;
    Char pad = ' ';
    for (; *p == '-' || *p == '0'; ++p) {
      if (*p == '-') left = true;
      else pad = '0';
    }
    size_t width = 0;
    for (; *p >= '0' && *p <= '9'; ++p) width = width * 10 + static_cast<size_t>(*p - '0');
    int longs = 0;
    bool size64 = false;
    for (;;) {
      if (*p == 'l') { ++longs; ++p; }
      else if (*p == 'z') { size64 = true; ++p; }
      else if (p[0] == 'I' && p[1] == '6' && p[2] == '4') { size64 = true; p += 3; }
      else break;
    }
    std::basic_string<Char> field;
    bool wide64 = size64 || longs >= 2;
    switch (*p) {
      case 'd':
      case 'i': {
        int64_t v = wide64 ? va_arg(args, long long) : (longs == 1 ? va_arg(args, long) : va_arg(args, int));
        uint64_t mag = v < 0 ? (0 - static_cast<uint64_t>(v)) : static_cast<uint64_t>(v);
        field = digits<Char>(mag, 10, false);
        if (v < 0) field.insert(field.begin(), static_cast<Char>('-'));
        break;
      }
      case 'u':
      case 'x':
      case 'X': {
        uint64_t v = wide64 ? va_arg(args, unsigned long long)
                            : (longs == 1 ? va_arg(args, unsigned long) : va_arg(args, unsigned int));
        field = digits<Char>(v, *p == 'u' ? 10 : 16, *p == 'X');
        break;
      }
      case 'c':
        field.push_back(static_cast<Char>(va_arg(args, int)));
        break;
      case 's':
      case 'S': {
        // Same width as the format for 's', the other width for 'S'.
        bool argIsWide = (sizeof(Char) != 1) == (*p == 's') || longs == 1;
        if (argIsWide) {
          const wchar_t* s = va_arg(args, const wchar_t*);
          field = s ? toWidth<Char>(s) : toWidth<Char>("(null)");
        } else {
          const char* s = va_arg(args, const char*);
          field = toWidth<Char>(s ? s : "(null)");
        }
        break;
      }
      case '%':
        field.push_back('%');
        break;
      default:
        // Unknown conversion: keep it literally, consume nothing.
        out.append(start, p + (*p ? 1 : 0));
        if (!*p) return out;
        continue;
    }
    if (field.size() < width) {
      std::basic_string<Char> fill(width - field.size(), left ? static_cast<Char>(' ') : pad);
      field = left ? field + fill : fill + field;
    }
    out += field;
  }
  return out;
}

}  // namespace

std::wstring vformatW(const wchar_t* fmt, va_list args) { return vformat<wchar_t>(fmt, args); }
std::string vformatA(const char* fmt, va_list args) { return vformat<char>(fmt, args); }

std::wstring formatW(const wchar_t* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::wstring s = vformatW(fmt, args);
  va_end(args);
  return s;
}

std::string formatA(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string s = vformatA(fmt, args);
  va_end(args);
  return s;
}

std::wstring widenBytes(const std::string& narrow) { return toWidth<wchar_t>(narrow.c_str()); }

}  // namespace wendle
