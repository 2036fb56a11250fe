#include "SelfPath.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace wendle::gen {

std::string selfExecutablePath() {
  std::vector<wchar_t> buf(32768);
  DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
  DWORD err = GetLastError();
  if (n == 0 || n >= buf.size()) {
    std::fprintf(stderr, "wendlegen: GetModuleFileNameW failed (%lu)\n", static_cast<unsigned long>(err));
    return std::string();
  }
  return std::filesystem::path(std::wstring(buf.data(), n)).string();
}

}  // namespace wendle::gen
