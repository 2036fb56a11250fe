#include "fs/PathRules.h"

namespace wendle {
namespace {
template <typename S>
bool relative(const S& path) {
  size_t start = 0;
  if (!path.empty() && path[0] == '"') start = 1;
  if (path.size() < start + 3) return true;
  if (path[start + 1] == ':' && path[start + 2] == '\\') return false;
  if (path[start] == '\\' && path[start + 1] == '\\') return false;
  return true;
}
}  // namespace

bool isRelativePath(const std::string& path) { return relative(path); }
bool isRelativePathW(const std::wstring& path) { return relative(path); }

void collapseBackslashesW(std::wstring& path) {
  if (path.size() <= 2) return;
  std::wstring out = path.substr(0, 2);
  for (size_t i = 2; i < path.size(); ++i) {
    if (path[i] == L'\\' && out.back() == L'\\') continue;
    out.push_back(path[i]);
  }
  path = std::move(out);
}

void lowerCaseAsciiW(std::wstring& path) {
  for (wchar_t& c : path)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
}

bool isDriveRootW(const std::wstring& path) {
  if (path.size() < 2) return false;
  std::wstring rest = path.substr(1);
  return rest == L":\\" || rest == L":\\." || rest == L":\\.\\.";
}

}  // namespace wendle
