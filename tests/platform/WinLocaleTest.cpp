#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "WinLocale.h"

namespace {

// Maps a NUL-terminated CP932 text into a buffer of the given capacity.
std::string Map(const char* text, int capacity, int* result = nullptr) {
  char buffer[128] = {};
  const int n = LCMapStringA(GetSystemDefaultLCID(), LCMAP_FULLWIDTH, text, -1, buffer, capacity);
  if (result != nullptr) *result = n;
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n) - 1) : std::string();
}

TEST(FullWidthTest, ABusinessNameBecomesFullWidthWithVoicedKanaComposed) {
  int n = 0;
  EXPECT_EQ(Map("ﾐﾄﾞﾘ農産(株) ｶﾞｰﾃﾞﾝ~No.1", 82, &n), "ミドリ農産（株）　ガーデン～Ｎｏ．１");
  EXPECT_EQ(n, 37);  // 18 double-byte characters and the NUL
  EXPECT_EQ(Map("ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ ｳﾞ", 82), "パピプペポ　ヴ");
  EXPECT_EQ(Map("ABCxyz0189", 82), "ＡＢＣｘｙｚ０１８９");
  EXPECT_EQ(Map("!\"#$%&'*+,-/:;<=>?@[]^_`{|}", 82),
            "！＂＃＄％＆＇＊＋，－／：；＜＝＞？＠［］＾＿｀｛｜｝");
  EXPECT_EQ(Map("｢ﾃｽﾄ｣､｡･", 82), "「テスト」、。・");
  EXPECT_EQ(Map("既に全角のＡ", 82), "既に全角のＡ");
}

TEST(FullWidthTest, CapacityZeroAsksForTheSizeAndTooSmallFails) {
  const char* name = "ｶﾌﾞｼｷｶﾞｲｼｬ ABC";  // 8 kana once composed, a blank, 3 letters
  EXPECT_EQ(LCMapStringA(0x0411, LCMAP_FULLWIDTH, name, -1, nullptr, 0), 25);
  char exact[25];
  EXPECT_EQ(LCMapStringA(0x0411, LCMAP_FULLWIDTH, name, -1, exact, 25), 25);
  EXPECT_STREQ(exact, "カブシキガイシャ　ＡＢＣ");
  char small[24];
  std::memset(small, '#', sizeof small);
  EXPECT_EQ(LCMapStringA(0x0411, LCMAP_FULLWIDTH, name, -1, small, 24), 0);

  // Without -1 the NUL is not part of the text or the result.
  char counted[8] = {};
  EXPECT_EQ(LCMapStringA(0x0411, LCMAP_FULLWIDTH, "ab", 2, counted, sizeof counted), 4);
  EXPECT_STREQ(counted, "ａｂ");
}

TEST(FullWidthTest, RefusesOtherFlagsAndTextThatIsNotCp932) {
  char buffer[16];
  EXPECT_EQ(LCMapStringA(0x0411, 0x00400000, "abc", -1, buffer, sizeof buffer), 0);
  EXPECT_EQ(LCMapStringA(0x0411, LCMAP_FULLWIDTH, "a\x82", -1, buffer, sizeof buffer), 0);
  EXPECT_EQ(LCMapStringA(0x0411, LCMAP_FULLWIDTH, "abc", 0, buffer, sizeof buffer), 0);
  EXPECT_EQ(LCMapStringA(0x0411, LCMAP_FULLWIDTH, nullptr, -1, buffer, sizeof buffer), 0);
  EXPECT_EQ(LCMapStringA(0x0411, LCMAP_FULLWIDTH, "abc", -1, nullptr, 16), 0);
}

}  // namespace
