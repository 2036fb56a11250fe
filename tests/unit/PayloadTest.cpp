#include <gtest/gtest.h>

#include "payload/PayloadFormat.h"
#include "payload/PayloadReader.h"
#include "payload/PayloadWriter.h"
#include "support/LogCapture.h"
#include "support/PeImage.h"

namespace wendle {
namespace {

using payload::Payload;

std::vector<uint8_t> bytesOf(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

Payload samplePayload() {
  Payload p;
  p.settings = {{101, "svc"}, {2001, ""}};
  p.messages = {{1000, u"Caption \u00e9"}};
  p.sections = {{"de", {{1000, u"Fehler"}}}};
  p.files = {{"a.jar", "abc", "", -1}};
  p.remainder = "tail";
  return p;
}

TEST(PayloadRoundTrip, ReaderReadsWhatTheWriterWrote) {
  std::string bytes, error;
  ASSERT_TRUE(payload::encodePayload(samplePayload(), bytes, error)) << error;
  MemoryByteSource src(bytesOf(bytes));
  PayloadReader r(src);
  int32_t i = 0;
  int64_t l = 0;
  std::string s;
  std::wstring w;
  ASSERT_TRUE(r.readInt(i));
  EXPECT_EQ(static_cast<uint32_t>(i), payload::kMagic);
  EXPECT_EQ(static_cast<uint8_t>(bytes[0]), 0xD5);
  ASSERT_TRUE(r.readInt(i) && r.readInt(i) && r.readLong(l));
  ASSERT_TRUE(r.readInt(i));
  EXPECT_EQ(i, 2);
  ASSERT_TRUE(r.readInt(i) && r.readString(s));
  EXPECT_EQ(i, 101);
  EXPECT_EQ(s, "svc");
  ASSERT_TRUE(r.readInt(i) && r.readString(s));
  EXPECT_EQ(s, "");
  ASSERT_TRUE(r.readInt(i) && i == 1 && r.readInt(i) && r.readWString(w));
  EXPECT_EQ(w, L"Caption \u00e9");
  ASSERT_TRUE(r.readInt(i) && i == 1 && r.readString(s) && s == "de");
  ASSERT_TRUE(r.readInt(i) && i == 1 && r.readInt(i) && r.readWString(w) && w == L"Fehler");
  ASSERT_TRUE(r.readLong(l));
  EXPECT_EQ(l, 3);
  uint8_t content[3];
  uint32_t got = 0, err = 0;
  ASSERT_TRUE(src.read(content, 3, got, err));
  EXPECT_EQ(content[0], static_cast<uint8_t>('a' ^ payload::kContentMask));
  EXPECT_EQ(r.failure(), nullptr);
}

// Cutting a payload inside each kind of field gives that reader's error text.
TEST(PayloadCut, EachReaderReportsItsOwnText) {
  struct Case {
    const char* what;
    std::string bytes;
    const wchar_t* text;
  };
  std::string intCut("\xD5\x13", 2);
  std::string longCut = std::string("\xD5\x13\xE4\xE8", 4) + std::string(8, '\0') + std::string(4, '\0');
  std::string strCut("\x05\x00\x00\x00" "ab", 6);
  std::string wstrCut("\x04\x00\x00\x00" "a\0b", 7);
  std::string negative("\xFF\xFF\xFF\xFF", 4);
  std::string odd("\x03\x00\x00\x00" "abc", 7);
  test::LogCapture log;
  {
    MemoryByteSource s(bytesOf(intCut));
    PayloadReader r(s);
    int32_t v;
    EXPECT_FALSE(r.readInt(v));
    EXPECT_STREQ(r.failure(), L"Internal Error: readInt");
    EXPECT_TRUE(log.contains(L"error 0 2\n"));
  }
  {
    MemoryByteSource s(bytesOf(longCut));
    PayloadReader r(s);
    int32_t v;
    int64_t l;
    ASSERT_TRUE(r.readInt(v) && r.readInt(v) && r.readInt(v));
    EXPECT_FALSE(r.readLong(l));
    EXPECT_STREQ(r.failure(), L"Internal Error: readLong");
  }
  for (const auto& [bytes, wide, text] : {std::tuple{strCut, false, L"Internal Error: readString"},
                                          std::tuple{wstrCut, true, L"Internal Error: readWString"},
                                          std::tuple{negative, false, L"Internal Error: readString"},
                                          std::tuple{negative, true, L"Internal Error: readWString"},
                                          std::tuple{odd, true, L"Internal Error: readWString"}}) {
    MemoryByteSource s(bytesOf(bytes));
    PayloadReader r(s);
    std::string a;
    std::wstring w;
    EXPECT_FALSE(wide ? r.readWString(w) : r.readString(a));
    EXPECT_STREQ(r.failure(), text);
  }
}

TEST(PayloadCut, AHugeLengthFailsOnTheShortReadWithoutReservingIt) {
  MemoryByteSource s(bytesOf(std::string("\xF0\xFF\xFF\x7F" "abc", 7)));
  PayloadReader r(s);
  std::string out;
  EXPECT_FALSE(r.readString(out));
  EXPECT_STREQ(r.failure(), L"Internal Error: readString");
}

TEST(PayloadLocation, BeginsAfterTheLastSectionWhateverItsName) {
  test::LogCapture log;
  std::string img = test::fakePeImage({{".text", 0x400, 0x200}, {".data", 0x600, 0x200}, {".idata", 0x800, 0x100}});
  uint64_t offset = 0;
  ASSERT_TRUE(payload::payloadOffset(img, offset));
  EXPECT_EQ(offset, 0x900u);
  std::string withPayload = img + "\xD5\x13\xE4\xE8";
  MemoryByteSource src(bytesOf(withPayload));
  PayloadReader r(src);
  ASSERT_TRUE(r.seekToPayload());
  EXPECT_EQ(src.position(), 0x900u);
  EXPECT_TRUE(log.contains(L"number of sections: 3"));
  EXPECT_TRUE(log.contains(L"size of optional headers: 240"));
  EXPECT_TRUE(log.contains(L"rawDataSize: 256, rawDataOffset: 2048"));
}

TEST(PayloadLocation, StubWithoutPayloadEndsAtTheFirstIntRead) {
  std::string img = test::fakePeImage({{".text", 0x400, 0x200}, {".reloc", 0x600, 0x200}});
  MemoryByteSource src(bytesOf(img));
  PayloadReader r(src);
  ASSERT_TRUE(r.seekToPayload());
  EXPECT_EQ(src.position(), img.size());
  int32_t magic;
  EXPECT_FALSE(r.readInt(magic));
  EXPECT_STREQ(r.failure(), L"Internal Error: readInt");
}

TEST(PayloadUtf16, ConvertsUtf8IncludingSurrogatePairs) {
  EXPECT_EQ(payload::utf16FromUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), std::u16string(u"a\u00e9\u20ac\U0001F600"));
  EXPECT_EQ(payload::utf16FromUtf8("\xC3"), std::u16string(u"\uFFFD"));
}

}  // namespace
}  // namespace wendle
