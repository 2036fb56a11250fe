#include "GenTestSupport.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "payload/ByteSource.h"

namespace wendle::gen::test {
namespace fs = std::filesystem;

namespace {
void put(std::string& b, size_t at, uint64_t v, int n) {
  for (int i = 0; i < n; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
}  // namespace

std::string minimalPe(uint32_t rawOffset, uint32_t rawSize, uint16_t optionalSize, const std::string& trailing) {
  const uint32_t lfanew = 0x80;
  std::string img(rawOffset + rawSize, '\0');
  img[0] = 'M';
  img[1] = 'Z';
  put(img, 60, lfanew, 4);
  img.replace(lfanew, 4, std::string("PE\0\0", 4));
  put(img, lfanew + 4 + 2, 1, 2);              // NumberOfSections
  put(img, lfanew + 4 + 16, optionalSize, 2);  // SizeOfOptionalHeader
  size_t section = lfanew + 24 + optionalSize;
  img.replace(section, 5, ".text");
  put(img, section + 16, rawSize, 4);    // SizeOfRawData
  put(img, section + 20, rawOffset, 4);  // PointerToRawData
  for (uint32_t i = 0; i < rawSize; ++i) img[rawOffset + i] = static_cast<char>(i * 7);
  return img + trailing;
}

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& p, const std::string& bytes) {
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}

void GenTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "_" + info->name();
  for (char& c : name) {
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  dir_ = fs::temp_directory_path() / ("wendlegen_test_" + name);
  fs::remove_all(dir_);
  fs::create_directories(dir_);
  stub_ = dir_ / "stub.exe";
  writeFile(stub_, minimalPe());
}

void GenTest::TearDown() {
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

bool GenTest::build(const std::string& toml, Diagnostic& error, const std::string& out) {
  writeFile(dir_ / "wendle.toml", toml);
  return buildExecutable((dir_ / "wendle.toml").string(), stub_.string(), (dir_ / out).string(), error);
}

InspectedPayload GenTest::buildAndRead(const std::string& toml, const std::string& out) {
  Diagnostic error;
  InspectedPayload p;
  if (!build(toml, error, out)) {
    ADD_FAILURE() << error.format();
    return p;
  }
  std::string bytes = readFile(dir_ / out);
  MemoryByteSource source(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  std::string why;
  EXPECT_TRUE(readPayload(source, bytes.size(), p, why)) << why;
  return p;
}

std::map<int32_t, std::string> GenTest::settingsOf(const InspectedPayload& p) {
  std::map<int32_t, std::string> m;
  for (const auto& [k, v] : p.settings) m[k] = v;
  return m;
}

}  // namespace wendle::gen::test
