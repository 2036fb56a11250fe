#include "payload/EmbeddedNames.h"

#include <cctype>
#include <cstring>

namespace wendle {
namespace {

bool onlyDotsAndBlanks(const std::string& component) {
  return component.find_first_not_of(". ") == std::string::npos;
}

// Windows opens these as devices whatever the directory or extension.
bool isDeviceName(const std::string& component) {
  std::string base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  std::string upper;
  for (char c : base) upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* d : kDevices)
    if (upper == d) return true;
  if (upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
      upper[3] >= '1' && upper[3] <= '9')
    return true;
  return false;
}

const char* componentProblem(const std::string& component) {
  if (component.empty()) return "empty path component";
  if (onlyDotsAndBlanks(component)) return "relative path component";
  if (isDeviceName(component)) return "device name";
  return nullptr;
}

}  // namespace

const char* embeddedNameProblem(const std::string& name) {
  if (name.empty()) return "empty name";
  if (name[0] == '\\' || name[0] == '/') return "absolute path";
  for (unsigned char c : name) {
    if (c == ':') return "drive or stream name";
    if (c == '/') return "forward slash";
    if (c < 0x20 || std::strchr("<>\"|?*", c) != nullptr) return "character not allowed in file names";
  }
  size_t slash = name.find('\\');
  if (slash != std::string::npos && name.find('\\', slash + 1) != std::string::npos)
    return "more than one directory level";
  if (slash != std::string::npos) {
    if (const char* p = componentProblem(name.substr(0, slash))) return p;
    return componentProblem(name.substr(slash + 1));
  }
  return componentProblem(name);
}

}  // namespace wendle
