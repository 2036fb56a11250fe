// Launcher variables in configuration values: %WENDLE_EXEDIR%, ${WENDLE_TEMPDIR},
// ${launcher:sys.launcherDirectory} and the rest of the fixed table, then
// ${NAME} for every environment variable. Text is expanded in place.
//
// The portable engine (expandWith / expandNarrowWith) takes every value as an
// input; the launcher-facing functions (expandVariables / expandVariablesNarrow)
// gather the values from the running process (win/Expansion.cpp).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace wendle {

// The caller's buffer size in characters, terminator included: an expanded
// text keeps at most limit - 1 characters. Working texts hold 6000 characters,
// the program argument line (settings key 124) 2000.
constexpr size_t kExpansionLimit = 6000;
constexpr size_t kArgumentLineLimit = 2000;
// The tail of the text behind an occurrence moves through a scratch area of
// this many characters, so no text grows past it whatever the caller's limit.
constexpr size_t kExpansionScratchLimit = 24000;

// The selected runtime's home: the directory of its java executable followed
// by ".." (C:\jre\bin\java.exe gives C:\jre\bin\..). Empty until recordSelectedJvm.
extern std::string jvmHome;
// The selected runtime's version text; absent until recordSelectedJvm.
extern std::optional<std::string> selectedJvmVersion;

// Called by the JVM search once a runtime was accepted.
void recordSelectedJvm(const std::string& javaExecutablePath, const std::string& versionText);

// Wide text. ansiForms: the directories in the forms that survive the
// conversion to the ANSI code page (for text that becomes a VM option).
// Ends the launcher (message 1015) when no temporary directory is usable.
void expandVariables(std::wstring& text, bool ansiForms, size_t limit = kExpansionLimit);
// Narrow text in the ANSI code page.
void expandVariablesNarrow(std::string& text, size_t limit = kExpansionLimit);

// Inputs of the portable engine. Narrow values are put into wide text byte by byte.
struct WideExpansionInputs {
  std::wstring launcherDirectory;      // long form, with trailing backslash (ansiForms false)
  std::string launcherDirectoryAnsi;   // ANSI form, with trailing backslash (ansiForms true)
  std::string extractionDirectory;     // empty when nothing was extracted
  std::string jvmHome;
  std::wstring tempDirectory;          // user temporary directory (ansiForms false)
  std::string tempDirectoryAnsi;       // user temporary directory (ansiForms true)
  std::vector<std::wstring> environment;  // "NAME=value" entries in block order
};

struct NarrowExpansionInputs {
  std::string launcherDirectory;  // ANSI form, with trailing backslash
  std::string extractionDirectory;
  std::string jvmHome;
  std::string tempDirectory;
  std::vector<std::string> environment;  // "NAME=value" entries in block order
};

// Replaces every occurrence of name by value; the search resumes after each
// inserted value. Logs one line per occurrence; a text that would outgrow the
// limit is cut there and the cut is logged.
void replaceAll(std::wstring& text, const std::wstring& name, const std::wstring& value, size_t limit);
void replaceAll(std::wstring& text, const std::wstring& name, const std::string& value, size_t limit);
void replaceAll(std::string& text, const std::string& name, const std::string& value, size_t limit);

// The fixed table (rows 1 to 21) in replacement order, then the environment.
void expandWith(std::wstring& text, bool ansiForms, const WideExpansionInputs& inputs,
                size_t limit = kExpansionLimit);
void expandNarrowWith(std::string& text, const NarrowExpansionInputs& inputs, size_t limit = kExpansionLimit);

}  // namespace wendle
