#include "payload/ByteSource.h"

#include <cstring>

namespace wendle {

void MemoryByteSource::seek(int32_t position) { pos_ = position; }

bool MemoryByteSource::read(void* dest, uint32_t size, uint32_t& got, uint32_t& lastError) {
  got = 0;
  lastError = 0;
  if (pos_ < 0) {
    lastError = 131;  // ERROR_NEGATIVE_SEEK, as Windows reports it
    return false;
  }
  if (static_cast<uint64_t>(pos_) >= bytes_.size()) return true;  // end of file: 0 bytes, success
  uint64_t avail = bytes_.size() - static_cast<uint64_t>(pos_);
  got = static_cast<uint32_t>(avail < size ? avail : size);
  std::memcpy(dest, bytes_.data() + pos_, got);
  pos_ += got;
  return true;
}

}  // namespace wendle
