// Damaged input never crashes the portable parsers: mutated payloads through
// the configuration loader, arbitrary text through the command-line readers.
// Run under ASan/UBSan, these catch reads and writes past a buffer.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "launcher/CommandLine.h"
#include "launcher/Dispatch.h"
#include "payload/ConfigStore.h"
#include "payload/PayloadWriter.h"
#include "support/LogCapture.h"

namespace wendle {
namespace {

std::string validBlock() {
  payload::Payload p;
  p.settings = {{101, "svc"}, {2002, "1"}, {2003, "a.jar"}, {146, std::string(300, 'w')}};
  p.messages = {{1000, u"Caption"}, {1009, u"Error {0}"}};
  p.sections = {{"de", {{1000, u"Fehler"}}}, {"", {{1009, u"x"}}}};
  return payload::encodeConfigBlock(p);
}

std::string enLocale() { return "en_US"; }

TEST(Robustness, MutatedPayloadsLoadOrFailWithAKnownText) {
  test::LogCapture log;
  const std::set<std::wstring> known = {L"Internal Error: magic",  L"Internal Error: readInt",
                                        L"Internal Error: readLong", L"Internal Error: readString",
                                        L"Internal Error: readWString"};
  std::mt19937 rng(20261211);
  const std::string base = validBlock();
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = base;
    int flips = 1 + static_cast<int>(rng() % 4);
    for (int f = 0; f < flips; ++f) bytes[rng() % bytes.size()] = static_cast<char>(rng());
    if (rng() % 3 == 0) bytes.resize(rng() % bytes.size());
    MemoryByteSource source(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    PayloadReader reader(source);
    ConfigStore store;
    std::wstring error;
    bool ok = loadConfigurationFrom(reader, store, enLocale, error);
    if (!ok) {
      EXPECT_EQ(known.count(error), 1u) << "round " << round;
    }
  }
}

TEST(Robustness, ArbitraryCommandLinesSplitAndParse) {
  std::mt19937 rng(7);
  const wchar_t alphabet[] = L" \"'\\/-abc\t_";
  for (int round = 0; round < 3000; ++round) {
    std::wstring text;
    size_t length = rng() % 40;
    for (size_t i = 0; i < length; ++i) text.push_back(alphabet[rng() % (sizeof(alphabet) / sizeof(wchar_t) - 1)]);
    ArgumentVector args;
    splitCommandLine(text, args);
    for (const auto& a : args.items()) EXPECT_LE(a.size(), text.size());
    recogniseRunMode(args);
    std::string narrow(text.begin(), text.end());
    CommandWord cw = parseCommandTail(narrow);
    EXPECT_LE(cw.name.size(), narrow.size());
    commandTail(narrow);
  }
}

}  // namespace
}  // namespace wendle
