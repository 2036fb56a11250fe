// A minimal PE image for tests: DOS header with e_lfanew, PE signature, file
// header, an optional header of the given size and the given sections. The
// payload of such an image begins at the last section's raw data end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wendle::test {

struct FakeSection {
  const char* name;
  uint32_t rawOffset;
  uint32_t rawSize;
};

inline void putLE(std::string& s, size_t at, uint64_t v, int n) {
  if (s.size() < at + n) s.resize(at + n, '\0');
  for (int i = 0; i < n; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::string fakePeImage(const std::vector<FakeSection>& sections, uint16_t optionalHeaderSize = 240,
                               uint32_t lfanew = 128) {
  std::string img(lfanew, '\0');
  img[0] = 'M';
  img[1] = 'Z';
  putLE(img, 60, lfanew, 4);
  img += std::string("PE\0\0", 4);
  putLE(img, lfanew + 4, 0x8664, 2);
  putLE(img, lfanew + 6, sections.size(), 2);
  putLE(img, lfanew + 20, optionalHeaderSize, 2);
  size_t table = lfanew + 24 + optionalHeaderSize;
  uint32_t end = 0;
  for (size_t i = 0; i < sections.size(); ++i) {
    size_t h = table + 40 * i;
    img.resize(std::max(img.size(), h + 40), '\0');
    for (int k = 0; k < 8 && sections[i].name[k]; ++k) img[h + k] = sections[i].name[k];
    putLE(img, h + 16, sections[i].rawSize, 4);
    putLE(img, h + 20, sections[i].rawOffset, 4);
    end = std::max(end, sections[i].rawOffset + sections[i].rawSize);
  }
  img.resize(std::max<size_t>(img.size(), end), '\x5A');
  return img;
}

}  // namespace wendle::test
