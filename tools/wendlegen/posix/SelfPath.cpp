#include "SelfPath.h"

#include <filesystem>
#include <system_error>

namespace wendle::gen {

std::string selfExecutablePath() {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

}  // namespace wendle::gen
