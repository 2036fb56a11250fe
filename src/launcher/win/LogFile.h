// The diagnostic log file on Windows: off unless WENDLE_LOG or STRANDIX_LOG is
// "yes"; every line is one open, append and close of the file, so the file is
// complete up to the last line even when the process dies.
#pragma once

namespace wendle {

// Installs the file backend behind logMessage/logError. Called first thing by the entry.
void installFileLog();

// The log file's path, or nullptr while logging is off or nothing was logged yet.
const wchar_t* getLogPath();

}  // namespace wendle
