#include "launcher/Log.h"

#include <cstdarg>

#include "launcher/Format.h"

namespace wendle {
namespace {
LogBackend* logBackend = nullptr;

void logV(bool isError, const wchar_t* fmt, va_list args) {
  if (logBackend == nullptr || !logBackend->enabled()) return;
  logBackend->writeLine(vformatW(fmt, args), isError);
}
}  // namespace

void setLogBackend(LogBackend* backend) { logBackend = backend; }

void logMessage(const wchar_t* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  logV(false, fmt, args);
  va_end(args);
}

void logError(const wchar_t* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  logV(true, fmt, args);
  va_end(args);
}

}  // namespace wendle
