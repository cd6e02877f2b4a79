// Lines read straight from a buffered stream take shortcuts; a stream that
// hands out one byte at a time never does. Both must give the same results,
// records and stream states, line after line.

#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "_CTextAccessor.h"

namespace {

// Every refill gives one byte, so no line is ever found in the buffer.
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
  Rec fast{};
  Rec slow{};
  const auto nCount = static_cast<long>(layout.formats.size());
  _CTextAccessor accFast("FAST", layout.formats.data(), nCount, &fast);
  _CTextAccessor accSlow("SLOW", layout.formats.data(), nCount, &slow);
  for (_CTextAccessor* pAcc : {&accFast, &accSlow}) {
    ASSERT_EQ(pAcc->SetMode(layout.nDelimiter, layout.nQuote), 0);
    pAcc->SetSpaceFlag(layout.bSpace);
  }
  std::stringstream buffered(text);
  OneByteBuffer bytes(text);
  std::iostream unbuffered(&bytes);
  accFast.Attach(&buffered);
  accSlow.Attach(&unbuffered);
  for (int nLine = 0;; ++nLine) {
    const long nResult = accFast.Read();
    ASSERT_EQ(nResult, accSlow.Read()) << "line " << nLine << " of\n" << text;
    ASSERT_EQ(std::memcmp(&fast, &slow, sizeof fast), 0) << "line " << nLine << " of\n" << text;
    ASSERT_EQ(buffered.rdstate(), unbuffered.rdstate()) << "line " << nLine;
    if (nResult == 1) break;
  }
}

const Layout kNumbers = {
    {kSigned, kLong, kByte}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE, 0};

// Enough lines after the one under test that it is read from the middle of
// the buffer, where the widest shortcut applies.
std::string InBuffer(const std::string& line) { return line + "\n1,2,3\n4,5,6\n7,8,9\n10,11,12\n"; }

TEST(TextAccessorShortcuts, NumberLinesAtTheEdgesOfTheShortcuts) {
  const char* const lines[] = {
      "12,3456,1",
      "0,0,0",
      "1,12345678,1",
      "1,123456789,1",  // eight digits fit one step, nine do not
      "99999,1,1",
      "1,99999999999999,1",  // wrapped into narrow fields
      "1,999999999999999,1",
      "-5,+6,-1",  // fifteen digits; signs
      "12,3456,1\r",
      "12,3456,1\r\r",
      "1\r,2,3",
      "12,34567890123,1",
      "123,4567,89012,3",  // a full sixteen bytes
      "1,2",
      "1,2,3,4",
      "1,,3",
      ",2,3",
      "1,2,",
      "",
      "1 ,2,3",
      "1,2,3 ",
      " 1,2,3",
      "1,2,3a",
      "1a,2,3",
      "1,2;3",
      "1.5,2,3",
      "1,'2',3",
      "1,\"2\",3",
      "1,2\t,3",
      "00012,00,007",
  };
  for (const char* pszLine : lines) {
    ExpectSameReading(kNumbers, InBuffer(pszLine));
    Layout tab = kNumbers;
    tab.nDelimiter = _CTextAccessor::DELIM_TAB;
    std::string line = pszLine;
    for (char& c : line) {
      if (c == ',') c = '\t';
    }
    ExpectSameReading(tab, InBuffer(line));
  }
}

TEST(TextAccessorShortcuts, AmountsTextsAndOtherTablesAgree) {
  const Layout layouts[] = {
      {{kAmount, kWord}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE, 0},
      {{kText, kSigned, kText}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_DOUBLE, 1},
      {{kText, kAmount}, _CTextAccessor::DELIM_TAB, _CTextAccessor::QUOTE_SINGLE, 0},
      {{kSigned, kSigned, kSigned, kSigned, kSigned, kSigned, kSigned, kSigned},
       _CTextAccessor::DELIM_COMMA,
       _CTextAccessor::QUOTE_NONE,
       0},
      {{kSigned, kSigned, kSigned, kSigned, kSigned, kSigned, kSigned, kSigned, kSigned},
       _CTextAccessor::DELIM_COMMA,
       _CTextAccessor::QUOTE_NONE,
       0},
      {{}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE, 0},
  };
  const std::string lines[] = {
      "-123,65535",
      "12345678901234,7",
      "123456789012345,7",
      "abc,-4,de",
      "abcdefgh,1,x",
      "a b,1,c",
      "\"q\",1,x",
      "a\tb",
      "x,1",
      "1,2,3,4,5,6,7,8",
      "1,2,3,4,5,6,7,8,9",
      std::string("a\0b,1,c", 7),
      "\x82\xA0,1,\xE9\xFF",
  };
  for (const Layout& layout : layouts) {
    for (const std::string& line : lines) ExpectSameReading(layout, InBuffer(line));
  }
}

TEST(TextAccessorShortcuts, RandomLinesAgree) {
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
      text += "\n12,3,4\n5,6,7\n";
      for (int n = length(random); n > 0; --n) text += alphabet[pick(random)];
      ExpectSameReading(layout, text);
    }
  }
}

TEST(TextAccessorShortcuts, ALongFileOfMatchLinesReadsEveryValue) {
  std::string text;
  for (int i = 0; i < 5000; ++i) {
    text += std::to_string(1 + i % 43) + ',' + std::to_string(100 + (i * 7919) % 9000) + ',' +
            std::to_string(i % 2) + (i % 3 ? "\n" : "\r\n");
  }
  ExpectSameReading(kNumbers, text);

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
