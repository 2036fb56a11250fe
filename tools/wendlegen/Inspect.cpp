#include "Inspect.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>

#include "FileByteSource.h"
#include "Packing.h"
#include "Schema.h"
#include "Text.h"
#include "payload/ConfigKeys.h"
#include "payload/PayloadFormat.h"
#include "payload/PayloadReader.h"

namespace wendle::gen {
namespace fs = std::filesystem;
namespace {

constexpr int32_t kMaxVersionLines = 100000;

std::u16string toU16(const std::wstring& w) {
  std::u16string s;
  s.reserve(w.size());
  for (wchar_t c : w) s.push_back(static_cast<char16_t>(c));
  return s;
}

std::string readerError(PayloadReader& reader, const char* what) {
  std::string text = what;
  if (const wchar_t* f = reader.failure()) {
    text += " (";
    for (const wchar_t* p = f; *p; ++p) text += static_cast<char>(*p);
    text += ")";
  }
  return text;
}

// strtol-like reading of a count, as the launcher reads settings numbers.
int64_t launcherNumber(const std::string& text) {
  long long v = std::strtoll(text.c_str(), nullptr, 10);
  if (v > INT32_MAX) v = INT32_MAX;
  if (v < INT32_MIN) v = INT32_MIN;
  return v;
}

std::vector<std::string> splitNames(const std::string& list) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= list.size()) {
    size_t semi = list.find(';', start);
    if (semi == std::string::npos) semi = list.size();
    if (semi > start) names.push_back(list.substr(start, semi - start));
    start = semi + 1;
  }
  return names;
}

std::map<int32_t, std::string> lastSettings(const InspectedPayload& p) {
  std::map<int32_t, std::string> m;
  for (const auto& [k, v] : p.settings) m[k] = v;
  return m;
}

std::string quoted(const std::string& utf8) {
  std::string s = "\"";
  for (char c : utf8) {
    auto u = static_cast<unsigned char>(c);
    if (c == '"') {
      s += "\\\"";
    } else if (u < 32 || u == 127) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", u);
      s += buf;
    } else {
      s += c;
    }
  }
  return s + "\"";
}

std::string settingName(int32_t key) {
  if (const SettingDef* s = findSettingByKey(key)) return qualifiedName(*s);
  if (key == keys::kEmbeddedFileCount) return "files.embed (count)";
  if (key == keys::kEmbeddedFileNames) return "files.embed (names)";
  if (key == keys::kVersionOptionCount) return "vm.version_options (count)";
  if (key >= keys::kVersionOptionBase && key < keys::kVersionOptionBase + 2 * kMaxVersionLines) {
    int32_t i = (key - keys::kVersionOptionBase) / 2;
    return "vm.version_options[" + std::to_string(i) + "]" + ((key - keys::kVersionOptionBase) % 2 ? ".options" : ".version");
  }
  return "raw.settings";
}

std::string messageName(int32_t key) {
  if (key == keys::kMsgServiceDescription) return "service.description";
  if (const MessageDef* m = findMessageByKey(key)) return std::string("messages.") + m->name;
  return "raw.messages";
}

toml::table& sectionTable(toml::table& root, const std::string& name) {
  if (!root.contains(name)) root.insert(name, toml::table());
  return *root.get(name)->as_table();
}

std::string sourceName(const std::string& stored) {
  std::string s = stored;
  for (char& c : s) {
    if (c == '\\') c = '/';
  }
  return s;
}

toml::table configurationTable(const InspectedPayload& p) {
  toml::table root;
  std::map<int32_t, std::string> settings = lastSettings(p);
  settings.erase(keys::kEmbeddedFileCount);
  settings.erase(keys::kEmbeddedFileNames);

  // Version-specific option lines, when complete and in the generator's form.
  auto count = settings.find(keys::kVersionOptionCount);
  if (count != settings.end()) {
    int64_t n = launcherNumber(count->second);
    bool complete = std::to_string(n) == count->second && n >= 0 && n <= kMaxVersionLines;
    for (int32_t i = 0; complete && i < n; ++i) {
      complete = settings.count(keys::versionPrefixKey(i)) && settings.count(keys::versionOptionKey(i));
    }
    if (complete) {
      toml::array lines;
      for (int32_t i = 0; i < n; ++i) {
        toml::table line;
        line.insert("version", utf8FromSettingsText(settings[keys::versionPrefixKey(i)]));
        line.insert("options", utf8FromSettingsText(settings[keys::versionOptionKey(i)]));
        lines.push_back(std::move(line));
        settings.erase(keys::versionPrefixKey(i));
        settings.erase(keys::versionOptionKey(i));
      }
      settings.erase(keys::kVersionOptionCount);
      sectionTable(root, "vm").insert("version_options", std::move(lines));
    }
  }

  toml::table rawSettings;
  for (const auto& [key, text] : settings) {
    const SettingDef* def = findSettingByKey(key);
    std::optional<std::unique_ptr<toml::node>> value;
    if (def) value = unpackSetting(*def, text);
    if (!value) {
      rawSettings.insert(std::to_string(key), utf8FromSettingsText(text));
      continue;
    }
    toml::table& target = std::string(def->section).empty() ? root : sectionTable(root, def->section);
    target.insert(def->name, std::move(**value));
  }

  std::map<int32_t, std::u16string> messages;
  for (const auto& [k, v] : p.messages) messages[k] = v;
  toml::table rawMessages;
  for (const auto& [key, text] : messages) {
    const MessageDef* def = findMessageByKey(key);
    if (key == keys::kMsgServiceDescription) {
      sectionTable(root, "service").insert("description", utf8FromUtf16(text));
    } else if (def) {
      sectionTable(root, "messages").insert(def->name, utf8FromUtf16(text));
    } else {
      rawMessages.insert(std::to_string(key), utf8FromUtf16(text));
    }
  }

  if (!p.sections.empty()) {
    toml::array locales;
    for (const payload::LocaleSection& s : p.sections) {
      toml::table t;
      t.insert("prefix", utf8FromSettingsText(s.prefix));
      toml::table raw;
      for (const auto& [key, text] : s.entries) {
        const MessageDef* def = findMessageByKey(key);
        if (def) {
          t.insert_or_assign(def->name, utf8FromUtf16(text));
        } else {
          raw.insert_or_assign(std::to_string(key), utf8FromUtf16(text));
        }
      }
      if (!raw.empty()) t.insert("raw", std::move(raw));
      locales.push_back(std::move(t));
    }
    root.insert("locale", std::move(locales));
  }

  if (!p.files.empty()) {
    toml::array embed;
    for (const InspectedFile& f : p.files) {
      toml::table t;
      t.insert("name", utf8FromSettingsText(sourceName(f.name)));
      t.insert("source", utf8FromSettingsText("files/" + sourceName(f.name)));
      embed.push_back(std::move(t));
    }
    sectionTable(root, "files").insert("embed", std::move(embed));
  }
  if (p.remainderSize > 0) sectionTable(root, "files").insert("remainder", "remainder.bin");

  if (!rawSettings.empty() || !rawMessages.empty()) {
    toml::table& raw = sectionTable(root, "raw");
    if (!rawSettings.empty()) raw.insert("settings", std::move(rawSettings));
    if (!rawMessages.empty()) raw.insert("messages", std::move(rawMessages));
  }
  return root;
}

bool copyRange(std::FILE* in, uint64_t offset, uint64_t size, bool unmask, const fs::path& target, std::string& error) {
  std::error_code ec;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  std::FILE* out = std::fopen(target.string().c_str(), "wb");
  if (!out) {
    error = "cannot create " + target.string() + ": " + std::strerror(errno);
    return false;
  }
  bool ok = std::fseek(in, static_cast<long>(offset), SEEK_SET) == 0;
  std::vector<char> buf(1 << 20);
  while (ok && size > 0) {
    size_t want = size < buf.size() ? static_cast<size_t>(size) : buf.size();
    size_t got = std::fread(buf.data(), 1, want, in);
    if (got == 0) {
      ok = false;
      break;
    }
    if (unmask) {
      for (size_t i = 0; i < got; ++i) buf[i] = static_cast<char>(static_cast<uint8_t>(buf[i]) ^ payload::kContentMask);
    }
    ok = std::fwrite(buf.data(), 1, got, out) == got;
    size -= got;
  }
  if (std::fclose(out) != 0) ok = false;
  if (!ok) error = "cannot copy to " + target.string();
  return ok;
}

}  // namespace

bool readPayload(ByteSource& source, uint64_t fileSize, InspectedPayload& out, std::string& error) {
  out = InspectedPayload();
  out.fileSize = fileSize;
  PayloadReader reader(source);
  if (!reader.seekToPayload()) {
    error = readerError(reader, "the PE headers cannot be read");
    return false;
  }
  out.payloadOffset = source.position();
  if (out.payloadOffset >= fileSize) {
    error = "no payload: the file ends where the payload would begin (offset " + std::to_string(out.payloadOffset) + ")";
    return false;
  }
  int32_t magic = 0, reserved = 0;
  int64_t reservedLong = 0;
  if (!reader.readInt(magic)) {
    error = readerError(reader, "cannot read the magic");
    return false;
  }
  if (static_cast<uint32_t>(magic) != payload::kMagic) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "wrong magic 0x%08X (expected 0x%08X)", static_cast<unsigned>(magic),
                  static_cast<unsigned>(payload::kMagic));
    error = buf;
    return false;
  }
  if (!reader.readInt(reserved) || !reader.readInt(reserved) || !reader.readLong(reservedLong)) {
    error = readerError(reader, "the header is cut short");
    return false;
  }
  int32_t count = 0;
  if (!reader.readInt(count)) {
    error = readerError(reader, "cannot read the settings count");
    return false;
  }
  for (int32_t i = 0; i < count; ++i) {
    int32_t key = 0;
    std::string value;
    if (!reader.readInt(key) || !reader.readString(value)) {
      error = readerError(reader, ("settings entry " + std::to_string(i) + " is cut short").c_str());
      return false;
    }
    out.settings.emplace_back(key, std::move(value));
  }
  if (!reader.readInt(count)) {
    error = readerError(reader, "cannot read the messages count");
    return false;
  }
  for (int32_t i = 0; i < count; ++i) {
    int32_t key = 0;
    std::wstring value;
    if (!reader.readInt(key) || !reader.readWString(value)) {
      error = readerError(reader, ("message entry " + std::to_string(i) + " is cut short").c_str());
      return false;
    }
    out.messages.emplace_back(key, toU16(value));
  }
  if (!reader.readInt(count)) {
    error = readerError(reader, "cannot read the locale section count");
    return false;
  }
  for (int32_t i = 0; i < count; ++i) {
    payload::LocaleSection section;
    int32_t entries = 0;
    if (!reader.readString(section.prefix) || !reader.readInt(entries)) {
      error = readerError(reader, ("locale section " + std::to_string(i) + " is cut short").c_str());
      return false;
    }
    for (int32_t j = 0; j < entries; ++j) {
      int32_t key = 0;
      std::wstring value;
      if (!reader.readInt(key) || !reader.readWString(value)) {
        error = readerError(reader, ("locale section " + std::to_string(i) + " is cut short").c_str());
        return false;
      }
      section.entries.emplace_back(key, toU16(value));
    }
    out.sections.push_back(std::move(section));
  }
  out.configEnd = source.position();

  std::map<int32_t, std::string> settings = lastSettings(out);
  int64_t fileCount = launcherNumber(settings[keys::kEmbeddedFileCount]);
  uint64_t pos = out.configEnd;
  for (const std::string& name : splitNames(settings[keys::kEmbeddedFileNames])) {
    if (static_cast<int64_t>(out.files.size()) >= fileCount) break;
    int64_t size = 0;
    source.seek(static_cast<int32_t>(pos));
    if (!reader.readLong(size)) {
      error = readerError(reader, ("the record of embedded file \"" + name + "\" is cut short").c_str());
      return false;
    }
    pos += 8;
    InspectedFile f{name, size, pos};
    if (size > 0) {
      if (static_cast<uint64_t>(size) > fileSize - pos) {
        error = "embedded file \"" + name + "\" (" + std::to_string(size) + " bytes) runs past the end of the file";
        return false;
      }
      pos += static_cast<uint64_t>(size);
    }
    out.files.push_back(std::move(f));
  }
  out.remainderOffset = pos;
  out.remainderSize = fileSize - pos;
  return true;
}

bool inspectExecutable(const std::string& path, InspectedPayload& out, std::string& error) {
  FileByteSource source;
  if (!source.open(path, error)) return false;
  if (!readPayload(source, source.size(), out, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

std::string formatListing(const InspectedPayload& p) {
  std::ostringstream o;
  char line[512];
  o << "payload at offset " << p.payloadOffset << " of " << p.fileSize << " bytes, configuration block "
    << (p.configEnd - p.payloadOffset) << " bytes\n";
  o << "settings: " << p.settings.size() << "\n";
  for (const auto& [key, value] : p.settings) {
    std::snprintf(line, sizeof line, "  %6d  %-34s ", static_cast<int>(key), settingName(key).c_str());
    o << line << quoted(utf8FromSettingsText(value)) << "\n";
  }
  o << "messages: " << p.messages.size() << "\n";
  for (const auto& [key, value] : p.messages) {
    std::snprintf(line, sizeof line, "  %6d  %-34s ", static_cast<int>(key), messageName(key).c_str());
    o << line << quoted(utf8FromUtf16(value)) << "\n";
  }
  o << "locale sections: " << p.sections.size() << "\n";
  for (const payload::LocaleSection& s : p.sections) {
    o << "  prefix " << quoted(utf8FromSettingsText(s.prefix)) << ", " << s.entries.size() << " entries\n";
    for (const auto& [key, value] : s.entries) {
      std::snprintf(line, sizeof line, "    %6d  %-32s ", static_cast<int>(key), messageName(key).c_str());
      o << line << quoted(utf8FromUtf16(value)) << "\n";
    }
  }
  o << "embedded files: " << p.files.size() << "\n";
  for (const InspectedFile& f : p.files) {
    std::snprintf(line, sizeof line, "  %-42s %lld bytes\n", utf8FromSettingsText(f.name).c_str(),
                  static_cast<long long>(f.size));
    o << line;
  }
  o << "remainder: " << p.remainderSize << " bytes\n";
  return o.str();
}

std::string formatJson(const InspectedPayload& p) {
  toml::table root;
  toml::table payloadTable;
  payloadTable.insert("file_size", static_cast<int64_t>(p.fileSize));
  payloadTable.insert("offset", static_cast<int64_t>(p.payloadOffset));
  payloadTable.insert("configuration_size", static_cast<int64_t>(p.configEnd - p.payloadOffset));
  toml::array settings;
  for (const auto& [key, value] : p.settings) {
    toml::table t;
    t.insert("key", key);
    t.insert("name", settingName(key));
    t.insert("value", utf8FromSettingsText(value));
    settings.push_back(std::move(t));
  }
  payloadTable.insert("settings", std::move(settings));
  toml::array messages;
  for (const auto& [key, value] : p.messages) {
    toml::table t;
    t.insert("key", key);
    t.insert("name", messageName(key));
    t.insert("value", utf8FromUtf16(value));
    messages.push_back(std::move(t));
  }
  payloadTable.insert("messages", std::move(messages));
  toml::array sections;
  for (const payload::LocaleSection& s : p.sections) {
    toml::table t;
    t.insert("prefix", utf8FromSettingsText(s.prefix));
    toml::array entries;
    for (const auto& [key, value] : s.entries) {
      toml::table e;
      e.insert("key", key);
      e.insert("name", messageName(key));
      e.insert("value", utf8FromUtf16(value));
      entries.push_back(std::move(e));
    }
    t.insert("entries", std::move(entries));
    sections.push_back(std::move(t));
  }
  payloadTable.insert("locale_sections", std::move(sections));
  toml::array files;
  for (const InspectedFile& f : p.files) {
    toml::table t;
    t.insert("name", utf8FromSettingsText(f.name));
    t.insert("size", f.size);
    files.push_back(std::move(t));
  }
  payloadTable.insert("files", std::move(files));
  payloadTable.insert("remainder_size", static_cast<int64_t>(p.remainderSize));
  root.insert("payload", std::move(payloadTable));
  root.insert("configuration", configurationTable(p));
  std::ostringstream o;
  o << toml::json_formatter{root} << "\n";
  return o.str();
}

std::string formatConfiguration(const InspectedPayload& p) {
  std::ostringstream o;
  o << "# Configuration read back from a launcher by wendlegen inspect.\n";
  o << toml::toml_formatter{configurationTable(p)} << "\n";
  return o.str();
}

bool extractPayload(const std::string& exePath, const InspectedPayload& p, const std::string& dir, std::string& error) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) {
    error = "cannot create " + dir + ": " + ec.message();
    return false;
  }
  std::FILE* in = std::fopen(exePath.c_str(), "rb");
  if (!in) {
    error = "cannot open " + exePath + ": " + std::strerror(errno);
    return false;
  }
  bool ok = true;
  for (const InspectedFile& f : p.files) {
    fs::path target = fs::path(dir) / "files" / fs::path(sourceName(f.name));
    ok = copyRange(in, f.contentOffset, f.size > 0 ? static_cast<uint64_t>(f.size) : 0, true, target, error);
    if (!ok) break;
  }
  if (ok && p.remainderSize > 0) {
    ok = copyRange(in, p.remainderOffset, p.remainderSize, false, fs::path(dir) / "remainder.bin", error);
  }
  std::fclose(in);
  if (!ok) return false;
  fs::path config = fs::path(dir) / "wendle.toml";
  std::FILE* out = std::fopen(config.string().c_str(), "wb");
  if (!out) {
    error = "cannot create " + config.string() + ": " + std::strerror(errno);
    return false;
  }
  std::string text = formatConfiguration(p);
  ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  if (std::fclose(out) != 0 || !ok) {
    error = "cannot write " + config.string();
    return false;
  }
  return true;
}

}  // namespace wendle::gen
