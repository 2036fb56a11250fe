// toml++ as the generator uses it: no exceptions (parse results are checked), and
// compiled once (TomlImpl.cpp) instead of in every file that includes it.
#pragma once

#ifndef TOML_EXCEPTIONS
#define TOML_EXCEPTIONS 0
#endif
#ifndef TOML_HEADER_ONLY
#define TOML_HEADER_ONLY 0
#endif
#include <toml++/toml.h>
