#include "payload/ConfigStore.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "launcher/Format.h"
#include "launcher/Log.h"
#include "payload/Locale.h"
#include "payload/PayloadFormat.h"

namespace wendle {
namespace {

// Reads one table: a signed count, then count times a key and a value.
template <typename Value, typename ReadValue>
bool readTable(PayloadReader& reader, std::map<int32_t, Value>& table, ReadValue readValue) {
  int32_t count = 0;
  if (!reader.readInt(count)) return false;
  for (int32_t i = 0; i < count; ++i) {
    int32_t key = 0;
    Value value;
    if (!reader.readInt(key) || !(reader.*readValue)(value)) return false;
    table[key] = std::move(value);  // a later entry replaces an earlier one
  }
  return true;
}

// A section applies when its prefix equals that many leading bytes of the
// locale; the prefix ends at its first NUL, as a C string would.
bool sectionMatches(const std::string& prefix, const std::string& locale) {
  return std::strncmp(prefix.c_str(), locale.c_str(), std::strlen(prefix.c_str())) == 0;
}

bool readSections(PayloadReader& reader, ConfigStore& store, const std::string& locale) {
  int32_t sections = 0;
  if (!reader.readInt(sections)) return false;
  for (int32_t s = 0; s < sections; ++s) {
    std::string prefix;
    int32_t entries = 0;
    if (!reader.readString(prefix) || !reader.readInt(entries)) return false;
    bool matches = sectionMatches(prefix, locale);
    for (int32_t i = 0; i < entries; ++i) {
      int32_t key = 0;
      std::wstring text;
      if (!reader.readInt(key) || !reader.readWString(text)) return false;
      if (matches) store.messages[key] = std::move(text);
    }
  }
  return true;
}

const std::string* findSetting(int32_t key) {
  const auto& settings = configStore().settings;
  auto it = settings.find(key);
  return it == settings.end() ? nullptr : &it->second;
}

// Capacity in characters for a buffer of size units, terminator included.
size_t capacityOf(int32_t size) {
  return size > 1 ? static_cast<size_t>(size - 1) : 0;
}

}  // namespace

void ConfigStore::clear() {
  settings.clear();
  messages.clear();
  configEndPosition = 0;
}

ConfigStore& configStore() {
  static ConfigStore store;
  return store;
}

bool loadConfigurationFrom(PayloadReader& reader, ConfigStore& store, std::string (*detectedLocale)(),
                           std::wstring& errorText) {
  store.clear();
  auto failed = [&]() {
    const wchar_t* text = reader.failure();
    errorText = text != nullptr ? text : L"Internal Error: readInt";
    return false;
  };

  int32_t magic = 0;
  if (!reader.readInt(magic)) return failed();
  if (static_cast<uint32_t>(magic) != payload::kMagic) {
    errorText = L"Internal Error: magic";
    return false;
  }
  // Reserved header fields: read so a cut header fails, otherwise ignored.
  int32_t reserved1 = 0, reserved2 = 0;
  int64_t reserved3 = 0;
  if (!reader.readInt(reserved1) || !reader.readInt(reserved2) || !reader.readLong(reserved3)) return failed();

  if (!readTable(reader, store.settings, &PayloadReader::readString)) return failed();
  if (!readTable(reader, store.messages, &PayloadReader::readWString)) return failed();

  // The locale is needed from here on: the sections below are chosen by it.
  std::string locale = detectedLocale != nullptr ? detectedLocale() : std::string("en");
  splitLocale(locale);

  if (!readSections(reader, store, locale)) return failed();
  store.configEndPosition = reader.source().position();
  return true;
}

std::string getConfigString(int32_t key, int32_t size) {
  const std::string* value = findSetting(key);
  if (value == nullptr) return std::string();
  size_t capacity = capacityOf(size);
  if (value->size() <= capacity) return *value;
  // The text itself carries the error marker; it is an ordinary log line.
  logMessage(L"ERROR: config string %d truncated (%d %d)", static_cast<int>(key), static_cast<int>(size),
             static_cast<int>(value->size()));
  return value->substr(0, capacity);
}

std::string getConfigStringCopy(int32_t key) {
  const std::string* value = findSetting(key);
  return value == nullptr ? std::string() : *value;
}

std::wstring getConfigWideString(int32_t key, int32_t size) {
  const std::string* value = findSetting(key);
  if (value == nullptr) return std::wstring();
  size_t capacity = capacityOf(size);
  if (value->size() <= capacity) return widenBytes(*value);
  logMessage(L"ERROR: config string %d truncated (%d %d)", static_cast<int>(key), static_cast<int>(size),
             static_cast<int>(value->size()));
  return widenBytes(value->substr(0, capacity));
}

std::wstring getLocalizedMessage(int32_t key) {
  const auto& messages = configStore().messages;
  auto it = messages.find(key);
  if (it == messages.end()) return std::wstring();
  size_t capacity = capacityOf(kTextBufferSize);
  if (it->second.size() <= capacity) return it->second;
  logMessage(L"ERROR: message %d truncated (%d %d)", static_cast<int>(key), static_cast<int>(kTextBufferSize),
             static_cast<int>(it->second.size()));
  return it->second.substr(0, capacity);
}

std::wstring getMessage(int32_t key) {
  std::wstring text = getLocalizedMessage(key);
  if (text.empty()) text = getConfigWideString(key, kTextBufferSize);
  return text;
}

int32_t getConfigInt(int32_t key) {
  std::string text = getConfigString(key, kTextBufferSize);
  // strtoll, then clamp: long is 32 bits on Windows but 64 bits on the host.
  long long value = std::strtoll(text.c_str(), nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace wendle
