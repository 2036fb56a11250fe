// Scenario tests on Windows (under Wine): build a launcher copy with a given
// payload into a fresh directory, run it as a separate process with chosen
// arguments and environment, and collect its exit code, standard output,
// standard error and diagnostic log.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "payload/PayloadWriter.h"

namespace wendle::test {

struct RunResult {
  uint32_t exitCode = 0;
  bool timedOut = false;
  std::string out;          // standard output bytes
  std::string err;          // standard error bytes
  std::wstring log;         // the diagnostic log (UTF-8 decoded, byte-order mark removed)
  std::wstring logPath;     // where it was found; empty when there is none

  // True when the log has a line equal to text (line ends removed).
  bool logHasLine(const std::wstring& text) const;
  // True when some log line contains text.
  bool logContains(const std::wstring& text) const;
  std::vector<std::wstring> logLines() const;
};

struct RunOptions {
  // Environment changes on top of the test process's own: a value sets, nullopt removes.
  std::map<std::wstring, std::optional<std::wstring>> env;
  bool log = true;                 // sets WENDLE_LOG=yes (unless env names it)
  bool ownTemp = true;             // TMP and TEMP point to a fresh folder in the scenario directory
  std::wstring workingDirectory;   // default: the scenario directory
  uint32_t timeoutMs = 60000;      // the process is ended after this, and timedOut set
};

// The launcher stub as built (no payload).
std::wstring stubPath();

// Messages every scenario launcher carries unless a test replaces them.
payload::Payload basePayload();

class Scenario {
 public:
  // A fresh, empty directory for this scenario.
  Scenario();
  ~Scenario();
  Scenario(const Scenario&) = delete;
  Scenario& operator=(const Scenario&) = delete;

  const std::wstring& dir() const { return dir_; }
  std::wstring path(const std::wstring& relative) const { return dir_ + L"\\" + relative; }
  // The temporary folder runs get as TMP/TEMP.
  std::wstring tempDir() const { return path(L"tmp"); }

  // Writes the stub plus payload as dir()\name; returns its full path.
  std::wstring buildLauncher(const payload::Payload& payload, const std::wstring& name = L"app.exe");
  // Copies the stub with raw bytes appended (no payload structure at all).
  std::wstring writeLauncherBytes(const std::string& appended, const std::wstring& name = L"app.exe");

  // Runs exe with the argument text (appended after the quoted exe path).
  RunResult run(const std::wstring& exe, const std::wstring& arguments, const RunOptions& options = RunOptions());

 private:
  std::wstring dir_;
};

// Helpers for files in tests.
bool writeFileBytes(const std::wstring& path, const std::string& bytes);
std::string readFileBytes(const std::wstring& path);
bool pathExists(const std::wstring& path);
std::vector<std::wstring> listDir(const std::wstring& dir);  // names, without "." and ".."
std::wstring fromUtf8(const std::string& bytes);
std::string toUtf8(const std::wstring& text);
void removeTree(const std::wstring& dir);

}  // namespace wendle::test
