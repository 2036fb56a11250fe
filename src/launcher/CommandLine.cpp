#include "launcher/CommandLine.h"

namespace wendle {

void splitCommandLine(const std::wstring& text, ArgumentVector& args) {
  const size_t npos = std::wstring::npos;
  size_t p = 0;
  while (p < text.size()) {
    size_t dq = text.find(L'"', p);
    size_t sq = text.find(L'\'', p);
    size_t blank = text.find(L' ', p);
    if (blank == p) {
      ++p;  // runs of blanks give no empty arguments
      continue;
    }
    size_t firstQuote = dq < sq ? dq : sq;
    if (blank != npos && blank < firstQuote) {
      args.append(text.substr(p, blank - p));
      p = blank + 1;
      continue;
    }
    size_t q;
    if (dq != npos && (sq == npos || sq > dq)) {
      q = dq;
    } else if (sq != npos) {
      q = sq;
    } else {
      args.append(text.substr(p));
      return;
    }
    // A quoted argument: text before the quote, then the text up to the closing quote.
    size_t close = text.find(text[q], q + 1);
    std::wstring arg = text.substr(p, q - p);
    arg += text.substr(q + 1, (close == npos ? text.size() : close) - q - 1);
    args.append(std::move(arg));
    if (close == npos) return;
    p = close + 1;
    if (p < text.size() && text[p] == L' ') ++p;
  }
}

}  // namespace wendle
