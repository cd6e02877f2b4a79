#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "ScopedEnv.h"
#include "ScratchDir.h"
#include "TestText.h"
#include "WinProfile.h"

namespace {

using testsupport::ScratchDir;

class ProfileTest : public ::testing::Test {
 protected:
  ScratchDir m_dir;

  // Writes a CP932 profile under a Japanese file name; returns its CP932 path.
  std::string Ini(const std::string& text) {
    std::ofstream(m_dir.path() + testsupport::U8(u8"/設定.ini"), std::ios::binary) << text;
    return m_dir.path() + "/設定.ini";
  }

  std::string Get(const std::string& file, const char* section, const char* key, const char* def,
                  DWORD size = 16, DWORD* length = nullptr) {
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    const DWORD n = GetPrivateProfileStringA(section, key, def, buffer, size, file.c_str());
    if (length != nullptr) *length = n;
    return std::string(buffer, n);
  }
};

TEST_F(ProfileTest, ProgramLevelCasesReadAsWindowsReadsThem) {
  const std::string file = Ini(
      "; MirabellDef\r\n[ProgramLevel]\r\nRX16_G=2\r\nRX15=\r\nRX14 = \r\n[Other]\r\nRX17=9\r\n");
  DWORD n = 99;
  EXPECT_EQ(Get(file, "ProgramLevel", "RX16_G", "1", 16, &n), "2");
  EXPECT_EQ(n, 1u);
  EXPECT_EQ(Get(file, "ProgramLevel", "RX15", "1", 16, &n), "");  // empty value is kept
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(Get(file, "ProgramLevel", "RX14", "1"), "");
  EXPECT_EQ(Get(file, "ProgramLevel", "RX17", "1"), "1");  // key of another section
  EXPECT_EQ(Get(file, "Missing", "RX16_G", "1"), "1");
  EXPECT_EQ(Get(m_dir.path() + "/無い.ini", "ProgramLevel", "RX16_G", "1"), "1");
  // A folder of that name reads as a missing file.
  std::filesystem::create_directory(m_dir.path() + "/dir.ini");
  EXPECT_EQ(Get(m_dir.path() + "/dir.ini", "ProgramLevel", "RX16_G", "1"), "1");
  EXPECT_EQ(Get(file, "ProgramLevel", "None", nullptr, 16, &n), "");
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(Get(file, "ProgramLevel", "None", "既定値  \t"), "既定値");
}

TEST_F(ProfileTest, NamesMatchWithoutAsciiCaseAndBlanksAreDropped) {
  const std::string lf =
      "  [ programlevel ]\n\tRx16_g  =  ﾐﾄﾞﾘ農産 ～ \n"
      "Quoted=\"  spaced  \"\nSingle='x'\nHalf=\"open\nEq=a=b\n";
  const std::string file = Ini(lf);
  EXPECT_EQ(Get(file, "ProgramLevel", "RX16_G", "1", 32), "ﾐﾄﾞﾘ農産 ～");
  EXPECT_EQ(Get(file, "PROGRAMLEVEL", "quoted", "", 32), "  spaced  ");
  EXPECT_EQ(Get(file, "programlevel", "single", ""), "x");
  EXPECT_EQ(Get(file, "programlevel", "half", ""), "\"open");
  EXPECT_EQ(Get(file, "programlevel", "eq", ""), "a=b");
}

TEST_F(ProfileTest, SecondBytesOfJapaneseNamesAreNotCaseFolded) {
  // ア is 0x83 0x41 and ヂ is 0x83 0x61: they differ only in an "A"/"a" second byte.
  const std::string file = Ini("[農産]\r\nア=1\r\n[のうさん]\r\nキー=2\r\n");
  EXPECT_EQ(Get(file, "農産", "ア", "none"), "1");
  EXPECT_EQ(Get(file, "農産", "ヂ", "none"), "none");
  EXPECT_EQ(Get(file, "のうさん", "キー", "none"), "2");
}

TEST_F(ProfileTest, LongValuesAreCutToTheBufferWithoutSplittingACharacter) {
  const std::string file = Ini("[S]\nLong=1234567890ABCDEFGHIJ\nName=ﾐﾄﾞﾘ農産～組合\n");
  DWORD n = 0;
  EXPECT_EQ(Get(file, "S", "Long", "1", 16, &n), "1234567890ABCDE");
  EXPECT_EQ(n, 15u);
  EXPECT_EQ(Get(file, "S", "Name", "", 8, &n), "ﾐﾄﾞﾘ農");  // 産 would need bytes 7 and 8
  EXPECT_EQ(n, 6u);
  EXPECT_EQ(Get(file, "S", "Missing", "既定の長い値です", 6, &n), "既定");
  EXPECT_EQ(Get(file, "S", "Long", "1", 1, &n), "");
  EXPECT_EQ(n, 0u);
  char untouched = '#';
  EXPECT_EQ(GetPrivateProfileStringA("S", "Long", "1", &untouched, 0, file.c_str()), 0u);
  EXPECT_EQ(untouched, '#');
}

TEST_F(ProfileTest, FirstSectionOfANameWinsAndNullNamesListSectionsAndKeys) {
  const std::string file =
      Ini("orphan=0\n[製品]\r\n製品名=ハルモア１０\r\n版=10.00\r\n[製品]\r\n版=99\r\n[X]\r\n");
  EXPECT_EQ(Get(file, "製品", "版", ""), "10.00");
  EXPECT_EQ(Get(file, "製品", "orphan", "-"), "-");

  DWORD n = 0;
  EXPECT_EQ(Get(file, nullptr, nullptr, "", 64, &n), std::string("製品\0製品\0X\0", 12));
  EXPECT_EQ(n, 12u);
  EXPECT_EQ(Get(file, "製品", nullptr, "", 64, &n), std::string("製品名\0版\0", 10));
  EXPECT_EQ(Get(file, "製品", nullptr, "", 8, &n), std::string("製品名", 6));
  EXPECT_EQ(n, 6u);
  char buffer[8];
  GetPrivateProfileStringA("製品", nullptr, "", buffer, 8, file.c_str());
  EXPECT_EQ(buffer[6], '\0');
  EXPECT_EQ(buffer[7], '\0');
  EXPECT_EQ(Get(file, "無い", nullptr, "", 64, &n), "");
}

}  // namespace
