// The diagnostic log. Portable code logs through these functions; where the
// lines go is decided by the installed backend (on Windows the numbered log
// file, in host tests a capture). With no backend, or a backend that reports
// logging off, a call costs one test and formats nothing.
#pragma once

#include <string>

namespace wendle {

class LogBackend {
 public:
  virtual ~LogBackend() = default;
  // Decides (once, on the first call) whether logging is on.
  virtual bool enabled() = 0;
  // Writes one line; the text carries no line end. isError puts "ERROR: " first.
  virtual void writeLine(const std::wstring& text, bool isError) = 0;
};

void setLogBackend(LogBackend* backend);

// Wide format, Windows width convention (see Format.h).
void logMessage(const wchar_t* fmt, ...);
// The same line with "ERROR: " in front.
void logError(const wchar_t* fmt, ...);

}  // namespace wendle
