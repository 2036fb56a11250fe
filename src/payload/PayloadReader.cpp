#include "payload/PayloadReader.h"

#include <algorithm>
#include <vector>

#include "launcher/Log.h"
#include "payload/PayloadFormat.h"

namespace wendle {
namespace {
// Strings are read in slices so that a damaged length field fails on the short
// read instead of reserving gigabytes first.
constexpr uint32_t kStringSlice = 1u << 20;

uint64_t littleEndian(const uint8_t* b, int n) {
  uint64_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[i];
  return v;
}
}  // namespace

bool PayloadReader::fail(const wchar_t* text) {
  if (failure_ == nullptr) failure_ = text;
  return false;
}

bool PayloadReader::readExact(void* dest, uint32_t size, uint32_t& got, uint32_t& lastError) {
  bool ok = source_.read(dest, size, got, lastError);
  return ok && got >= size;
}

bool PayloadReader::readLong(int64_t& value) {
  uint8_t b[8];
  uint32_t got = 0, err = 0;
  if (!readExact(b, 8, got, err)) {
    logMessage(L"error %d\n", static_cast<int>(err));
    return fail(L"Internal Error: readLong");
  }
  value = static_cast<int64_t>(littleEndian(b, 8));
  return true;
}

bool PayloadReader::readInt(int32_t& value) {
  uint8_t b[4];
  uint32_t got = 0, err = 0;
  if (!readExact(b, 4, got, err)) {
    logMessage(L"error %d %d\n", static_cast<int>(err), static_cast<int>(got));
    return fail(L"Internal Error: readInt");
  }
  value = static_cast<int32_t>(static_cast<uint32_t>(littleEndian(b, 4)));
  return true;
}

bool PayloadReader::readShort(int16_t& value) {
  uint8_t b[2];
  uint32_t got = 0, err = 0;
  if (!readExact(b, 2, got, err)) {
    logMessage(L"error %d\n", static_cast<int>(err));
    return fail(L"Internal Error: readShort");
  }
  value = static_cast<int16_t>(static_cast<uint16_t>(littleEndian(b, 2)));
  return true;
}

bool PayloadReader::readBytes(std::string& out, int64_t count) {
  out.clear();
  while (static_cast<int64_t>(out.size()) < count) {
    uint32_t want = static_cast<uint32_t>(std::min<int64_t>(count - static_cast<int64_t>(out.size()), kStringSlice));
    size_t at = out.size();
    out.resize(at + want);
    uint32_t got = 0, err = 0;
    if (!readExact(&out[at], want, got, err)) return false;
  }
  return true;
}

bool PayloadReader::readString(std::string& value) {
  int32_t length = 0;
  if (!readInt(length)) return false;
  if (length < 0 || !readBytes(value, length)) {
    value.clear();
    return fail(L"Internal Error: readString");
  }
  return true;
}

bool PayloadReader::readWString(std::wstring& value) {
  int32_t length = 0;
  if (!readInt(length)) return false;
  std::string bytes;
  if (length < 0 || length % 2 != 0 || !readBytes(bytes, length)) {
    value.clear();
    return fail(L"Internal Error: readWString");
  }
  value.resize(bytes.size() / 2);
  for (size_t i = 0; i < value.size(); ++i) {
    value[i] = static_cast<wchar_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                    (static_cast<uint16_t>(static_cast<uint8_t>(bytes[2 * i + 1])) << 8));
  }
  return true;
}

bool PayloadReader::seekToPayload() {
  using namespace payload;
  int32_t lfanew = 0, rawDataSize = 0, rawDataOffset = 0;
  int16_t sections = 0, optionalHeader = 0;
  source_.seek(kDosLfanewOffset);
  if (!readInt(lfanew)) return false;
  source_.seek(lfanew + kNumberOfSectionsOffset);
  if (!readShort(sections)) return false;
  logMessage(L"number of sections: %d", static_cast<int>(sections));
  source_.seek(lfanew + kSizeOfOptionalHeaderOffset);
  if (!readShort(optionalHeader)) return false;
  logMessage(L"size of optional headers: %d", static_cast<int>(optionalHeader));
  // Positions are 32-bit: the payload lies below 2 GiB.
  int32_t tableStart = static_cast<int32_t>(lastSectionHeaderOffset(lfanew, sections, optionalHeader));
  logMessage(L"resSectionTableStart: %d", static_cast<int>(tableStart));
  source_.seek(tableStart + kSizeOfRawDataOffset);
  if (!readInt(rawDataSize)) return false;
  source_.seek(tableStart + kPointerToRawDataOffset);
  if (!readInt(rawDataOffset)) return false;
  logMessage(L"rawDataSize: %d, rawDataOffset: %d", static_cast<int>(rawDataSize), static_cast<int>(rawDataOffset));
  source_.seek(static_cast<int32_t>(static_cast<uint32_t>(rawDataOffset) + static_cast<uint32_t>(rawDataSize)));
  return true;
}

}  // namespace wendle
