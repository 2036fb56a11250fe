#include "launcher/Dispatch.h"

#include <cstring>

namespace wendle {
namespace {
constexpr const char kNonInteractive[] = "non-interactive";
constexpr size_t kNonInteractiveLength = sizeof(kNonInteractive) - 1;  // 15
constexpr size_t kUsageNameLimit = 256;

struct Word {
  const char* text;
  Command command;
};
constexpr Word kWords[] = {
    {"?", Command::Usage},           {"help", Command::Usage},
    {"install", Command::Install},   {"install-and-start", Command::InstallAndStart},
    {"install-auto", Command::InstallAuto}, {"install-demand", Command::InstallDemand},
    {"uninstall", Command::Uninstall}, {"stop", Command::Stop},
    {"start", Command::Start},       {"status", Command::Status},
};
}  // namespace

CommandWord parseCommandTail(const std::string& tail) {
  CommandWord result;
  if (tail.empty() || (tail[0] != '/' && tail[0] != '-')) return result;
  size_t start = 1;
  if (start < tail.size() && tail[start] == '-') ++start;
  std::string text = tail.substr(start);

  // The command word ends at the first separator; "non-interactive" may follow
  // it, and whatever follows then is the service name.
  size_t sep = text.find(' ');
  // A lone trailing blank is no name, but still ends the word.
  size_t end = sep == std::string::npos ? text.size() : sep;
  while (sep != std::string::npos && text.size() - sep >= 2) {
    if (text.compare(sep + 1, kNonInteractiveLength, kNonInteractive) == 0) {
      if (sep < end) end = sep;
      result.interactive = false;
      sep += 1 + kNonInteractiveLength;  // the character behind the word separates next
      if (sep >= text.size()) break;
    } else {
      result.nameGiven = true;
      result.name = text.substr(sep + 1);
      if (sep < end) end = sep;
      break;
    }
  }
  result.word = text.substr(0, end);
  for (const Word& w : kWords) {
    if (result.word == w.text) {
      result.command = w.command;
      break;
    }
  }
  return result;
}

std::string commandTail(const std::string& commandLine) {
  size_t p = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    size_t close = commandLine.find('"', 1);
    p = close == std::string::npos ? commandLine.size() : close + 1;
  } else {
    while (p < commandLine.size() && static_cast<unsigned char>(commandLine[p]) > 32) ++p;
  }
  while (p < commandLine.size() && static_cast<unsigned char>(commandLine[p]) >= 1 &&
         static_cast<unsigned char>(commandLine[p]) <= 32)
    ++p;
  return commandLine.substr(p);
}

RunMode recogniseRunMode(ArgumentVector& args) {
  if (!args.empty() && args[args.size() - 1] == L"__sdx_restart") {
    args.removeLast();
    return RunMode::ServiceChild;
  }
  if (!args.empty()) {
    const std::wstring& first = args[0];
    if (first == L"/run" || first == L"-run" || first == L"--run") {
      args.removeFirst();
      return RunMode::ConsoleRun;
    }
    if (first == L"/run-redirect" || first == L"-run-redirect" || first == L"--run-redirect") {
      args.removeFirst();
      return RunMode::ConsoleRunRedirect;
    }
  }
  return RunMode::ServiceProcess;
}

std::wstring usageLine(const std::wstring& executablePath) {
  size_t slash = executablePath.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? executablePath : executablePath.substr(slash + 1);
  size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  if (name.size() > kUsageNameLimit) name.resize(kUsageNameLimit);
  return L"Usage: " + name + L".exe /install | /uninstall | /stop | /start | /status | /run | /run-redirect\n";
}

}  // namespace wendle
