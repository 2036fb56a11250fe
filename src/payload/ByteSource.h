// A readable, seekable sequence of bytes: the launcher's own executable on
// Windows, an in-memory payload in host tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wendle {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Absolute seek from the beginning with a signed 32-bit distance; the result
  // is not reported (a later read fails instead).
  virtual void seek(int32_t position) = 0;
  // Reads up to size bytes. Returns false when the read call itself failed;
  // got receives the bytes delivered, lastError the system's error code.
  virtual bool read(void* dest, uint32_t size, uint32_t& got, uint32_t& lastError) = 0;
  // Current position, low 32 bits.
  virtual uint32_t position() = 0;
};

// A ByteSource over bytes held in memory.
class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  void seek(int32_t position) override;
  bool read(void* dest, uint32_t size, uint32_t& got, uint32_t& lastError) override;
  uint32_t position() override { return static_cast<uint32_t>(pos_); }

 private:
  std::vector<uint8_t> bytes_;
  int64_t pos_ = 0;
};

}  // namespace wendle
