// The configuration store: the settings table (key to narrow text) and the
// messages table (key to UTF-16 text, adjusted by the locale override sections
// that match the user's locale), filled once from the payload's configuration
// block. An absent key reads as empty text or 0.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "payload/PayloadReader.h"

namespace wendle {

class ConfigStore {
 public:
  std::map<int32_t, std::string> settings;
  std::map<int32_t, std::wstring> messages;
  uint32_t configEndPosition = 0;  // first embedded file record

  void clear();
};

// The process-wide store.
ConfigStore& configStore();

// Reads the configuration block from a reader positioned at the payload's first
// byte: magic, reserved fields, settings, messages, then the locale override
// sections whose prefix matches `locale` (applied in payload order). Sets
// configEndPosition. On failure returns false and errorText receives the text
// to show ("Internal Error: magic" or the reader's own).
// detectedLocale is called between the messages and the sections (the locale
// is detected there) and returns the locale string.
bool loadConfigurationFrom(PayloadReader& reader, ConfigStore& store, std::string (*detectedLocale)(),
                           std::wstring& errorText);

// Accessors over the process-wide store.
// The settings value cut to size - 1 characters; a cut logs
// "ERROR: config string %d truncated (%d %d)" with key, size and full length.
std::string getConfigString(int32_t key, int32_t size);
// The whole settings value (empty when absent).
std::string getConfigStringCopy(int32_t key);
// The settings value widened byte by byte, cut to size - 1 units.
std::wstring getConfigWideString(int32_t key, int32_t size);
// The messages-table value (empty when absent), cut to 5999 units.
std::wstring getLocalizedMessage(int32_t key);
// The messages-table value, else the settings value widened (6000-unit limit).
std::wstring getMessage(int32_t key);
// strtol of the settings value read with size 6000, clamped to 32 bits.
int32_t getConfigInt(int32_t key);

// Working buffer size for texts, in characters.
constexpr int32_t kTextBufferSize = 6000;

}  // namespace wendle
