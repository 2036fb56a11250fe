// Reads the payload of a launcher executable back: the configuration block, the
// embedded file records and the remainder, and shows it by catalogue name.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "payload/ByteSource.h"
#include "payload/PayloadWriter.h"

namespace wendle::gen {

struct InspectedFile {
  std::string name;          // as stored, e.g. "lib\\a.dll"
  int64_t size = 0;
  uint64_t contentOffset = 0;
};

struct InspectedPayload {
  uint64_t fileSize = 0;
  uint64_t payloadOffset = 0;
  uint64_t configEnd = 0;    // first embedded file record
  std::vector<std::pair<int32_t, std::string>> settings;     // in payload order
  std::vector<std::pair<int32_t, std::u16string>> messages;  // in payload order
  std::vector<payload::LocaleSection> sections;
  std::vector<InspectedFile> files;
  uint64_t remainderOffset = 0;
  uint64_t remainderSize = 0;
};

// Reads the payload the way the launcher does (sections by position, counts of 0
// or less read nothing, file records by the names of settings 2002 and 2003).
bool readPayload(ByteSource& source, uint64_t fileSize, InspectedPayload& out, std::string& error);

// readPayload over a file.
bool inspectExecutable(const std::string& path, InspectedPayload& out, std::string& error);

// Human-readable listing: every setting and message with number and catalogue name.
std::string formatListing(const InspectedPayload& payload);
// The same as JSON: the payload as stored and the configuration that produces it.
std::string formatJson(const InspectedPayload& payload);
// A configuration (TOML) that builds the same payload from files extracted with
// extractPayload: embedded files under "files/", the remainder as "remainder.bin".
std::string formatConfiguration(const InspectedPayload& payload);

// Writes the embedded files (unmasked), the remainder and wendle.toml into dir.
bool extractPayload(const std::string& exePath, const InspectedPayload& payload, const std::string& dir,
                    std::string& error);

}  // namespace wendle::gen
