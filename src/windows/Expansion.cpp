#include "windows/Expansion.h"

#include <algorithm>

#include "launcher/Format.h"
#include "launcher/Log.h"

namespace wendle {

std::string jvmHome;
std::optional<std::string> selectedJvmVersion;

void recordSelectedJvm(const std::string& javaExecutablePath, const std::string& versionText) {
  static const std::string kJavaw = "javaw.exe";
  const std::string& p = javaExecutablePath;
  // Whatever the file is called, a name other than javaw.exe is taken to be
  // as long as java.exe.
  size_t drop = (p.size() >= kJavaw.size() && p.compare(p.size() - kJavaw.size(), kJavaw.size(), kJavaw) == 0)
                    ? kJavaw.size()
                    : 8;
  jvmHome = p.substr(0, p.size() > drop ? p.size() - drop : 0) + "..";
  selectedJvmVersion = versionText;
}

namespace {

// The longest text an expansion may leave: the caller's buffer less its
// terminator, and never more than the scratch area holds.
size_t maxLength(size_t limit) {
  size_t cap = std::min(limit, kExpansionScratchLimit);
  return cap == 0 ? 0 : cap - 1;
}


void logReplacement(const std::wstring& name, const std::wstring& value, const std::wstring& text) {
  logMessage(L"expanding2 %s to %s in %s.", name.c_str(), value.c_str(), text.c_str());
}
void logReplacement(const std::wstring& name, const std::string& value, const std::wstring& text) {
  logMessage(L"expanding2 %s to %S in %s.", name.c_str(), value.c_str(), text.c_str());
}
void logReplacement(const std::string& name, const std::string& value, const std::string& text) {
  logMessage(L"expanding2 %S to %S in %S.", name.c_str(), value.c_str(), text.c_str());
}
void logCut(const std::wstring& name, size_t at) {
  logError(L"expansion of %s cut at %d characters", name.c_str(), static_cast<int>(at));
}
void logCut(const std::string& name, size_t at) {
  logError(L"expansion of %S cut at %d characters", name.c_str(), static_cast<int>(at));
}

template <typename Text, typename Value>
void replaceAllIn(Text& text, const Text& name, const Value& value, size_t limit) {
  if (name.empty()) return;
  const size_t maxLen = maxLength(limit);
  const auto inserted = [&] {
    if constexpr (sizeof(typename Text::value_type) == sizeof(typename Value::value_type)) {
      return Text(value.begin(), value.end());
    } else {
      return widenBytes(value);
    }
  }();
  size_t p = text.find(name);
  while (p != Text::npos) {
    text.replace(p, name.size(), inserted);
    p += inserted.size();
    bool cut = false;
    if (text.size() > maxLen) {
      text.resize(maxLen);
      logCut(name, maxLen);
      cut = true;
    }
    logReplacement(name, value, text);
    // Resume after the inserted value: a value holding its own name is not
    // replaced again by this call.
    if (cut || p >= text.size()) break;
    p = text.find(name, p);
  }
}

template <typename Char>
void upperAscii(std::basic_string<Char>& s) {
  for (auto& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<Char>(c - 'a' + 'A');
}

// One environment entry "NAME=value": ${NAME} and its upper-cased twin.
template <typename Text>
void expandEnvironmentEntry(Text& text, const Text& entry, size_t limit) {
  using Char = typename Text::value_type;
  size_t eq = entry.find(static_cast<Char>('='));
  if (eq == Text::npos) return;
  Text name = entry.substr(0, eq);
  Text value = entry.substr(eq + 1);
  Text reference;
  reference.push_back(static_cast<Char>('$'));
  reference.push_back(static_cast<Char>('{'));
  reference += name;
  reference.push_back(static_cast<Char>('}'));
  // The reference is formatted into a working buffer; a name that does not
  // fit cannot be referred to.
  if (reference.size() >= kExpansionLimit) return;
  replaceAllIn(text, reference, value, limit);
  upperAscii(reference);
  replaceAllIn(text, reference, value, limit);
}

struct Row {
  const char* name;
  enum Kind { kExeDir, kTempDir, kSeparator, kJvmHome, kUserTemp } kind;
};

// Replacement order is binding: later rows see what earlier rows inserted.
constexpr Row kRows[] = {
    {"%WENDLE_EXEDIR%", Row::kExeDir},
    {"%STRANDIX_EXEDIR%", Row::kExeDir},
    {"%WENDLE_TEMPDIR%", Row::kTempDir},
    {"%STRANDIX_TEMPDIR%", Row::kTempDir},
    {"%WENDLE_PATHLIST_SEPARATOR%", Row::kSeparator},
    {"%STRANDIX_PATHLIST_SEPARATOR%", Row::kSeparator},
    {"%WENDLE_JVM_HOME%", Row::kJvmHome},
    {"%STRANDIX_JVM_HOME%", Row::kJvmHome},
    {"${WENDLE_EXEDIR}", Row::kExeDir},
    {"${STRANDIX_EXEDIR}", Row::kExeDir},
    {"${WENDLE_TEMPDIR}", Row::kTempDir},
    {"${STRANDIX_TEMPDIR}", Row::kTempDir},
    {"${WENDLE_PATHLIST_SEPARATOR}", Row::kSeparator},
    {"${STRANDIX_PATHLIST_SEPARATOR}", Row::kSeparator},
    {"${WENDLE_JVM_HOME}", Row::kJvmHome},
    {"${STRANDIX_JVM_HOME}", Row::kJvmHome},
    {"${launcher:sys.launcherDirectory}", Row::kExeDir},
    {"${launcher:sys.launcherTempDirectory}", Row::kTempDir},
    {"${launcher:sys.pathlistSeparator}", Row::kSeparator},
    {"${launcher:sys.jvmHome}", Row::kJvmHome},
    {"${launcher:sys.tempDir}", Row::kUserTemp},
};

}  // namespace

void replaceAll(std::wstring& text, const std::wstring& name, const std::wstring& value, size_t limit) {
  replaceAllIn(text, name, value, limit);
}
void replaceAll(std::wstring& text, const std::wstring& name, const std::string& value, size_t limit) {
  replaceAllIn(text, name, value, limit);
}
void replaceAll(std::string& text, const std::string& name, const std::string& value, size_t limit) {
  replaceAllIn(text, name, value, limit);
}

void expandWith(std::wstring& text, bool ansiForms, const WideExpansionInputs& in, size_t limit) {
  for (const Row& row : kRows) {
    const std::wstring name = widenBytes(row.name);
    switch (row.kind) {
      case Row::kExeDir:
        if (ansiForms)
          replaceAllIn(text, name, in.launcherDirectoryAnsi, limit);
        else
          replaceAllIn(text, name, in.launcherDirectory, limit);
        break;
      case Row::kTempDir:
        replaceAllIn(text, name, in.extractionDirectory, limit);
        break;
      case Row::kSeparator:
        replaceAllIn(text, name, std::wstring(L";"), limit);
        break;
      case Row::kJvmHome:
        replaceAllIn(text, name, in.jvmHome, limit);
        break;
      case Row::kUserTemp:
        if (ansiForms)
          replaceAllIn(text, name, in.tempDirectoryAnsi, limit);
        else
          replaceAllIn(text, name, in.tempDirectory, limit);
        break;
    }
  }
  for (const std::wstring& entry : in.environment) expandEnvironmentEntry(text, entry, limit);
}

void expandNarrowWith(std::string& text, const NarrowExpansionInputs& in, size_t limit) {
  for (const Row& row : kRows) {
    const std::string name = row.name;
    switch (row.kind) {
      case Row::kExeDir: replaceAllIn(text, name, in.launcherDirectory, limit); break;
      case Row::kTempDir: replaceAllIn(text, name, in.extractionDirectory, limit); break;
      case Row::kSeparator: replaceAllIn(text, name, std::string(";"), limit); break;
      case Row::kJvmHome: replaceAllIn(text, name, in.jvmHome, limit); break;
      case Row::kUserTemp: replaceAllIn(text, name, in.tempDirectory, limit); break;
    }
  }
  for (const std::string& entry : in.environment) expandEnvironmentEntry(text, entry, limit);
}

}  // namespace wendle
