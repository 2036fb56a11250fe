// A ByteSource over a host file, so that inspecting a launcher with a large
// payload does not read the embedded files into memory.
#pragma once

#include <cstdio>
#include <string>

#include "payload/ByteSource.h"

namespace wendle::gen {

class FileByteSource final : public ByteSource {
 public:
  FileByteSource() = default;
  ~FileByteSource() override;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;

  bool open(const std::string& path, std::string& error);
  uint64_t size() const { return size_; }

  void seek(int32_t position) override;
  bool read(void* dest, uint32_t size, uint32_t& got, uint32_t& lastError) override;
  uint32_t position() override { return static_cast<uint32_t>(pos_); }

 private:
  std::FILE* file_ = nullptr;
  uint64_t size_ = 0;
  int64_t pos_ = 0;
};

}  // namespace wendle::gen
