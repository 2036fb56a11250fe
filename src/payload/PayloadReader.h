// Primitive readers over the payload: little-endian integers and
// length-prefixed strings. Each read is one read call on the source and is
// verified; a failed or short read leaves failure() set to the fixed
// "Internal Error" text the launcher shows before it ends.
#pragma once

#include <cstdint>
#include <string>

#include "payload/ByteSource.h"

namespace wendle {

class PayloadReader {
 public:
  explicit PayloadReader(ByteSource& source) : source_(source) {}

  // Positions the source at the first byte of the payload: right after the raw
  // data of the last PE section, whatever that section's name. Logs the header
  // fields it reads. Returns false when a header field cannot be read.
  bool seekToPayload();

  bool readLong(int64_t& value);
  bool readInt(int32_t& value);
  bool readShort(int16_t& value);
  // A byte count, then that many bytes of 8-bit text; a negative count is rejected.
  bool readString(std::string& value);
  // A byte count (even, not negative), then that many bytes of UTF-16LE units.
  bool readWString(std::wstring& value);

  // The error text of the first failed read, or nullptr.
  const wchar_t* failure() const { return failure_; }
  ByteSource& source() { return source_; }

 private:
  bool readExact(void* dest, uint32_t size, uint32_t& got, uint32_t& lastError);
  bool readBytes(std::string& out, int64_t count);
  bool fail(const wchar_t* text);

  ByteSource& source_;
  const wchar_t* failure_ = nullptr;
};

}  // namespace wendle
