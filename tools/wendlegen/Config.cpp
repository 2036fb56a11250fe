#include "Config.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <system_error>

#include "Packing.h"
#include "Schema.h"
#include "Text.h"
#include "payload/ConfigKeys.h"

namespace wendle::gen {
namespace fs = std::filesystem;
namespace {

// Where each key came from, to report two settings that write the same key.
using Origins = std::map<int32_t, std::string>;

class Parser {
 public:
  Parser(std::string fileName, std::string baseDir, payload::Payload& out, Diagnostic& error)
      : fileName_(std::move(fileName)), baseDir_(std::move(baseDir)), out_(out), error_(error) {}

  bool run(const toml::table& root);

 private:
  bool fail(const toml::source_region& where, const std::string& setting, const std::string& text) {
    error_.file = fileName_;
    error_.line = static_cast<int>(where.begin.line);
    error_.column = static_cast<int>(where.begin.column);
    error_.setting = setting;
    error_.text = text;
    return false;
  }
  bool fail(const PackError& e) { return fail(e.where, e.setting, e.text); }
  bool unknown(const toml::key& key, const std::string& setting) { return fail(key.source(), setting, "unknown setting"); }

  bool addSetting(int32_t key, std::string value, const toml::source_region& where, const std::string& setting);
  bool addMessage(int32_t key, std::u16string value, const toml::source_region& where, const std::string& setting);
  bool section(const std::string& name, const toml::node& node);
  bool setting(const SettingDef& def, const toml::node& value);
  bool service(const toml::table& table);
  bool versionOptions(const toml::node& node);
  bool files(const toml::table& table);
  bool messages(const toml::table& table);
  bool locales(const toml::node& node);
  bool raw(const toml::table& table);
  bool rawEntries(const toml::table& table, const std::string& setting,
                  std::vector<std::pair<int32_t, std::u16string>>* messages, bool settings);
  bool keyNumber(const toml::key& key, const std::string& setting, int32_t& number);
  bool sourceFile(const toml::node& node, const std::string& setting, std::string& path);

  std::string fileName_;
  std::string baseDir_;
  payload::Payload& out_;
  Diagnostic& error_;
  std::map<int32_t, std::string> settings_;
  Origins settingOrigins_;
  std::map<int32_t, std::u16string> messages_;
  Origins messageOrigins_;
};

bool Parser::addSetting(int32_t key, std::string value, const toml::source_region& where, const std::string& setting) {
  auto [it, inserted] = settingOrigins_.emplace(key, setting);
  if (!inserted) {
    return fail(where, setting, "writes settings key " + std::to_string(key) + ", which " + it->second + " writes already");
  }
  settings_[key] = std::move(value);
  return true;
}

bool Parser::addMessage(int32_t key, std::u16string value, const toml::source_region& where,
                        const std::string& setting) {
  auto [it, inserted] = messageOrigins_.emplace(key, setting);
  if (!inserted) {
    return fail(where, setting, "writes message " + std::to_string(key) + ", which " + it->second + " writes already");
  }
  messages_[key] = std::move(value);
  return true;
}

bool Parser::setting(const SettingDef& def, const toml::node& value) {
  std::string packed;
  PackError e;
  if (!packSetting(def, value, packed, e)) return fail(e);
  return addSetting(def.key, std::move(packed), value.source(), qualifiedName(def));
}

bool Parser::service(const toml::table& table) {
  for (auto&& [key, value] : table) {
    std::string name(key.str());
    if (name == "description") {
      std::u16string text;
      PackError e;
      if (!packMessage(value, "service.description", text, e)) return fail(e);
      if (!addMessage(keys::kMsgServiceDescription, std::move(text), value.source(), "service.description")) return false;
      continue;
    }
    const SettingDef* def = findSetting("service", name);
    if (!def) return unknown(key, "service." + name);
    if (!setting(*def, value)) return false;
  }
  return true;
}

bool Parser::versionOptions(const toml::node& node) {
  const std::string name = "vm.version_options";
  const toml::array* arr = node.as_array();
  if (!arr) return fail(node.source(), name, std::string("expected an array of tables, found ") + typeName(node));
  const auto count = static_cast<int32_t>(arr->size());
  if (!addSetting(keys::kVersionOptionCount, std::to_string(count), node.source(), name)) return false;
  for (int32_t i = 0; i < count; ++i) {
    const std::string setting = name + "[" + std::to_string(i) + "]";
    const toml::node& item = *arr->get(static_cast<size_t>(i));
    const toml::table* entry = item.as_table();
    if (!entry) return fail(item.source(), setting, std::string("expected a table, found ") + typeName(item));
    std::string prefix, line;
    PackError e;
    for (auto&& [key, value] : *entry) {
      if (key.str() == "version") {
        if (!packText(value, setting + ".version", prefix, e)) return fail(e);
      } else if (key.str() == "options") {
        if (!packOptionLine(value, setting + ".options", line, e)) return fail(e);
        if (line.size() > static_cast<size_t>(kVersionLineLimit - 1)) {
          return fail(value.source(), setting + ".options",
                      "the packed value is " + std::to_string(line.size()) +
                          " characters; the launcher reads at most " + std::to_string(kVersionLineLimit - 1));
        }
      } else {
        return unknown(key, setting + "." + std::string(key.str()));
      }
    }
    if (!entry->get("options")) return fail(item.source(), setting, "missing \"options\"");
    if (!addSetting(keys::versionPrefixKey(i), prefix, item.source(), setting + ".version")) return false;
    if (!addSetting(keys::versionOptionKey(i), line, item.source(), setting + ".options")) return false;
  }
  return true;
}

bool Parser::sourceFile(const toml::node& node, const std::string& setting, std::string& path) {
  const auto* s = node.as_string();
  if (!s) return fail(node.source(), setting, std::string("expected a string, found ") + typeName(node));
  if (s->get().empty()) return fail(node.source(), setting, "must not be empty");
  fs::path p(s->get());
  if (p.is_relative()) p = fs::path(baseDir_) / p;
  std::error_code ec;
  fs::file_status st = fs::status(p, ec);
  if (ec || !fs::exists(st)) return fail(node.source(), setting, "file not found: " + p.string());
  if (!fs::is_regular_file(st)) return fail(node.source(), setting, "not a regular file: " + p.string());
  std::FILE* f = std::fopen(p.string().c_str(), "rb");
  if (!f) return fail(node.source(), setting, "cannot read " + p.string() + ": " + std::strerror(errno));
  std::fclose(f);
  path = p.string();
  return true;
}

bool Parser::files(const toml::table& table) {
  for (auto&& [key, value] : table) {
    std::string name(key.str());
    if (name == "remainder") {
      if (!sourceFile(value, "files.remainder", out_.remainderPath)) return false;
    } else if (name == "embed") {
      const toml::array* arr = value.as_array();
      if (!arr) return fail(value.source(), "files.embed", std::string("expected an array of tables, found ") + typeName(value));
      std::map<std::string, std::string> seen;  // lower-case name: the file system ignores case
      for (size_t i = 0; i < arr->size(); ++i) {
        const std::string setting = "files.embed[" + std::to_string(i) + "]";
        const toml::node& item = *arr->get(i);
        const toml::table* entry = item.as_table();
        if (!entry) return fail(item.source(), setting, std::string("expected a table, found ") + typeName(item));
        for (auto&& [k, v] : *entry) {
          (void)v;
          if (k.str() != "source" && k.str() != "name") return unknown(k, setting + "." + std::string(k.str()));
        }
        const toml::node* src = entry->get("source");
        if (!src) return fail(item.source(), setting, "missing \"source\"");
        payload::EmbeddedFile file;
        if (!sourceFile(*src, setting + ".source", file.sourcePath)) return false;
        std::string embeddedName;
        const toml::node* nameNode = entry->get("name");
        if (nameNode) {
          PackError e;
          if (!packText(*nameNode, setting + ".name", embeddedName, e)) return fail(e);
        } else {
          uint32_t bad = 0;
          if (!settingsTextFromUtf8(fs::path(src->as_string()->get()).filename().string(), embeddedName, bad)) {
            return fail(src->source(), setting + ".source", "the file name cannot be stored; give \"name\"");
          }
        }
        std::string problem = embeddedNameProblem(embeddedName);
        const toml::node& where = nameNode ? *nameNode : *src;
        if (!problem.empty()) {
          return fail(where.source(), setting + ".name", "the launcher refuses the name \"" + embeddedName + "\": " + problem);
        }
        std::replace(embeddedName.begin(), embeddedName.end(), '/', '\\');
        std::string lower = embeddedName;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
        auto [it, inserted] = seen.emplace(lower, setting);
        if (!inserted) {
          return fail(where.source(), setting + ".name", "the name \"" + embeddedName + "\" is taken by " + it->second);
        }
        file.name = embeddedName;
        out_.files.push_back(std::move(file));
      }
    } else {
      return unknown(key, "files." + name);
    }
  }
  return true;
}

bool Parser::messages(const toml::table& table) {
  for (auto&& [key, value] : table) {
    std::string name(key.str());
    const MessageDef* def = findMessage(name);
    if (!def || def->key == keys::kMsgServiceDescription) {
      return fail(key.source(), "messages." + name,
                  def ? "unknown setting (the service description is service.description)" : "unknown setting");
    }
    std::u16string text;
    PackError e;
    if (!packMessage(value, "messages." + name, text, e)) return fail(e);
    if (!addMessage(def->key, std::move(text), value.source(), "messages." + name)) return false;
  }
  return true;
}

bool Parser::keyNumber(const toml::key& key, const std::string& setting, int32_t& number) {
  std::string s(key.str());
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(s.c_str(), &end, 10);
  if (s.empty() || *end != '\0' || errno != 0 || v < std::numeric_limits<int32_t>::min() ||
      v > std::numeric_limits<int32_t>::max()) {
    return fail(key.source(), setting, "a raw key must be a signed 32-bit decimal number");
  }
  number = static_cast<int32_t>(v);
  return true;
}

bool Parser::rawEntries(const toml::table& table, const std::string& prefix,
                        std::vector<std::pair<int32_t, std::u16string>>* sectionEntries, bool settings) {
  for (auto&& [key, value] : table) {
    const std::string setting = prefix + "." + std::string(key.str());
    int32_t number = 0;
    if (!keyNumber(key, setting, number)) return false;
    PackError e;
    if (settings) {
      if (isGeneratedKey(number)) {
        return fail(key.source(), setting, "settings keys 2002 and 2003 are written from files.embed");
      }
      std::string text;
      if (!packText(value, setting, text, e)) return fail(e);
      if (!addSetting(number, text, value.source(), setting)) return false;
    } else {
      std::u16string text;
      if (!packMessage(value, setting, text, e)) return fail(e);
      if (sectionEntries) {
        for (const auto& [k, v] : *sectionEntries) {
          (void)v;
          if (k == number) return fail(key.source(), setting, "this section sets message " + std::to_string(number) + " already");
        }
        sectionEntries->emplace_back(number, std::move(text));
      } else {
        if (!addMessage(number, std::move(text), key.source(), setting)) return false;
      }
    }
  }
  return true;
}

bool Parser::raw(const toml::table& table) {
  for (auto&& [key, value] : table) {
    std::string name(key.str());
    if (name != "settings" && name != "messages") return unknown(key, "raw." + name);
    const toml::table* t = value.as_table();
    if (!t) return fail(value.source(), "raw." + name, std::string("expected a table, found ") + typeName(value));
    if (!rawEntries(*t, "raw." + name, nullptr, name == "settings")) return false;
  }
  return true;
}

bool Parser::locales(const toml::node& node) {
  const toml::array* arr = node.as_array();
  if (!arr) return fail(node.source(), "locale", std::string("expected an array of tables, found ") + typeName(node));
  for (size_t i = 0; i < arr->size(); ++i) {
    const std::string setting = "locale[" + std::to_string(i) + "]";
    const toml::node& item = *arr->get(i);
    const toml::table* entry = item.as_table();
    if (!entry) return fail(item.source(), setting, std::string("expected a table, found ") + typeName(item));
    const toml::node* prefixNode = entry->get("prefix");
    if (!prefixNode) return fail(item.source(), setting, "missing \"prefix\"");
    payload::LocaleSection section;
    PackError e;
    if (!packText(*prefixNode, setting + ".prefix", section.prefix, e)) return fail(e);
    std::map<int32_t, std::u16string> named;
    for (auto&& [key, value] : *entry) {
      std::string name(key.str());
      if (name == "prefix" || name == "raw") continue;
      const MessageDef* def = findMessage(name);
      if (!def) return unknown(key, setting + "." + name);
      std::u16string text;
      if (!packMessage(value, setting + "." + name, text, e)) return fail(e);
      named[def->key] = std::move(text);
    }
    for (auto& [k, v] : named) section.entries.emplace_back(k, std::move(v));
    if (const toml::node* rawNode = entry->get("raw")) {
      const toml::table* t = rawNode->as_table();
      if (!t) return fail(rawNode->source(), setting + ".raw", std::string("expected a table, found ") + typeName(*rawNode));
      if (!rawEntries(*t, setting + ".raw", &section.entries, false)) return false;
    }
    out_.sections.push_back(std::move(section));
  }
  return true;
}

bool Parser::section(const std::string& name, const toml::node& node) {
  const toml::table* table = node.as_table();
  if (!table) return fail(node.source(), name, std::string("expected a table, found ") + typeName(node));
  if (name == "service") return service(*table);
  if (name == "files") return files(*table);
  if (name == "messages") return messages(*table);
  if (name == "raw") return raw(*table);
  for (auto&& [key, value] : *table) {
    std::string setting(key.str());
    if (name == "vm" && setting == "version_options") {
      if (!versionOptions(value)) return false;
      continue;
    }
    const SettingDef* def = findSetting(name, setting);
    if (!def) return unknown(key, name + "." + setting);
    if (!this->setting(*def, value)) return false;
  }
  return true;
}

bool Parser::run(const toml::table& root) {
  static const char* const kSections[] = {"launcher", "application", "output", "service", "java", "vm",
                                          "single_instance", "splash", "files", "messages", "raw"};
  for (auto&& [key, value] : root) {
    std::string name(key.str());
    if (name == "class_path") {
      if (!setting(*findSetting("", "class_path"), value)) return false;
      continue;
    }
    if (name == "locale") {
      if (!locales(value)) return false;
      continue;
    }
    if (std::find_if(std::begin(kSections), std::end(kSections), [&](const char* s) { return name == s; }) ==
        std::end(kSections)) {
      return unknown(key, name);
    }
    if (!section(name, value)) return false;
  }
  // Every message the launcher shows gets a text, the given one or the default.
  for (const MessageDef& m : messageCatalogue()) {
    if (!messages_.count(m.key)) messages_[m.key] = payload::utf16FromUtf8(m.defaultText);
  }
  // Key order, whatever the order in the file: equal configurations give equal bytes.
  out_.settings.assign(settings_.begin(), settings_.end());
  out_.messages.assign(messages_.begin(), messages_.end());
  if (!out_.files.empty()) {
    out_.addFileSettings(keys::kEmbeddedFileCount, keys::kEmbeddedFileNames);
    std::sort(out_.settings.begin(), out_.settings.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
  }
  return true;
}

bool readWholeFile(const std::string& path, std::string& out, std::string& error) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    error = std::strerror(errno);
    return false;
  }
  char buf[65536];
  size_t n = 0;
  out.clear();
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  if (!ok) error = "read error";
  return ok;
}

}  // namespace

std::string Diagnostic::format() const {
  std::string s = file;
  if (line > 0) s += ":" + std::to_string(line) + ":" + std::to_string(column);
  s += ": error: ";
  if (!setting.empty()) s += setting + ": ";
  return s + text;
}

std::string embeddedNameProblem(const std::string& input) {
  std::string name = input;
  std::replace(name.begin(), name.end(), '/', '\\');
  if (name.empty()) return "the name is empty";
  if (name[0] == '\\') return "an absolute path";
  if (name.size() >= 2 && name[1] == ':') return "a drive letter";
  if (name.find(';') != std::string::npos) return "';' separates the names of embedded files";
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t sep = name.find('\\', start);
    parts.push_back(name.substr(start, sep - start));
    if (sep == std::string::npos) break;
    start = sep + 1;
  }
  for (const std::string& part : parts) {
    if (part == "..") return "a \"..\" component";
    if (part == ".") return "a \".\" component";
    if (part.empty()) return "an empty component";
  }
  if (parts.size() > 2) return "more than one directory level";
  for (char c : name) {
    auto u = static_cast<unsigned char>(c);
    if (u < 32 || std::strchr("<>:\"|?*", c)) return std::string("the character '") + c + "' is not allowed in file names";
  }
  for (const std::string& part : parts) {
    if (part.back() == '.' || part.back() == ' ') return "a component ending in '.' or a blank";
  }
  return "";
}

bool parseConfiguration(const std::string& text, const std::string& fileName, const std::string& baseDir,
                        payload::Payload& out, Diagnostic& error) {
  out = payload::Payload();
  error = Diagnostic();
  toml::parse_result result = toml::parse(text, fileName);
  if (!result) {
    const toml::parse_error& e = result.error();
    error.file = fileName;
    error.line = static_cast<int>(e.source().begin.line);
    error.column = static_cast<int>(e.source().begin.column);
    error.text = std::string(e.description());
    return false;
  }
  Parser parser(fileName, baseDir, out, error);
  return parser.run(result.table());
}

bool loadConfiguration(const std::string& path, payload::Payload& out, Diagnostic& error) {
  std::string text, why;
  if (!readWholeFile(path, text, why)) {
    error = Diagnostic();
    error.file = path;
    error.text = "cannot read the configuration: " + why;
    return false;
  }
  fs::path base = fs::path(path).parent_path();
  return parseConfiguration(text, path, base.empty() ? std::string(".") : base.string(), out, error);
}

bool buildExecutable(const std::string& configPath, const std::string& stubPath, const std::string& outPath,
                     Diagnostic& error) {
  payload::Payload payload;
  if (!loadConfiguration(configPath, payload, error)) return false;
  std::error_code ec;
  if (fs::exists(outPath, ec) && fs::equivalent(stubPath, outPath, ec)) {
    error = Diagnostic();
    error.file = outPath;
    error.text = "the output would replace the launcher stub";
    return false;
  }
  // The launcher seeks with signed 32-bit positions: the files it extracts must end below 2 GiB.
  std::string head;
  {
    std::FILE* f = std::fopen(stubPath.c_str(), "rb");
    if (!f) {
      error = Diagnostic();
      error.file = stubPath;
      error.text = std::string("cannot read the launcher stub: ") + std::strerror(errno);
      return false;
    }
    head.resize(1 << 16);
    head.resize(std::fread(&head[0], 1, head.size(), f));
    std::fclose(f);
  }
  uint64_t offset = 0;
  if (!payload::payloadOffset(head, offset)) {
    error = Diagnostic();
    error.file = stubPath;
    error.text = "the launcher stub is not a PE executable";
    return false;
  }
  uint64_t end = offset + payload::encodeConfigBlock(payload).size();
  for (const payload::EmbeddedFile& f : payload.files) end += 8 + fs::file_size(f.sourcePath, ec);
  if (end > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
    error = Diagnostic();
    error.file = configPath;
    error.setting = "files.embed";
    error.text = "the embedded files end at byte " + std::to_string(end) +
                 "; the launcher reads its payload only below 2 GiB";
    return false;
  }
  std::string why;
  if (!payload::buildLauncher(stubPath, payload, outPath, why)) {
    error = Diagnostic();
    error.file = outPath;
    error.text = why;
    return false;
  }
  return true;
}

}  // namespace wendle::gen
