#include "FileByteSource.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace wendle::gen {

FileByteSource::~FileByteSource() {
  if (file_) std::fclose(file_);
}

bool FileByteSource::open(const std::string& path, std::string& error) {
  std::error_code ec;
  uintmax_t n = std::filesystem::file_size(path, ec);
  if (ec) {
    error = "cannot read " + path + ": " + ec.message();
    return false;
  }
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  size_ = n;
  return true;
}

void FileByteSource::seek(int32_t position) { pos_ = position; }

bool FileByteSource::read(void* dest, uint32_t size, uint32_t& got, uint32_t& lastError) {
  got = 0;
  lastError = 0;
  if (pos_ < 0) {
    lastError = 131;  // a negative seek, as Windows reports it
    return false;
  }
  if (static_cast<uint64_t>(pos_) >= size_) return true;
  // Positions stay below 2 GiB, so a long offset is enough on every platform.
  if (std::fseek(file_, static_cast<long>(pos_), SEEK_SET) != 0) {
    lastError = static_cast<uint32_t>(errno);
    return false;
  }
  got = static_cast<uint32_t>(std::fread(dest, 1, size, file_));
  pos_ += got;
  if (got < size && std::ferror(file_)) {
    lastError = static_cast<uint32_t>(errno);
    return false;
  }
  return true;
}

}  // namespace wendle::gen
