#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "AppTestSupport.h"
#include "ProgramLevel.h"

namespace {

using apptest::ScratchDir;

int LevelOf(const ScratchDir& dir, const char* pszIni) {
  if (pszIni) dir.Write("MirabellDef.ini", pszIni);
  char szBuffer[PROGRAM_LEVEL_PATH_SIZE];
  return ReadProgramLevel(szBuffer, dir.path().c_str(), "RX16_G", 1);
}

TEST(ProgramLevel, ComparesTheInstalledLevelWithTheRequiredOne) {
  ScratchDir dir;
  EXPECT_EQ(LevelOf(dir, "[ProgramLevel]\r\nRX16_G=1\r\n"), 0);
  EXPECT_EQ(LevelOf(dir, "[ProgramLevel]\nRX16_G=0\n"), 1);
  EXPECT_EQ(LevelOf(dir, "[ProgramLevel]\nRX16_G=2\n"), 2);
  // Not a number reads as 0: the host is taken to be older.
  EXPECT_EQ(LevelOf(dir, "[ProgramLevel]\nRX16_G=abc\n"), 1);
}

TEST(ProgramLevel, MissingKeyPassesButEmptyValueAndMissingFileDoNot) {
  ScratchDir dir;
  EXPECT_EQ(LevelOf(dir, nullptr), -1);
  EXPECT_EQ(LevelOf(dir, "[ProgramLevel]\nOTHER=3\n"), 0);
  EXPECT_EQ(LevelOf(dir, ""), 0);
  EXPECT_EQ(LevelOf(dir, "[ProgramLevel]\nRX16_G=\n"), -1);

  char szBuffer[PROGRAM_LEVEL_PATH_SIZE];
  EXPECT_EQ(ReadProgramLevel(szBuffer, "", "RX16_G", 1), -1);
  EXPECT_EQ(ReadProgramLevel(szBuffer, nullptr, "RX16_G", 1), -1);
}

TEST(ProgramLevel, FolderEndingInADoubleByteCharacterGetsItsSeparator) {
  ScratchDir dir;
  // 表 is 0x95 0x5C in CP932: its second byte is a Windows path separator.
  const std::string strOs = dir.path() + "/" + apptest::U8(u8"表");
  std::filesystem::create_directory(strOs);
  std::ofstream(strOs + "/MirabellDef.ini") << "[ProgramLevel]\nRX16_G=2\n";
  const std::string strFolder = dir.path() + "/表";
  char szBuffer[PROGRAM_LEVEL_PATH_SIZE];
  EXPECT_EQ(ReadProgramLevel(szBuffer, strFolder.c_str(), "RX16_G", 1), 2);
  EXPECT_EQ(std::string(szBuffer), strFolder + "/MirabellDef.ini");
}

TEST(ProgramLevel, FolderTooLongForTheBufferIsRefusedNotOverrun) {
  const std::string strFolder = "/" + std::string(PROGRAM_LEVEL_PATH_SIZE, 'x');
  char szBuffer[PROGRAM_LEVEL_PATH_SIZE + 8];
  std::memset(szBuffer, 'G', sizeof szBuffer);
  EXPECT_EQ(ReadProgramLevel(szBuffer, strFolder.c_str(), "RX16_G", 1), -1);
  for (std::size_t i = PROGRAM_LEVEL_PATH_SIZE; i < sizeof szBuffer; ++i) {
    EXPECT_EQ(szBuffer[i], 'G');
  }
}

TEST(AppendPathSeparator, AppendsOnlyWhenThereIsRoom) {
  char szPath[8] = "/a/b";
  EXPECT_EQ(AppendPathSeparator(szPath, sizeof szPath), 1);
  EXPECT_STREQ(szPath, "/a/b/");
  EXPECT_EQ(AppendPathSeparator(szPath, sizeof szPath), 1);
  EXPECT_STREQ(szPath, "/a/b/");

  char szFull[6] = "/abcd";
  EXPECT_EQ(AppendPathSeparator(szFull, sizeof szFull), 0);
  EXPECT_STREQ(szFull, "/abcd");

  char szEmpty[4] = "";
  EXPECT_EQ(AppendPathSeparator(szEmpty, sizeof szEmpty), 0);
  EXPECT_EQ(AppendPathSeparator(szPath, 0), 0);
  EXPECT_EQ(AppendPathSeparator(szPath, -1), 0);
}

}  // namespace
