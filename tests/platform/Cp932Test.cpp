#include <gtest/gtest.h>

#include "Cp932.h"

namespace {

// The test sources are compiled to CP932, so u8 literals give the UTF-8 side.
std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

TEST(Cp932, RoundTripsABusinessNameWithHalfWidthKanaAndWaveDash) {
  const std::string cp = "ﾐﾄﾞﾘ農産～(株)";
  std::string utf8;
  ASSERT_TRUE(cp932::ToUtf8(cp, utf8));
  EXPECT_EQ(utf8, U8(u8"ﾐﾄﾞﾘ農産～(株)"));
  std::string back;
  ASSERT_TRUE(cp932::FromUtf8(utf8, back));
  EXPECT_EQ(back, cp);
  EXPECT_EQ(std::string("～"), "\x81\x60");
}

TEST(Cp932, ConvertsTheNecAndIbmExtensions) {
  std::string cp;
  ASSERT_TRUE(cp932::FromUtf8(U8(u8"①㈱髙"), cp));
  EXPECT_EQ(cp, "\x87\x40\x87\x8A\xFB\xFC");
  std::string utf8;
  ASSERT_TRUE(cp932::ToUtf8("\xED\x40", utf8));  // NEC-selected IBM extension
  EXPECT_EQ(utf8, U8(u8"纊"));
}

TEST(Cp932, RefusesBytesAndCharactersWithoutAForm) {
  std::string out = "untouched";
  EXPECT_FALSE(cp932::ToUtf8("\x82", out));                // lead byte with no trail
  EXPECT_FALSE(cp932::ToUtf8("\x81\x20", out));            // invalid trail byte
  EXPECT_FALSE(cp932::FromUtf8("\xF0\x9F\x98\x80", out));  // no CP932 form
  EXPECT_FALSE(cp932::FromUtf8("\xC3", out));              // broken UTF-8
  EXPECT_TRUE(out.empty());
}

TEST(Cp932, TheCheckAgreesWithTheConversionOnEveryCode) {
  std::string out;
  for (int c = 0; c < 256; ++c) {
    const std::string single(1, static_cast<char>(c));
    EXPECT_EQ(cp932::IsCp932(single), cp932::ToUtf8(single, out)) << c;
    for (int t = 0; t < 256; ++t) {
      const std::string pair = "A" + single + static_cast<char>(t);
      ASSERT_EQ(cp932::IsCp932(pair), cp932::ToUtf8(pair, out)) << c << " " << t;
    }
  }
}

TEST(Cp932, CutsWithoutSplittingADoubleByteCharacter) {
  const std::string text = "AB農産";  // 2 + 2 + 2 bytes
  EXPECT_EQ(cp932::CutLength(text, 3), 2u);
  EXPECT_EQ(cp932::CutLength(text, 4), 4u);
  EXPECT_EQ(cp932::CutLength(text, 100), 6u);
  EXPECT_EQ(cp932::CutLength("ｶ", 1), 1u);  // half-width kana is one byte
  EXPECT_TRUE(cp932::IsLeadByte(0x81));
  EXPECT_TRUE(cp932::IsLeadByte(0xFC));
  EXPECT_FALSE(cp932::IsLeadByte(0xA0));
  EXPECT_FALSE(cp932::IsLeadByte(0xB6));
}

TEST(Cp932, LoneLeadByteAtTheEndIsOneCharacter) {
  const std::string text = "農\x82";  // a whole character, then a lead byte alone
  EXPECT_EQ(cp932::CharLength(text, 0), 2u);
  EXPECT_EQ(cp932::CharLength(text, 2), 1u);
  EXPECT_EQ(cp932::CharLength("A", 0), 1u);
  EXPECT_EQ(cp932::CutLength(text, 3), 3u);
  EXPECT_FALSE(cp932::IsCp932(text));
  EXPECT_TRUE(cp932::IsCp932("農"));
}

}  // namespace
