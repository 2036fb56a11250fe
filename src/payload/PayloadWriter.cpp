#include "payload/PayloadWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "payload/PayloadFormat.h"

namespace wendle::payload {
namespace {

void putLE(std::string& out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void putString(std::string& out, const std::string& s) {
  putLE(out, static_cast<uint32_t>(s.size()), 4);
  out += s;
}

void putWString(std::string& out, const std::u16string& s) {
  putLE(out, static_cast<uint32_t>(s.size() * 2), 4);
  for (char16_t c : s) putLE(out, c, 2);
}

void mask(char* data, size_t n) {
  for (size_t i = 0; i < n; ++i) data[i] = static_cast<char>(static_cast<uint8_t>(data[i]) ^ kContentMask);
}

uint64_t readLE(const std::string& b, uint64_t at, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + i]);
  return v;
}

// Sink over either a string or a FILE*.
struct Sink {
  std::string* str = nullptr;
  std::FILE* file = nullptr;
  bool write(const char* data, size_t n) {
    if (str) {
      str->append(data, n);
      return true;
    }
    return std::fwrite(data, 1, n, file) == n;
  }
  bool write(const std::string& s) { return write(s.data(), s.size()); }
};

bool copyFileInto(Sink& sink, const std::string& path, bool masked, uint64_t* size, std::string& error) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  std::vector<char> buf(1u << 20);
  uint64_t total = 0;
  bool ok = true;
  for (;;) {
    size_t n = std::fread(buf.data(), 1, buf.size(), in);
    if (n == 0) break;
    if (masked) mask(buf.data(), n);
    if (!sink.write(buf.data(), n)) {
      error = "write failed";
      ok = false;
      break;
    }
    total += n;
  }
  if (ok && std::ferror(in)) {
    error = "cannot read " + path;
    ok = false;
  }
  std::fclose(in);
  if (size) *size = total;
  return ok;
}

bool fileSize(const std::string& path, int64_t& size, std::string& error) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in || std::fseek(in, 0, SEEK_END) != 0) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    if (in) std::fclose(in);
    return false;
  }
  long long n = ftello(in);
  std::fclose(in);
  size = n;
  return n >= 0;
}

bool writeAll(const Payload& p, Sink& sink, std::string& error) {
  if (!sink.write(encodeConfigBlock(p))) {
    error = "write failed";
    return false;
  }
  for (const EmbeddedFile& f : p.files) {
    int64_t size = static_cast<int64_t>(f.content.size());
    if (!f.sourcePath.empty() && !fileSize(f.sourcePath, size, error)) return false;
    std::string head;
    putLE(head, static_cast<uint64_t>(f.sizeOverride >= 0 ? f.sizeOverride : size), 8);
    if (!sink.write(head)) {
      error = "write failed";
      return false;
    }
    if (!f.sourcePath.empty()) {
      if (!copyFileInto(sink, f.sourcePath, true, nullptr, error)) return false;
    } else {
      std::string c = f.content;
      mask(c.data(), c.size());
      if (!sink.write(c)) {
        error = "write failed";
        return false;
      }
    }
  }
  if (!p.remainderPath.empty()) return copyFileInto(sink, p.remainderPath, false, nullptr, error);
  if (!sink.write(p.remainder)) {
    error = "write failed";
    return false;
  }
  return true;
}

}  // namespace

void Payload::addFileSettings(int32_t countKey, int32_t namesKey) {
  std::string names;
  for (const EmbeddedFile& f : files) {
    if (!names.empty()) names += ';';
    names += f.name;
  }
  settings.emplace_back(countKey, std::to_string(files.size()));
  settings.emplace_back(namesKey, names);
}

std::string encodeConfigBlock(const Payload& p) {
  std::string out;
  putLE(out, p.magic, 4);
  putLE(out, 0, 4);  // reserved
  putLE(out, 0, 4);  // reserved
  putLE(out, 0, 8);  // reserved
  putLE(out, static_cast<uint32_t>(p.settings.size()), 4);
  for (const auto& [key, value] : p.settings) {
    putLE(out, static_cast<uint32_t>(key), 4);
    putString(out, value);
  }
  putLE(out, static_cast<uint32_t>(p.messages.size()), 4);
  for (const auto& [key, value] : p.messages) {
    putLE(out, static_cast<uint32_t>(key), 4);
    putWString(out, value);
  }
  putLE(out, static_cast<uint32_t>(p.sections.size()), 4);
  for (const LocaleSection& s : p.sections) {
    putString(out, s.prefix);
    putLE(out, static_cast<uint32_t>(s.entries.size()), 4);
    for (const auto& [key, value] : s.entries) {
      putLE(out, static_cast<uint32_t>(key), 4);
      putWString(out, value);
    }
  }
  return out;
}

bool encodePayload(const Payload& payload, std::string& out, std::string& error) {
  out.clear();
  Sink sink;
  sink.str = &out;
  return writeAll(payload, sink, error);
}

bool writePayload(const Payload& payload, std::FILE* out, std::string& error) {
  Sink sink;
  sink.file = out;
  return writeAll(payload, sink, error);
}

bool payloadOffset(const std::string& image, uint64_t& offset) {
  if (image.size() < 64) return false;
  uint64_t lfanew = readLE(image, kDosLfanewOffset, 4);
  if (lfanew + 24 > image.size()) return false;
  auto sections = static_cast<int16_t>(readLE(image, lfanew + kNumberOfSectionsOffset, 2));
  auto optional = static_cast<int16_t>(readLE(image, lfanew + kSizeOfOptionalHeaderOffset, 2));
  if (sections <= 0 || optional < 0) return false;
  int64_t last = lastSectionHeaderOffset(static_cast<int32_t>(lfanew), sections, optional);
  if (last < 0 || static_cast<uint64_t>(last) + kSectionHeaderSize > image.size()) return false;
  offset = readLE(image, last + kPointerToRawDataOffset, 4) + readLE(image, last + kSizeOfRawDataOffset, 4);
  return true;
}

bool buildLauncher(const std::string& stubPath, const Payload& payload, const std::string& outPath,
                   std::string& error) {
  std::string image;
  {
    Sink sink;
    sink.str = &image;
    if (!copyFileInto(sink, stubPath, false, nullptr, error)) return false;
  }
  uint64_t offset = 0;
  if (!payloadOffset(image, offset)) {
    error = stubPath + ": not a PE executable";
    return false;
  }
  // Anything behind the last section (debug data, an old payload) is dropped.
  image.resize(offset, '\0');
  std::string tmp = outPath + ".tmp";
  std::FILE* out = std::fopen(tmp.c_str(), "wb");
  if (!out) {
    error = "cannot create " + tmp + ": " + std::strerror(errno);
    return false;
  }
  bool ok = std::fwrite(image.data(), 1, image.size(), out) == image.size();
  if (!ok) error = "cannot write " + tmp;
  ok = ok && writePayload(payload, out, error);
  if (std::fclose(out) != 0 && ok) {
    error = "cannot write " + tmp;
    ok = false;
  }
  if (ok) {
    std::remove(outPath.c_str());  // Windows rename does not replace
    if (std::rename(tmp.c_str(), outPath.c_str()) != 0) {
      error = "cannot rename " + tmp + " to " + outPath + ": " + std::strerror(errno);
      ok = false;
    }
  }
  if (!ok) std::remove(tmp.c_str());
  return ok;
}

std::u16string utf16FromUtf8(const std::string& text) {
  std::u16string out;
  size_t i = 0;
  while (i < text.size()) {
    uint8_t lead = static_cast<uint8_t>(text[i]);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
    uint32_t cp = extra <= 0 ? lead : (lead & (0x3F >> extra));
    bool good = extra >= 0;
    for (int k = 1; good && k <= extra; ++k) {
      if (i + k >= text.size()) {
        good = false;
        break;
      }
      uint8_t next = static_cast<uint8_t>(text[i + k]);
      good = (next & 0xC0) == 0x80;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (good && cp > 0x10FFFF) good = false;
    if (!good) {
      out.push_back(u'\uFFFD');  // an invalid or cut sequence stands for one character
      i += 1;
      continue;
    }
    i += static_cast<size_t>(extra) + 1;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

}  // namespace wendle::payload
