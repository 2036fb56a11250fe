// The entry's two readings of the command line, as pure functions: the service
// command word in the narrow tail, and the run mode in the split wide arguments.
#pragma once

#include <string>

#include "launcher/CommandLine.h"

namespace wendle {

enum class Command { None, Usage, Install, InstallAndStart, InstallAuto, InstallDemand, Uninstall, Stop, Start, Status };

struct CommandWord {
  Command command = Command::None;
  std::string word;          // the word as compared (after '/', '-', "--")
  bool interactive = true;   // false when "non-interactive" follows the word
  bool nameGiven = false;    // a service name followed the word
  std::string name;          // that name: the whole rest of the tail
};

// Reads a command word from the tail (the command line without the program
// name). Only a tail beginning with '/' or '-' has one; a word that matches no
// command gives Command::None. Matching is exact and case-sensitive.
CommandWord parseCommandTail(const std::string& tail);

// The narrow tail as the C runtime passes it to the entry: the program name
// removed (quoted up to the next quote, else up to the first character of code
// 32 or less), then characters of code 1 to 32 skipped.
std::string commandTail(const std::string& commandLine);

enum class RunMode { ServiceChild, ConsoleRun, ConsoleRunRedirect, ServiceProcess };

// Decides the role from the arguments without the program path and removes the
// marker or the mode word: the marker "__sdx_restart" as last argument first,
// then "/run" and "/run-redirect" (and their '-' and "--" forms) as the first.
RunMode recogniseRunMode(ArgumentVector& args);

// The usage line for an executable path: its file name without directory and
// extension (at most 256 characters), always followed by ".exe".
std::wstring usageLine(const std::wstring& executablePath);

}  // namespace wendle
