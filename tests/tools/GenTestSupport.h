// Shared helpers for the generator tests: a scratch directory, a minimal PE stub,
// building from configuration text and reading the payload back.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "Config.h"
#include "Inspect.h"

namespace wendle::gen::test {

// The smallest image the launcher's locator accepts: DOS header with e_lfanew, PE
// signature, file header (one section, an optional header of optionalSize bytes)
// and one section whose raw data ends at rawOffset + rawSize. trailing bytes after
// the section (debug data, an old payload) are appended.
std::string minimalPe(uint32_t rawOffset = 0x200, uint32_t rawSize = 0x200, uint16_t optionalSize = 0xF0,
                      const std::string& trailing = "");

std::string readFile(const std::filesystem::path& p);
void writeFile(const std::filesystem::path& p, const std::string& bytes);

class GenTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes wendle.toml with text into the scratch directory and builds it.
  bool build(const std::string& toml, Diagnostic& error, const std::string& out = "out.exe");
  // build() that must succeed; returns the payload read back from the output.
  InspectedPayload buildAndRead(const std::string& toml, const std::string& out = "out.exe");
  // The last value of each settings key of a payload.
  static std::map<int32_t, std::string> settingsOf(const InspectedPayload& p);

  std::filesystem::path dir_;
  std::filesystem::path stub_;
};

}  // namespace wendle::gen::test
