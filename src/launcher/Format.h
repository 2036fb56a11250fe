// printf-style formatting with the Windows width convention on every platform:
// in a wide format "%s" takes a wide text and "%S" a narrow one; in a narrow
// format "%s" is narrow and "%S" wide. Supported: %d %i %u %x %X %c %s %S %%,
// the length prefixes l, ll, I64 and z, and a field width and '-' flag.
// Results are std::wstring/std::string, so nothing is ever cut or overrun.
#pragma once

#include <cstdarg>
#include <string>

namespace wendle {

std::wstring formatW(const wchar_t* fmt, ...);
std::wstring vformatW(const wchar_t* fmt, va_list args);
std::string formatA(const char* fmt, ...);
std::string vformatA(const char* fmt, va_list args);

// Byte-for-byte widening: every byte becomes the UTF-16 unit of the same value.
std::wstring widenBytes(const std::string& narrow);

}  // namespace wendle
