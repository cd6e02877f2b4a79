// Reading does not depend on how the stream buffer hands out its bytes: a
// stream that gives one byte per refill reads as a buffered one, with the
// same results, records and stream states, line after line.

#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "_CTextAccessor.h"

namespace {

// Every refill gives one byte, so every line spans refills.
class OneByteBuffer : public std::streambuf {
 public:
  explicit OneByteBuffer(std::string str) : m_str(std::move(str)) {}

 protected:
  int_type underflow() override {
    if (m_nNext >= m_str.size()) return traits_type::eof();
    m_c = m_str[m_nNext++];
    setg(&m_c, &m_c, &m_c + 1);
    return traits_type::to_int_type(m_c);
  }

 private:
  std::string m_str;
  std::size_t m_nNext = 0;
  char m_c = 0;
};

#pragma pack(push, 1)
struct Rec {
  std::int16_t nSigned;
  std::int32_t nLong;
  std::uint8_t nByte;
  std::int64_t nAmount;
  std::uint16_t nWord;
  char szText[7];
};
#pragma pack(pop)

constexpr _STAFormat kSigned = {"s", 6, 0, offsetof(Rec, nSigned), 2, FT_SIGNED, 1};
constexpr _STAFormat kLong = {"l", 11, 0, offsetof(Rec, nLong), 4, FT_SIGNED, 0};
constexpr _STAFormat kByte = {"b", 3, 0, offsetof(Rec, nByte), 1, FT_UNSIGNED, 1};
constexpr _STAFormat kAmount = {"a", 20, 2, offsetof(Rec, nAmount), 8, FT_SIGNED, 0};
constexpr _STAFormat kWord = {"w", 5, 0, offsetof(Rec, nWord), 2, FT_UNSIGNED, 0};
constexpr _STAFormat kText = {"t", 6, 0, offsetof(Rec, szText), 7, FT_TEXT, 0};

struct Layout {
  std::vector<_STAFormat> formats;
  long nDelimiter;
  long nQuote;
  int bSpace;
};

// Reads text with both streams and compares after every line.
void ExpectSameReading(const Layout& layout, const std::string& text) {
  Rec whole{};
  Rec single{};
  const auto nCount = static_cast<long>(layout.formats.size());
  _CTextAccessor accWhole("WHOLE", layout.formats.data(), nCount, &whole);
  _CTextAccessor accSingle("SINGLE", layout.formats.data(), nCount, &single);
  for (_CTextAccessor* pAcc : {&accWhole, &accSingle}) {
    ASSERT_EQ(pAcc->SetMode(layout.nDelimiter, layout.nQuote), 0);
    pAcc->SetSpaceFlag(layout.bSpace);
  }
  std::stringstream buffered(text);
  OneByteBuffer bytes(text);
  std::iostream unbuffered(&bytes);
  accWhole.Attach(&buffered);
  accSingle.Attach(&unbuffered);
  for (int nLine = 0;; ++nLine) {
    const long nResult = accWhole.Read();
    ASSERT_EQ(nResult, accSingle.Read()) << "line " << nLine << " of\n" << text;
    ASSERT_EQ(std::memcmp(&whole, &single, sizeof whole), 0) << "line " << nLine << " of\n" << text;
    ASSERT_EQ(buffered.rdstate(), unbuffered.rdstate()) << "line " << nLine;
    if (nResult == 1) break;
  }
}

const Layout kNumbers = {
    {kSigned, kLong, kByte}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE, 0};

TEST(TextAccessorStreams, RandomLinesReadAsFromABufferedStream) {
  std::mt19937 random(20261207);
  const std::string alphabet = "0123456789000111,,,,,-+ \t'\"a\r\n";
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 40);
  const Layout layouts[] = {
      kNumbers,
      {{kSigned, kLong, kByte}, _CTextAccessor::DELIM_TAB, _CTextAccessor::QUOTE_NONE, 0},
      {{kText, kAmount, kWord}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE, 1},
  };
  for (const Layout& layout : layouts) {
    for (int nText = 0; nText < 300; ++nText) {
      std::string text;
      for (int n = length(random); n > 0; --n) text += alphabet[pick(random)];
      // An overlong line in the middle: the next line is read intact.
      text += "\n12,3,4\n" + std::string(1030, '5') + "\r\n5,6,7\n";
      for (int n = length(random); n > 0; --n) text += alphabet[pick(random)];
      ExpectSameReading(layout, text);
    }
  }
}

TEST(TextAccessorStreams, ALongFileOfMatchLinesReadsEveryValue) {
  std::string text;
  for (int i = 0; i < 5000; ++i) {
    text += std::to_string(1 + i % 43) + ',' + std::to_string(100 + (i * 7919) % 9000) + ',' +
            std::to_string(i % 2) + (i % 3 ? "\n" : "\r\n");
  }
  Rec rec{};
  _CTextAccessor acc("MATCH", kNumbers.formats.data(), 3, &rec);
  acc.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  std::stringstream stream(text);
  acc.Attach(&stream);
  for (int i = 0; i < 5000; ++i) {
    ASSERT_EQ(acc.Read(), 0) << i;
    // Packed members are copied out before the comparison binds to them.
    ASSERT_EQ(int{rec.nSigned}, 1 + i % 43);
    ASSERT_EQ(std::int32_t{rec.nLong}, 100 + (i * 7919) % 9000);
    ASSERT_EQ(int{rec.nByte}, i % 2);
  }
  EXPECT_EQ(acc.Read(), 1);
}

}  // namespace
