// Writes the payload that the launcher reads from its own executable: the
// configuration block (header, settings, messages, locale override sections),
// the embedded file records with their content masked, and the remainder.
// Portable: used by the generator and by tests that build launcher copies,
// including deliberately damaged ones.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace wendle::payload {

struct LocaleSection {
  std::string prefix;                                   // "de", "de_CH", "" (every locale)
  std::vector<std::pair<int32_t, std::u16string>> entries;
};

struct EmbeddedFile {
  std::string name;            // name in the extraction directory, e.g. "lib\\a.dll"
  std::string content{};       // used when sourcePath is empty
  std::string sourcePath{};    // when set, the content is streamed from this host file
  int64_t sizeOverride = -1;   // tests: write this size field instead of the real one
};

struct Payload {
  uint32_t magic = 0xE8E413D5u;
  std::vector<std::pair<int32_t, std::string>> settings;     // written in this order
  std::vector<std::pair<int32_t, std::u16string>> messages;  // written in this order
  std::vector<LocaleSection> sections;                       // written in this order
  std::vector<EmbeddedFile> files;                           // records, in this order
  std::string remainder;                                     // used when remainderPath is empty
  std::string remainderPath;

  // Adds the embedded-file settings (count and ';'-separated names) for files.
  void addFileSettings(int32_t countKey, int32_t namesKey);
};

// The configuration block alone (fields up to the last locale section).
std::string encodeConfigBlock(const Payload& payload);

// The whole payload as bytes, file contents masked. Files named by sourcePath
// are read into memory; use writePayload for large inputs.
bool encodePayload(const Payload& payload, std::string& out, std::string& error);

// Streams the whole payload to an open file, 1 MiB at a time.
bool writePayload(const Payload& payload, std::FILE* out, std::string& error);

// Where the payload of a launcher image begins: the end of the raw data of its
// last PE section. Returns false when the headers cannot be read.
bool payloadOffset(const std::string& image, uint64_t& offset);

// Copies the launcher stub (cut or zero-padded at the end of its last section's
// raw data), appends the payload, and writes it all to outPath through a
// temporary name that is renamed at the end; on failure nothing is left at outPath.
bool buildLauncher(const std::string& stubPath, const Payload& payload, const std::string& outPath,
                   std::string& error);

// UTF-8 to UTF-16 (invalid sequences become U+FFFD).
std::u16string utf16FromUtf8(const std::string& text);

}  // namespace wendle::payload
