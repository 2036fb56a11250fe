// Packs readable values (TOML nodes) into the settings text the launcher reads,
// and unpacks settings text back into readable values. Both directions share the
// rules, so a value that unpacks and packs to the same bytes round-trips exactly.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Schema.h"
#include "Toml.h"

namespace wendle::gen {

struct PackError {
  toml::source_region where;  // of the offending node
  std::string setting;        // qualified name, e.g. "class_path[2].path"
  std::string text;
};

// Packs the value of a readable setting. Checks its type, its characters and the
// launcher's length limit.
bool packSetting(const SettingDef& def, const toml::node& value, std::string& out, PackError& error);

// A string node as 8-bit settings text.
bool packText(const toml::node& value, const std::string& setting, std::string& out, PackError& error);

// A string node as UTF-16 message text (at most kMessageLimit - 1 units).
bool packMessage(const toml::node& value, const std::string& setting, std::u16string& out, PackError& error);

// A string or an array of strings as one command line of the launcher's splitting rules.
bool packOptionLine(const toml::node& value, const std::string& setting, std::string& out, PackError& error);

// The readable value of a settings text, or nothing when it has no readable form
// that packs back to the same bytes.
std::optional<std::unique_ptr<toml::node>> unpackSetting(const SettingDef& def, const std::string& text);

// "the text" for a type name in error messages.
const char* typeName(const toml::node& node);

}  // namespace wendle::gen
