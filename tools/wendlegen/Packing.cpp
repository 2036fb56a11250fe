#include "Packing.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

#include "Text.h"
#include "payload/PayloadWriter.h"

namespace wendle::gen {
namespace {

bool fail(PackError& error, const toml::node& node, const std::string& setting, std::string text) {
  error.where = node.source();
  error.setting = setting;
  error.text = std::move(text);
  return false;
}

std::string codePointText(uint32_t cp) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
  return buf;
}

bool checkLimit(const SettingDef& def, const toml::node& node, const std::string& packed, PackError& error) {
  if (def.limit > 0 && packed.size() > static_cast<size_t>(def.limit - 1)) {
    return fail(error, node, qualifiedName(def),
                "the packed value is " + std::to_string(packed.size()) + " characters; the launcher reads at most " +
                    std::to_string(def.limit - 1));
  }
  return true;
}

const toml::table* asTable(const toml::node& node) { return node.as_table(); }

// Looks up a string field of a list entry; absent is allowed when optional.
bool stringField(const toml::table& entry, const char* field, const std::string& setting, bool required,
                 std::string& out, bool& present, PackError& error) {
  present = false;
  const toml::node* n = entry.get(field);
  if (!n) {
    if (required) return fail(error, entry, setting, std::string("missing \"") + field + "\"");
    return true;
  }
  present = true;
  return packText(*n, setting + "." + field, out, error);
}

bool checkFields(const toml::table& entry, const std::string& setting, std::initializer_list<const char*> allowed,
                 PackError& error) {
  for (auto&& [key, value] : entry) {
    bool known = false;
    for (const char* a : allowed) known = known || key.str() == a;
    if (!known) {
      error.where = key.source();
      error.setting = setting + "." + std::string(key.str());
      error.text = "unknown setting";
      return false;
    }
  }
  return true;
}

bool noSeparator(const toml::node& node, const std::string& setting, const std::string& value, char sep,
                 PackError& error) {
  if (value.find(sep) != std::string::npos) {
    return fail(error, node, setting, std::string("must not contain '") + sep + "', which separates the list's entries");
  }
  return true;
}

struct Letter {
  const char* name;
  char letter;
  const char* field;  // "path", "variable" or nullptr (no value)
};

const Letter kClassPathTypes[] = {
    {"archive", 'A', "path"}, {"directory", 'D', "path"}, {"environment", 'E', "variable"}, {"scan", 'S', "path"}};
const Letter kLocationTypes[] = {{"directory", 'A', "path"},      {"bundled", 'B', "path"},
                                 {"runtime", 'R', "path"},        {"environment", 'E', "variable"},
                                 {"search_path", 'S', nullptr},   {"registry", 'Y', nullptr}};

template <size_t N>
const Letter* letterByName(const Letter (&table)[N], const std::string& name) {
  for (const Letter& l : table) {
    if (name == l.name) return &l;
  }
  return nullptr;
}

template <size_t N>
const Letter* letterByChar(const Letter (&table)[N], char c) {
  for (const Letter& l : table) {
    if (c == l.letter) return &l;
  }
  return nullptr;
}

template <size_t N>
std::string typeList(const Letter (&table)[N]) {
  std::string s;
  for (const Letter& l : table) s += (s.empty() ? "\"" : ", \"") + std::string(l.name) + "\"";
  return s;
}

// class_path and java.location: arrays of tables packed into letter-prefixed entries.
template <size_t N>
bool packLetterList(const SettingDef& def, const toml::node& value, const Letter (&types)[N], bool withRequired,
                    std::string& out, PackError& error) {
  const std::string name = qualifiedName(def);
  const toml::array* arr = value.as_array();
  if (!arr) return fail(error, value, name, std::string("expected an array of tables, found ") + typeName(value));
  out.clear();
  for (size_t i = 0; i < arr->size(); ++i) {
    const toml::node& item = *arr->get(i);
    const std::string setting = name + "[" + std::to_string(i) + "]";
    const toml::table* entry = asTable(item);
    if (!entry) return fail(error, item, setting, std::string("expected a table, found ") + typeName(item));
    if (withRequired) {
      if (!checkFields(*entry, setting, {"type", "path", "variable", "required"}, error)) return false;
    } else if (!checkFields(*entry, setting, {"type", "path", "variable"}, error)) {
      return false;
    }
    std::string type;
    bool present = false;
    if (!stringField(*entry, "type", setting, true, type, present, error)) return false;
    const Letter* letter = letterByName(types, type);
    if (!letter) {
      return fail(error, *entry->get("type"), setting + ".type",
                  "unknown type \"" + type + "\"; expected one of " + typeList(types));
    }
    std::string text;
    for (const char* field : {"path", "variable"}) {
      const toml::node* n = entry->get(field);
      if (n && !(letter->field && std::string(letter->field) == field)) {
        return fail(error, *n, setting + "." + field, "not used by type \"" + type + "\"");
      }
    }
    if (letter->field) {
      const std::string fieldName = setting + "." + letter->field;
      if (!stringField(*entry, letter->field, setting, true, text, present, error)) return false;
      const toml::node& n = *entry->get(letter->field);
      if (!noSeparator(n, fieldName, text, ';', error)) return false;
      if (text.empty()) return fail(error, n, fieldName, "must not be empty");
    }
    bool required = false;
    if (withRequired) {
      if (const toml::node* r = entry->get("required")) {
        if (!r->is_boolean()) {
          return fail(error, *r, setting + ".required", std::string("expected a boolean, found ") + typeName(*r));
        }
        required = r->as_boolean()->get();
      }
    }
    if (!out.empty()) out += ';';
    out += letter->letter;
    if (withRequired) out += required ? '1' : '0';
    out += text;
  }
  return checkLimit(def, value, out, error);
}

bool parseCanonicalInt(const std::string& text, int64_t& value) {
  if (text.empty() || text.size() > 11) return false;
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0') return false;
  if (std::to_string(v) != text) return false;  // no leading zeros, blanks or '+'
  value = v;
  return true;
}

std::unique_ptr<toml::node> stringNode(const std::string& settingsText) {
  return std::unique_ptr<toml::node>(new toml::value<std::string>(utf8FromSettingsText(settingsText)));
}

}  // namespace

const char* typeName(const toml::node& node) {
  switch (node.type()) {
    case toml::node_type::table: return "a table";
    case toml::node_type::array: return "an array";
    case toml::node_type::string: return "a string";
    case toml::node_type::integer: return "an integer";
    case toml::node_type::floating_point: return "a floating-point number";
    case toml::node_type::boolean: return "a boolean";
    case toml::node_type::date: return "a date";
    case toml::node_type::time: return "a time";
    case toml::node_type::date_time: return "a date-time";
    default: return "nothing";
  }
}

bool packText(const toml::node& value, const std::string& setting, std::string& out, PackError& error) {
  const auto* s = value.as_string();
  if (!s) return fail(error, value, setting, std::string("expected a string, found ") + typeName(value));
  uint32_t bad = 0;
  if (!settingsTextFromUtf8(s->get(), out, bad)) {
    if (bad == 0) return fail(error, value, setting, "contains U+0000, which would end the text");
    return fail(error, value, setting,
                "contains " + codePointText(bad) + "; settings text holds only characters U+0001 to U+00FF");
  }
  return true;
}

bool packMessage(const toml::node& value, const std::string& setting, std::u16string& out, PackError& error) {
  const auto* s = value.as_string();
  if (!s) return fail(error, value, setting, std::string("expected a string, found ") + typeName(value));
  out = payload::utf16FromUtf8(s->get());
  if (out.size() > static_cast<size_t>(kMessageLimit - 1)) {
    return fail(error, value, setting,
                "is " + std::to_string(out.size()) + " UTF-16 units long; the launcher shows at most " +
                    std::to_string(kMessageLimit - 1));
  }
  return true;
}

bool packOptionLine(const toml::node& value, const std::string& setting, std::string& out, PackError& error) {
  if (value.is_string()) return packText(value, setting, out, error);
  const toml::array* arr = value.as_array();
  if (!arr) {
    return fail(error, value, setting, std::string("expected a string or an array of strings, found ") + typeName(value));
  }
  out.clear();
  for (size_t i = 0; i < arr->size(); ++i) {
    std::string item;
    const std::string itemName = setting + "[" + std::to_string(i) + "]";
    if (!packText(*arr->get(i), itemName, item, error)) return false;
    bool plain = !item.empty() && item.find_first_of(" \"'") == std::string::npos;
    if (!out.empty()) out += ' ';
    if (plain) {
      out += item;
    } else if (item.find('"') == std::string::npos) {
      out += '"' + item + '"';
    } else if (item.find('\'') == std::string::npos) {
      out += '\'' + item + '\'';
    } else {
      return fail(error, *arr->get(i), itemName,
                  "holds both kinds of quote; the launcher's command-line splitting cannot keep it in one piece");
    }
  }
  return true;
}

bool packSetting(const SettingDef& def, const toml::node& value, std::string& out, PackError& error) {
  const std::string name = qualifiedName(def);
  switch (def.kind) {
    case Kind::Text:
      if (!packText(value, name, out, error)) return false;
      return checkLimit(def, value, out, error);
    case Kind::Flag:
      if (!value.is_boolean()) return fail(error, value, name, std::string("expected a boolean, found ") + typeName(value));
      out = value.as_boolean()->get() ? "1" : "0";
      return true;
    case Kind::Number: {
      if (!value.is_integer()) return fail(error, value, name, std::string("expected an integer, found ") + typeName(value));
      int64_t v = value.as_integer()->get();
      if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) {
        return fail(error, value, name, "is outside the signed 32-bit range");
      }
      out = std::to_string(v);
      return true;
    }
    case Kind::LauncherKind: {
      if (value.is_integer()) {
        int64_t v = value.as_integer()->get();
        if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) {
          return fail(error, value, name, "is outside the signed 32-bit range");
        }
        out = std::to_string(v);
        return true;
      }
      const auto* s = value.as_string();
      if (!s) return fail(error, value, name, std::string("expected a string or an integer, found ") + typeName(value));
      static const std::pair<const char*, const char*> kinds[] = {
          {"service", "0"}, {"windowed", "1"}, {"auto-start-service", "4"}, {"message-box", "5"}};
      for (const auto& [k, code] : kinds) {
        if (s->get() == k) {
          out = code;
          return true;
        }
      }
      return fail(error, value, name,
                  "unknown kind \"" + s->get() +
                      "\"; expected \"service\", \"auto-start-service\", \"windowed\", \"message-box\" or a number");
    }
    case Kind::Flavour: {
      const auto* s = value.as_string();
      if (!s) return fail(error, value, name, std::string("expected a string, found ") + typeName(value));
      if (s->get() == "wendle") {
        out = "e";
      } else if (s->get() == "strandix") {
        out = "i";
      } else {
        return fail(error, value, name, "unknown flavour \"" + s->get() + "\"; expected \"wendle\" or \"strandix\"");
      }
      return true;
    }
    case Kind::NameList: {
      const toml::array* arr = value.as_array();
      if (!arr) return fail(error, value, name, std::string("expected an array of strings, found ") + typeName(value));
      out.clear();
      for (size_t i = 0; i < arr->size(); ++i) {
        std::string item;
        const std::string itemName = name + "[" + std::to_string(i) + "]";
        if (!packText(*arr->get(i), itemName, item, error)) return false;
        if (item.empty()) return fail(error, *arr->get(i), itemName, "must not be empty");
        if (!noSeparator(*arr->get(i), itemName, item, ',', error)) return false;
        if (i > 0) out += ',';
        out += item;
      }
      return checkLimit(def, value, out, error);
    }
    case Kind::OptionLine:
      if (!packOptionLine(value, name, out, error)) return false;
      return checkLimit(def, value, out, error);
    case Kind::ClassPath:
      return packLetterList(def, value, kClassPathTypes, true, out, error);
    case Kind::JvmLocations:
      return packLetterList(def, value, kLocationTypes, false, out, error);
    case Kind::LibraryDirs: {
      const toml::array* arr = value.as_array();
      if (!arr) return fail(error, value, name, std::string("expected an array of tables, found ") + typeName(value));
      out.clear();
      for (size_t i = 0; i < arr->size(); ++i) {
        const std::string setting = name + "[" + std::to_string(i) + "]";
        const toml::table* entry = arr->get(i)->as_table();
        if (!entry) return fail(error, *arr->get(i), setting, std::string("expected a table, found ") + typeName(*arr->get(i)));
        if (!checkFields(*entry, setting, {"path"}, error)) return false;
        std::string path;
        bool present = false;
        if (!stringField(*entry, "path", setting, true, path, present, error)) return false;
        if (path.empty()) return fail(error, *entry->get("path"), setting + ".path", "must not be empty");
        if (!noSeparator(*entry->get("path"), setting + ".path", path, ';', error)) return false;
        if (i > 0) out += ';';
        out += path;
      }
      return checkLimit(def, value, out, error);
    }
  }
  return fail(error, value, name, "unsupported setting");
}

std::optional<std::unique_ptr<toml::node>> unpackSetting(const SettingDef& def, const std::string& text) {
  std::unique_ptr<toml::node> node;
  switch (def.kind) {
    case Kind::Text:
    case Kind::OptionLine:
      node = stringNode(text);
      break;
    case Kind::Flag:
      if (text != "0" && text != "1") return std::nullopt;
      node.reset(new toml::value<bool>(text == "1"));
      break;
    case Kind::Number: {
      int64_t v = 0;
      if (!parseCanonicalInt(text, v)) return std::nullopt;
      node.reset(new toml::value<int64_t>(v));
      break;
    }
    case Kind::LauncherKind: {
      static const std::pair<const char*, const char*> kinds[] = {
          {"0", "service"}, {"1", "windowed"}, {"4", "auto-start-service"}, {"5", "message-box"}};
      for (const auto& [code, k] : kinds) {
        if (text == code) node.reset(new toml::value<std::string>(k));
      }
      int64_t v = 0;
      if (!node && parseCanonicalInt(text, v)) node.reset(new toml::value<int64_t>(v));
      if (!node) return std::nullopt;
      break;
    }
    case Kind::Flavour:
      if (text == "e") {
        node.reset(new toml::value<std::string>("wendle"));
      } else if (text == "i") {
        node.reset(new toml::value<std::string>("strandix"));
      } else {
        return std::nullopt;
      }
      break;
    case Kind::NameList: {
      auto* arr = new toml::array();
      node.reset(arr);
      size_t start = 0;
      while (!text.empty()) {
        size_t comma = text.find(',', start);
        arr->push_back(utf8FromSettingsText(text.substr(start, comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
      }
      break;
    }
    case Kind::ClassPath:
    case Kind::JvmLocations:
    case Kind::LibraryDirs: {
      auto* arr = new toml::array();
      node.reset(arr);
      size_t start = 0;
      while (!text.empty()) {
        size_t semi = text.find(';', start);
        std::string entry = text.substr(start, semi - start);
        toml::table t;
        if (def.kind == Kind::LibraryDirs) {
          t.insert("path", utf8FromSettingsText(entry));
        } else {
          bool cp = def.kind == Kind::ClassPath;
          const Letter* l = entry.empty() ? nullptr
                            : cp          ? letterByChar(kClassPathTypes, entry[0])
                                          : letterByChar(kLocationTypes, entry[0]);
          if (!l || (cp && (entry.size() < 2 || (entry[1] != '0' && entry[1] != '1')))) return std::nullopt;
          std::string rest = entry.substr(cp ? 2 : 1);
          t.insert("type", l->name);
          if (l->field) t.insert(l->field, utf8FromSettingsText(rest));
          if (cp) t.insert("required", entry[1] == '1');
        }
        arr->push_back(std::move(t));
        if (semi == std::string::npos) break;
        start = semi + 1;
      }
      break;
    }
  }
  // Only a value that packs back to the very same bytes is readable.
  std::string again;
  PackError ignored;
  if (!packSetting(def, *node, again, ignored) || again != text) return std::nullopt;
  return node;
}

}  // namespace wendle::gen
