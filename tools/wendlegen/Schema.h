// The readable configuration: every settings and message key of the launcher's
// catalogue under the name a configuration file uses for it, grouped by section.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wendle::gen {

enum class Kind {
  Text,          // string, stored as 8-bit text
  Flag,          // boolean: "1" or "0"
  Number,        // integer in the signed 32-bit range, decimal
  LauncherKind,  // "service", "windowed", "auto-start-service", "message-box" or a number
  Flavour,       // "wendle" or "strandix"
  NameList,      // array of strings joined with ","
  OptionLine,    // string, or array of strings joined and quoted as one command line
  ClassPath,     // array of tables {type, path|variable, required}
  JvmLocations,  // array of tables {type, path|variable}
  LibraryDirs,   // array of tables {path}
};

struct SettingDef {
  const char* section;  // "" for a top-level array of tables
  const char* name;
  int32_t key;
  Kind kind;
  int32_t limit;        // the launcher's buffer in characters (value at most limit - 1); 0: none
};

struct MessageDef {
  const char* name;     // name in [messages] and [[locale]]
  int32_t key;
  const char* defaultText;
};

// Every readable setting, in key order within each section.
const std::vector<SettingDef>& settingCatalogue();
// Every message key the launcher shows, plus the service description (last).
const std::vector<MessageDef>& messageCatalogue();

const SettingDef* findSetting(const std::string& section, const std::string& name);
const SettingDef* findSettingByKey(int32_t key);
const MessageDef* findMessage(const std::string& name);
const MessageDef* findMessageByKey(int32_t key);

// "service.name" for display; "class_path" for a top-level list.
std::string qualifiedName(const SettingDef& def);

// The message buffer of the launcher, in UTF-16 units (a text holds at most 5999).
constexpr int32_t kMessageLimit = 6000;
// Version-specific option lines: keys 10201 + 2i (prefix) and 10202 + 2i (line).
constexpr int32_t kVersionLineLimit = 6000;
// Settings keys that the generator always writes itself (embedded file count and names).
bool isGeneratedKey(int32_t key);

}  // namespace wendle::gen
