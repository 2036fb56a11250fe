// Reads a wendlegen configuration (TOML) into the payload the launcher reads.
#pragma once

#include <string>

#include "payload/PayloadWriter.h"

namespace wendle::gen {

// A located error: "wendle.toml:12:5: service.name: expected a string, found an integer".
struct Diagnostic {
  std::string file;
  int line = 0;    // 0 when the error has no place in the file
  int column = 0;
  std::string setting;
  std::string text;

  std::string format() const;
};

// Parses configuration text. Relative source paths of embedded files and of the
// remainder are resolved against baseDir. Checks every value, including that the
// named files exist; on failure returns false and fills error.
bool parseConfiguration(const std::string& text, const std::string& fileName, const std::string& baseDir,
                        payload::Payload& out, Diagnostic& error);

// Reads and parses a configuration file (baseDir: the file's directory).
bool loadConfiguration(const std::string& path, payload::Payload& out, Diagnostic& error);

// Why the launcher would refuse an embedded file name, or "" when it accepts it.
// The name is given with '\' or '/' between its parts.
std::string embeddedNameProblem(const std::string& name);

// Loads the configuration and writes the launcher copy: the stub followed by the
// payload. Nothing is left at outPath on failure.
bool buildExecutable(const std::string& configPath, const std::string& stubPath, const std::string& outPath,
                     Diagnostic& error);

}  // namespace wendle::gen
