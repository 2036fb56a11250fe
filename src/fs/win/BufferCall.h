// Calls a Win32 function that fills a caller buffer and reports the length it
// wrote (or, when the buffer is too small, the length it needs). The buffer
// grows as needed up to a limit; an answer that does not fit the limit, or a
// call that fails (returns 0), gives false. Nothing is ever written past the buffer.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace wendle {

constexpr DWORD kWin32TextLimit = 6000;

template <typename Char, typename Fn>
bool callWithBuffer(std::basic_string<Char>& out, Fn fn, DWORD limit = kWin32TextLimit) {
  std::vector<Char> buf(std::min<DWORD>(MAX_PATH + 1, limit));
  for (;;) {
    DWORD n = fn(buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return false;
    if (n < buf.size()) {
      out.assign(buf.data(), n);
      return true;
    }
    if (buf.size() >= limit) return false;
    buf.resize(std::min<size_t>(std::max<size_t>(static_cast<size_t>(n) + 1, buf.size() * 2), limit));
  }
}

}  // namespace wendle
