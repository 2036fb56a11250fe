// The path of the running wendlegen executable (its default launcher stub lies beside it).
#pragma once

#include <string>

namespace wendle::gen {

// Empty when the system cannot tell.
std::string selfExecutablePath();

}  // namespace wendle::gen
