// The payload appended to a launcher copy: fixed numbers shared by the
// generator (writer) and the launcher (reader). docs/payload-format.md
// describes the layout for people who write generators.
#pragma once

#include <cstdint>

namespace wendle::payload {

// First field of the configuration block (on disk: D5 13 E4 E8).
constexpr uint32_t kMagic = 0xE8E413D5u;

// Every byte of an embedded file is stored XOR this mask; applying it again restores it.
constexpr uint8_t kContentMask = 0x9Bu;

// PE header fields read to find where the last section's raw data ends.
constexpr int32_t kDosLfanewOffset = 60;
constexpr int32_t kNumberOfSectionsOffset = 6;     // from e_lfanew
constexpr int32_t kSizeOfOptionalHeaderOffset = 20;  // from e_lfanew
constexpr int32_t kSectionHeaderSize = 40;
constexpr int32_t kSizeOfRawDataOffset = 16;       // within a section header
constexpr int32_t kPointerToRawDataOffset = 20;    // within a section header

// File offset of the last section table entry: e_lfanew + 24 + O + 40 * (N - 1).
constexpr int64_t lastSectionHeaderOffset(int32_t lfanew, int16_t sections, int16_t optionalHeaderSize) {
  return static_cast<int64_t>(lfanew) + optionalHeaderSize + kSectionHeaderSize * static_cast<int64_t>(sections) - 16;
}

// Working buffer used when copying embedded file contents.
constexpr uint32_t kCopyBufferSize = 6000;

}  // namespace wendle::payload
