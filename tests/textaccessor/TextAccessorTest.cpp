#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <tuple>

#include "_CTextAccessor.h"

namespace {

struct Rec {
  char szA[31];
  std::int16_t nB;
  std::int64_t nAmount;
  std::uint8_t nC;
  char szD[9];
};

_STAFormat Fmt(int nWidth, int nDecimals, int nOffset, int nSize, int nType, int bRequired) {
  _STAFormat f{};
  f.nWidth = nWidth;
  f.nDecimals = nDecimals;
  f.nOffset = nOffset;
  f.nSize = nSize;
  f.nType = nType;
  f.bRequired = bRequired;
  return f;
}

const _STAFormat kText = Fmt(30, 0, offsetof(Rec, szA), 31, FT_TEXT, 0);
const _STAFormat kShort = Fmt(4, 0, offsetof(Rec, nB), 2, FT_SIGNED, 1);
const _STAFormat kAmount = Fmt(8, 2, offsetof(Rec, nAmount), 8, FT_SIGNED, 0);
const _STAFormat kByte = Fmt(1, 0, offsetof(Rec, nC), 1, FT_UNSIGNED, 0);
const _STAFormat kText2 = Fmt(8, 0, offsetof(Rec, szD), 9, FT_TEXT, 0);

// An accessor over a string stream with a cleared record.
struct Fixture {
  Rec rec{};
  std::stringstream stream;
  _CTextAccessor acc;
  Fixture(std::initializer_list<_STAFormat> formats, long nDelimiter, long nQuote)
      : acc("TEST", Table(formats), static_cast<long>(formats.size()), &rec) {
    EXPECT_EQ(acc.SetMode(nDelimiter, nQuote), 0);
    acc.Attach(&stream);
  }
  static const _STAFormat* Table(std::initializer_list<_STAFormat> formats) {
    static _STAFormat table[8];
    std::copy(formats.begin(), formats.end(), table);
    return table;
  }
  long ReadLine(const std::string& line) {
    std::memset(&rec, 0, sizeof rec);
    stream.clear();
    stream.str(line + "\n");
    return acc.Read();
  }
  std::string WriteLine() {
    stream.clear();
    stream.str("");
    EXPECT_EQ(acc.Write(), 0);
    return stream.str();
  }
};

TEST(TextAccessorComma, QuotedAndAbsentFieldsAndTheirFailures) {
  Fixture t({kText, kShort, kAmount, kText2}, _CTextAccessor::DELIM_COMMA,
            _CTextAccessor::QUOTE_SINGLE);
  ASSERT_EQ(t.ReadLine(" 'abc' , 12,,'x,y'"), 0);
  EXPECT_STREQ(t.rec.szA, "abc");
  EXPECT_EQ(t.rec.nB, 12);
  EXPECT_EQ(t.rec.nAmount, 0);
  EXPECT_STREQ(t.rec.szD, "x,y");

  EXPECT_EQ(t.ReadLine("a,,,"), 2) << "absent required number";
  EXPECT_EQ(t.ReadLine("a,'',,"), 0) << "empty quotes leave a required number as it was";
  EXPECT_EQ(t.ReadLine("a,1,2"), 2) << "too few fields";
  EXPECT_EQ(t.ReadLine("a,1,2,3,4"), 2) << "too many fields";
  EXPECT_EQ(t.ReadLine("'a'b,1,2,3"), 2) << "text after a closing quote";
  EXPECT_EQ(t.ReadLine("'a,1,2,3"), 2) << "unclosed quote";
  EXPECT_EQ(t.ReadLine("a'b,1,2,3"), 2) << "quote inside a bare field";
  EXPECT_EQ(t.ReadLine("\"a\",1,2,3"), 2) << "the other quotation mark";

  Fixture any({kText, kText2}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  ASSERT_EQ(any.ReadLine("'say \"hi\"',\"it's\""), 0);
  EXPECT_STREQ(any.rec.szA, "say \"hi\"");
  EXPECT_STREQ(any.rec.szD, "it's");
  EXPECT_EQ(any.ReadLine("a,"), 0);
  EXPECT_EQ(any.ReadLine(",,"), 2);
  EXPECT_EQ(any.ReadLine(""), 2);

  Fixture three({kText, kText2, kByte}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  EXPECT_EQ(three.ReadLine(",,"), 0);
  Fixture one({kText}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  EXPECT_EQ(one.ReadLine(""), 0);
}

TEST(TextAccessorComma, SpaceFlagKeepsInnerBlanksAndDropsTrailingOnes) {
  Fixture t({kText, kText2}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  EXPECT_EQ(t.ReadLine("a b,c"), 2);
  t.acc.SetSpaceFlag(1);
  ASSERT_EQ(t.ReadLine("a b,c"), 0);
  EXPECT_STREQ(t.rec.szA, "a b");
  ASSERT_EQ(t.ReadLine("a  ,b"), 0);
  EXPECT_STREQ(t.rec.szA, "a");
  ASSERT_EQ(t.ReadLine("b,a \t "), 0);
  EXPECT_STREQ(t.rec.szD, "a");
}

TEST(TextAccessorTab, TabSeparatesCommaIsTextSpaceEndsAField) {
  Fixture t({kText, kText2}, _CTextAccessor::DELIM_TAB, _CTextAccessor::QUOTE_DOUBLE);
  t.acc.SetSpaceFlag(1);
  ASSERT_EQ(t.ReadLine(" a,b \t \"c d\" "), 0);
  EXPECT_STREQ(t.rec.szA, "a,b");
  EXPECT_STREQ(t.rec.szD, "c d");
  EXPECT_EQ(t.ReadLine("\t"), 0) << "two absent fields";
  EXPECT_EQ(t.ReadLine("a b\tc"), 2) << "a space ends a bare field whatever the flag";
  EXPECT_EQ(t.ReadLine("a,b"), 2);
}

TEST(TextAccessorSpace, BlankRunsSeparateAndOnlyABlankLineIsAbsent) {
  Fixture t({kText, kShort}, _CTextAccessor::DELIM_SPACE, _CTextAccessor::QUOTE_NONE);
  ASSERT_EQ(t.ReadLine(" \t'a, b'   -7 "), 0);
  EXPECT_STREQ(t.rec.szA, "a, b");
  EXPECT_EQ(t.rec.nB, -7);
  EXPECT_EQ(t.ReadLine("'a'b 1"), 2);
  EXPECT_EQ(t.ReadLine("a\"b 1"), 2);
  EXPECT_EQ(t.ReadLine("a 1 2"), 2);
  Fixture one({kText}, _CTextAccessor::DELIM_SPACE, _CTextAccessor::QUOTE_NONE);
  EXPECT_EQ(one.ReadLine("   "), 0);
  Fixture req({kShort}, _CTextAccessor::DELIM_SPACE, _CTextAccessor::QUOTE_NONE);
  EXPECT_EQ(req.ReadLine(""), 2);
}

TEST(TextAccessorFixed, PiecesMustCoverTheLineExactly) {
  Fixture t({kShort, kText2, kAmount}, _CTextAccessor::DELIM_FIXED, _CTextAccessor::QUOTE_NONE);
  ASSERT_EQ(t.ReadLine("  42 ab     -12.3456"), 0);
  EXPECT_EQ(t.rec.nB, 42);
  EXPECT_STREQ(t.rec.szD, " ab     ");
  EXPECT_EQ(t.rec.nAmount, -123456);
  EXPECT_EQ(t.ReadLine("  42 ab     -12.345"), 2);
  EXPECT_EQ(t.ReadLine("  42 ab     -12.34567"), 2);
  EXPECT_EQ(t.acc.SetMode(_CTextAccessor::DELIM_FIXED, _CTextAccessor::QUOTE_DOUBLE), 1);
  EXPECT_EQ(t.acc.SetMode(_CTextAccessor::DELIM_SPACE + 1, _CTextAccessor::QUOTE_NONE), 1);
  EXPECT_EQ(t.ReadLine("  42 ab     -12.3456"), 0) << "refused modes change nothing";
}

TEST(TextAccessorNumbers, ParsesAmountsLikeTheExamples) {
  Fixture t({kAmount}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_DOUBLE);
  const struct {
    const char* text;
    long result;
    std::int64_t amount;
  } cases[] = {
      {"\" 12\"", 0, 120000},
      {"-1.5", 0, -15000},
      {"\"1,234.56789\"", 0, 12345678},
      {"12a3", 0, 1230000},
      {"+\\7", 0, 70000},
      {"\"12 3\"", 2, 0},
      {"1.2.3", 2, 0},
      {"1-2", 2, 0},
      {"\"12  \"", 0, 120000},
      {"922337203685477", 0, 9223372036854770000},
      {"922337203685478", 2, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(t.ReadLine(c.text), c.result) << c.text;
    if (c.result == 0) {
      EXPECT_EQ(t.rec.nAmount, c.amount) << c.text;
    }
  }
  for (const char* blank : {"", "\"\"", "\" \""}) {
    std::memset(&t.rec, 0, sizeof t.rec);
    t.rec.nAmount = 5;
    t.stream.clear();
    t.stream.str(std::string(blank) + "\n");
    EXPECT_EQ(t.acc.Read(), 0);
    EXPECT_EQ(t.rec.nAmount, 5) << "blank leaves the value: " << blank;
  }

  Fixture narrow({kShort, kByte}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  ASSERT_EQ(narrow.ReadLine("-1.9,300"), 0);
  EXPECT_EQ(narrow.rec.nB, -1) << "integer part, truncated toward zero";
  EXPECT_EQ(narrow.rec.nC, 300 % 256) << "low byte kept";
}

TEST(TextAccessorWrite, NumbersTextAndAmountsWithDecimals) {
  _STAFormat amount0 = kAmount;
  amount0.nDecimals = 0;
  _STAFormat narrowText = kText;
  narrowText.nWidth = 4;
  Fixture t({narrowText, kShort, kAmount, kByte}, _CTextAccessor::DELIM_COMMA,
            _CTextAccessor::QUOTE_DOUBLE);
  std::strcpy(t.rec.szA, "\x93\xfa\x96\x7bxyz");
  t.rec.nB = -32768;
  t.rec.nAmount = -15000;
  t.rec.nC = 255;
  EXPECT_EQ(t.WriteLine(), "\"\x93\xfa\x96\x7b\",-32768,-1.50,255\n");

  Fixture read({kText}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  ASSERT_EQ(read.ReadLine("\x93\xfa\x96\x7b_123456789012345678901234567890"), 0);  // 35 bytes
  EXPECT_EQ(std::string(read.rec.szA), "\x93\xfa\x96\x7b_1234567890123456789012345");
  EXPECT_EQ(read.rec.szA[30], '\0');

  Fixture fixed({kText2, kAmount, kShort, amount0}, _CTextAccessor::DELIM_FIXED,
                _CTextAccessor::QUOTE_NONE);
  std::strcpy(fixed.rec.szD, "ab");
  fixed.rec.nAmount = 123499;  // the fraction is cut, not rounded
  fixed.rec.nB = 7;
  EXPECT_EQ(fixed.WriteLine(), "ab         12.34   7      12\n");
  fixed.rec.nAmount = INT64_MIN;
  EXPECT_EQ(fixed.WriteLine(), "ab      -922337203685477.58   7-922337203685477\n");
  fixed.rec.nAmount = -5000;
  EXPECT_EQ(fixed.WriteLine(), "ab         -0.50   7      -0\n");
}

TEST(TextAccessorMasks, MaskBelongsToTheFormatIndex) {
  Fixture t({kText2, kShort, kByte}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  std::strcpy(t.rec.szD, "x");
  t.rec.nB = 1;
  t.rec.nC = 2;
  EXPECT_EQ(t.acc.SetMask(3, 1), -1);
  EXPECT_EQ(t.acc.SetMask(-1, 1), -1);
  EXPECT_EQ(t.acc.GetMask(3), -1);
  EXPECT_EQ(t.acc.SetMask(0, 0x102), 0);
  EXPECT_EQ(t.acc.GetMask(0), 2);
  EXPECT_EQ(t.acc.SetMask(2, 0xFF), 0);
  EXPECT_EQ(t.acc.GetMask(2), 255);
  EXPECT_EQ(t.WriteLine(), " ,1,\n");
  ASSERT_EQ(t.acc.RotateFormat(0, 1, 3), 0);
  EXPECT_EQ(t.WriteLine(), " ,x,\n") << "rotated formats meet the masks of their new places";
  t.acc.SetMode(_CTextAccessor::DELIM_FIXED, _CTextAccessor::QUOTE_NONE);
  t.acc.ResetRotate();
  EXPECT_EQ(t.WriteLine(), "           1 \n");
}

TEST(TextAccessorMasks, ATableBeyondTheMaskArrayIsCut) {
  static _STAFormat table[150];
  std::fill(std::begin(table), std::end(table), kText);
  Rec rec{};
  _CTextAccessor acc("BIG", table, 150, &rec);
  EXPECT_EQ(acc.GetFormatCount(), 100);
  EXPECT_EQ(acc.SetMask(99, 1), 0);
  EXPECT_EQ(acc.SetMask(100, 1), -1);
  EXPECT_EQ(acc.GetMask(120), -1);
}

TEST(TextAccessorRotate, RotatesABlockAndRefusesBadRanges) {
  _STAFormat table[5];
  for (int i = 0; i < 5; ++i) {
    table[i] = kText;
    table[i].szName[0] = static_cast<char>('A' + i);
  }
  Rec rec{};
  _CTextAccessor acc("R", table, 5, &rec);
  auto order = [&] {
    std::string s;
    for (int i = 0; i < acc.GetFormatCount(); ++i) s += acc.GetFormat()[i].szName[0];
    return s;
  };
  EXPECT_EQ(acc.RotateFormat(1, 3, 3), 0);
  EXPECT_EQ(order(), "ACDBE");
  const std::tuple<long, long, long> refused[] = {{4, 4, 1},  {1, 4, 3}, {1, 0, 3},
                                                  {-1, 0, 2}, {2, 2, 4}, {0, 0, 0}};
  for (auto [first, target, count] : refused) {
    EXPECT_EQ(acc.RotateFormat(first, target, count), 1) << first << " " << target << " " << count;
  }
  EXPECT_EQ(order(), "ACDBE");
  acc.ResetRotate();
  EXPECT_EQ(order(), "ABCDE");
}

TEST(TextAccessorSelect, ListOrdersTheFieldsWhileTheFlagIsOff) {
  Fixture t({kText, kShort, kByte}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  const std::int32_t bad[] = {0, 3};
  EXPECT_EQ(t.acc.SetSelect(bad, 2), -1);
  const std::int32_t list[] = {2, 0};
  ASSERT_EQ(t.acc.SetSelect(list, 2), 0);
  EXPECT_EQ(t.ReadLine("9,a"), 2) << "the flag is on after construction";
  t.acc.SetSelectFlag(0);
  ASSERT_EQ(t.ReadLine("9,a"), 0);
  EXPECT_EQ(t.rec.nC, 9);
  EXPECT_STREQ(t.rec.szA, "a");
  EXPECT_EQ(t.WriteLine(), "9,a\n");
  ASSERT_EQ(t.acc.SetSelect(nullptr, 0), 0);
  EXPECT_EQ(t.ReadLine("a,1,9"), 0);
}

TEST(TextAccessorLines, EndOfFileCrLfAndOverlongLines) {
  Fixture t({kText, kShort}, _CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  const std::string longLine = std::string(1024, 'x') + ",1";
  const std::string fits = std::string(1021, 'y') + ",1";  // 1023 characters
  t.stream.str("a,1\r\n" + longLine + "\r\n" + fits + "\r\nb,2\nlast,3");
  ASSERT_EQ(t.acc.Read(), 0);
  EXPECT_STREQ(t.rec.szA, "a");
  EXPECT_EQ(t.acc.Read(), 2) << "overlong line";
  EXPECT_EQ(t.acc.Read(), 0) << "the line after it is intact";
  ASSERT_EQ(t.acc.Read(), 0);
  EXPECT_EQ(t.rec.nB, 2);
  EXPECT_EQ(t.acc.Read(), 1) << "a last line without a newline is not read";
  EXPECT_EQ(t.acc.Read(), 1);

  t.stream.clear();
  t.stream.str(std::string(1024, 'z') + "\n");
  EXPECT_EQ(t.acc.Read(), 2);
  EXPECT_EQ(t.acc.Read(), 1);

  t.stream.clear(std::ios_base::badbit);
  t.stream.str("a,1\n");
  EXPECT_EQ(t.acc.Read(), 2) << "a broken stream is not a clean end of file";

  _CTextAccessor detached("D", &kText, 1, &t.rec);
  EXPECT_EQ(detached.Read(), 1);
  EXPECT_EQ(detached.Write(), -1);
}

// Accepts a fixed number of bytes, then refuses.
class ShortBuf : public std::streambuf {
 public:
  explicit ShortBuf(int nRoom) : m_nRoom(nRoom) {}
  std::string m_str;

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (m_nRoom <= 0) return traits_type::eof();
    --m_nRoom;
    m_str.push_back(traits_type::to_char_type(c));
    return c;
  }

 private:
  int m_nRoom;
};

TEST(TextAccessorWrite, AFailedStreamIsReported) {
  Rec rec{};
  std::strcpy(rec.szA, "abcdef");
  const _STAFormat table[] = {kText, kShort};
  _CTextAccessor acc("W", table, 2, &rec);
  acc.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  for (int room : {3, 6, 7, 8}) {
    ShortBuf buf(room);
    std::iostream stream(&buf);
    acc.Attach(&stream);
    EXPECT_EQ(acc.Write(), -1) << room;
  }
  ShortBuf buf(9);
  std::iostream stream(&buf);
  acc.Attach(&stream);
  EXPECT_EQ(acc.Write(), 0);
  EXPECT_EQ(buf.m_str, "abcdef,0\n");
}

}  // namespace
