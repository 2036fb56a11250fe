// Times `wendlegen build` of a launcher with one 256 MiB embedded file against a
// plain `cp` of the same bytes, in the same run, and prints the ratio.
// Usage: wendlegen_bench WENDLEGEN WORKDIR
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kDataSize = 256ull << 20;
constexpr int kRounds = 3;

void put(std::string& b, size_t at, uint64_t v, int n) {
  for (int i = 0; i < n; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// One section, raw data at 0x200..0x400: all the generator needs of a stub.
std::string minimalPe() {
  std::string img(0x400, '\0');
  img[0] = 'M';
  img[1] = 'Z';
  put(img, 60, 0x80, 4);
  img.replace(0x80, 4, std::string("PE\0\0", 4));
  put(img, 0x84 + 2, 1, 2);
  put(img, 0x84 + 16, 0xF0, 2);
  size_t section = 0x80 + 24 + 0xF0;
  put(img, section + 16, 0x200, 4);
  put(img, section + 20, 0x200, 4);
  return img;
}

bool writeData(const fs::path& p) {
  std::ofstream out(p, std::ios::binary);
  std::vector<uint64_t> chunk((1u << 20) / 8);
  uint64_t x = 0x9E3779B97F4A7C15ull;
  for (uint64_t done = 0; done < kDataSize; done += chunk.size() * 8) {
    for (uint64_t& v : chunk) {
      x ^= x << 13;
      x ^= x >> 7;
      x ^= x << 17;
      v = x;
    }
    out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(chunk.size() * 8));
  }
  return static_cast<bool>(out);
}

// Wall-clock time of a shell command in seconds; negative on failure.
double timeOf(const std::string& command) {
  auto start = std::chrono::steady_clock::now();
  int rc = std::system(command.c_str());
  double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (rc != 0) {
    std::fprintf(stderr, "bench-gen: failed: %s\n", command.c_str());
    return -1;
  }
  return t;
}

std::string quote(const fs::path& p) { return "'" + p.string() + "'"; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s WENDLEGEN WORKDIR\n", argv[0]);
    return 2;
  }
  fs::path work = argv[2];
  fs::create_directories(work);
  { std::ofstream(work / "stub.exe", std::ios::binary) << minimalPe(); }
  if (!writeData(work / "data.bin")) {
    std::fprintf(stderr, "bench-gen: cannot write %s\n", (work / "data.bin").string().c_str());
    return 1;
  }
  { std::ofstream(work / "bench.toml") << "[service]\nname = \"Bench\"\n[[files.embed]]\nsource = \"data.bin\"\n"; }

  const std::string cp = "cp " + quote(work / "data.bin") + " " + quote(work / "copy.bin");
  const std::string gen = quote(argv[1]) + " build " + quote(work / "bench.toml") + " --stub " +
                          quote(work / "stub.exe") + " -o " + quote(work / "bench.exe") + " > /dev/null";
  // Rounds alternate so that both see the same page-cache state; the best of each counts.
  double tCp = -1, tGen = -1;
  for (int i = 0; i < kRounds; ++i) {
    double c = timeOf(cp);
    double g = timeOf(gen);
    if (c < 0 || g < 0) return 1;
    tCp = tCp < 0 ? c : std::min(tCp, c);
    tGen = tGen < 0 ? g : std::min(tGen, g);
  }
  std::printf("embedded file: %llu MiB\n", static_cast<unsigned long long>(kDataSize >> 20));
  std::printf("cp:        %.3f s (best of %d)\n", tCp, kRounds);
  std::printf("wendlegen: %.3f s (best of %d)\n", tGen, kRounds);
  std::printf("ratio wendlegen / cp: %.2f\n", tGen / tCp);
  std::error_code ec;
  for (const char* f : {"data.bin", "copy.bin", "bench.exe"}) fs::remove(work / f, ec);
  return 0;
}
