#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "Cp932.h"
#include "FolderOps.h"
#include "OsPath.h"
#include "ScopedEnv.h"
#include "ScratchDir.h"
#include "TestText.h"
#include "UserFolder.h"
#include "WinFile.h"

namespace {

using testsupport::ScopedEnv;
using testsupport::ScratchDir;
using testsupport::U8;

const std::string kJose = "Jos\xC3\xA9";  // é has no CP932 form

void Write(const std::string& osPath, const std::string& text) {
  std::ofstream(osPath, std::ios::binary) << text;
}

std::string Read(const std::string& osPath) {
  std::ifstream in(osPath, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class FileOps : public ::testing::Test {
 protected:
  ScratchDir m_dir;
  std::string m_cp;  // the scratch folder with "/", valid as CP932 and UTF-8
  void SetUp() override { m_cp = m_dir.path() + "/"; }
};

TEST(OsPathTest, ConvertsJapaneseNamesAndRefusesWhatHasNoOtherForm) {
  std::string os;
  ASSERT_TRUE(platform::ToOsPath("/data/ﾐﾄﾞﾘ農産～/決算.env", os));
  EXPECT_EQ(os, U8(u8"/data/ﾐﾄﾞﾘ農産～/決算.env"));
  CString back;
  ASSERT_TRUE(platform::FromOsPath(os, back));
  EXPECT_EQ(back, "/data/ﾐﾄﾞﾘ農産～/決算.env");

  EXPECT_FALSE(platform::ToOsPath("/data/\x82", os));             // half a character
  EXPECT_FALSE(platform::ToOsPath(std::string("/a\0b", 4), os));  // would be cut at the NUL
  EXPECT_FALSE(platform::ToOsPath("", os));
  EXPECT_TRUE(os.empty());
  std::string cp;
  EXPECT_FALSE(cp932::FromUtf8(kJose, cp));
  EXPECT_FALSE(platform::FromOsPath("/home/" + kJose, back));
  EXPECT_TRUE(back.empty());
}

TEST_F(FileOps, CreatesNestedJapaneseFoldersAndTellsFilesFromFolders) {
  const CString folder = m_cp + "ﾐﾄﾞﾘ農産/決算書";
  EXPECT_FALSE(platform::FolderExists(folder));
  ASSERT_TRUE(platform::CreateFolder(folder));
  EXPECT_TRUE(std::filesystem::is_directory(m_dir.path() + U8(u8"/ﾐﾄﾞﾘ農産/決算書")));
  EXPECT_TRUE(platform::CreateFolder(folder + "/"));  // existing folder is fine
  EXPECT_TRUE(platform::FolderExists(folder));
  EXPECT_FALSE(platform::FileExists(folder));
  EXPECT_TRUE(PathFileExistsA(folder.c_str()));

  Write(m_dir.path() + U8(u8"/ﾐﾄﾞﾘ農産/決算書/概況.xml"), "x");
  const CString file = folder + "/概況.xml";
  EXPECT_TRUE(platform::FileExists(file));
  EXPECT_FALSE(platform::FolderExists(file));
  EXPECT_TRUE(PathFileExistsA(file.c_str()));
  EXPECT_FALSE(PathFileExistsA((folder + "/無い.xml").c_str()));
  EXPECT_FALSE(platform::CreateFolder(file + "/下"));  // a file stands in the way
  EXPECT_FALSE(platform::CreateFolder(m_cp + "\x82\x20"));
}

TEST_F(FileOps, CopyReplacesOnlyWhenAllowedAndNeverLeavesAPartialTarget) {
  const CString src = m_cp + "共通.dat";
  const CString dst = m_cp + "環境.env";
  Write(m_dir.path() + U8(u8"/共通.dat"), "new");
  Write(m_dir.path() + U8(u8"/環境.env"), "old");

  EXPECT_FALSE(CopyFileA(src.c_str(), dst.c_str(), TRUE));
  EXPECT_EQ(Read(m_dir.path() + U8(u8"/環境.env")), "old");
  EXPECT_TRUE(CopyFileA(src.c_str(), dst.c_str(), FALSE));
  EXPECT_EQ(Read(m_dir.path() + U8(u8"/環境.env")), "new");
  const CString fresh = m_cp + "新規.env";
  EXPECT_TRUE(CopyFileA(src.c_str(), fresh.c_str(), TRUE));
  EXPECT_EQ(Read(m_dir.path() + U8(u8"/新規.env")), "new");

  EXPECT_FALSE(CopyFileA((m_cp + "無い.dat").c_str(), dst.c_str(), FALSE));
  EXPECT_FALSE(CopyFileA(m_cp.c_str(), (m_cp + "dir.copy").c_str(), FALSE));   // a folder
  EXPECT_FALSE(CopyFileA(src.c_str(), (m_cp + "共通.dat/x").c_str(), FALSE));  // folder is a file
  ASSERT_TRUE(platform::CreateFolder(m_cp + "占有"));
  EXPECT_FALSE(CopyFileA(src.c_str(), (m_cp + "占有").c_str(), FALSE));  // target is a folder
  EXPECT_TRUE(std::filesystem::is_directory(m_dir.path() + U8(u8"/占有")));
  EXPECT_FALSE(CopyFileA(src.c_str(), (m_cp + std::string(300, 'n')).c_str(), FALSE));

  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(m_dir.path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 4);  // 共通.dat, 環境.env, 新規.env, 占有: no copy left behind
}

TEST_F(FileOps, OpenForReadGivesAPrivateHandle) {
  Write(m_dir.path() + "/QT10.EXE", "MZ");
  const HFILE file = _lopen((m_cp + "QT10.EXE").c_str(), OF_READ);
  ASSERT_NE(file, HFILE_ERROR);
  EXPECT_TRUE(::fcntl(file, F_GETFD) & FD_CLOEXEC);
  EXPECT_EQ(_lclose(file), 0);
  EXPECT_EQ(_lclose(file), HFILE_ERROR);
  EXPECT_EQ(_lopen((m_cp + "KP10.EXE").c_str(), OF_READ), HFILE_ERROR);
  EXPECT_EQ(_lopen("\x82", OF_READ), HFILE_ERROR);
}

TEST_F(FileOps, CurrentDirectoryRoundTripsInCp932AndRefusesAnUnnamableFolder) {
  char saved[4096];
  ASSERT_NE(::getcwd(saved, sizeof saved), nullptr);
  const CString folder = m_cp + "ﾊﾙﾓｱ１０";
  ASSERT_TRUE(platform::CreateFolder(folder));
  ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
  char buffer[MAX_PATH];
  EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), folder.size());
  EXPECT_EQ(CString(buffer), folder);
  EXPECT_EQ(GetCurrentDirectoryA(static_cast<DWORD>(folder.size()), buffer), folder.size() + 1);
  EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), folder.size() + 1);

  std::filesystem::create_directory(m_dir.path() + "/" + kJose);
  ASSERT_EQ(::chdir((m_dir.path() + "/" + kJose).c_str()), 0);
  EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), 0u);
  EXPECT_FALSE(SetCurrentDirectoryA((m_cp + "無い").c_str()));
  ASSERT_EQ(::chdir(saved), 0);
}

TEST(ProgramFolderTest, IsTheFolderOfTheRunningBinary) {
  CString folder;
  ASSERT_TRUE(platform::GetProgramFolder(folder));
  EXPECT_EQ(std::filesystem::canonical(folder),
            std::filesystem::canonical(RX16_BINARY_DIR "/tests/platform"));
  EXPECT_NE(folder.back(), '/');
}

TEST(PathSeparatorTest, AppendsWithinCapacityAndKeepsAnExistingOne) {
  char path[16] = "/opt/qt10";
  EXPECT_EQ(platform::AddPathSeparator(path, sizeof path), 1);
  EXPECT_STREQ(path, "/opt/qt10/");
  EXPECT_EQ(platform::AddPathSeparator(path, sizeof path), 1);
  EXPECT_STREQ(path, "/opt/qt10/");

  char table[8] = "/表";  // 表 ends in the byte 0x5C, which is no separator here
  EXPECT_EQ(platform::AddPathSeparator(table, sizeof table), 1);
  EXPECT_STREQ(table, "/表/");

  char full[6] = "/abcd";  // 5 bytes + NUL: no room for one more
  EXPECT_EQ(platform::AddPathSeparator(full, sizeof full), 0);
  EXPECT_STREQ(full, "/abcd");
  char roomy[7] = "/abcd";
  EXPECT_EQ(platform::AddPathSeparator(roomy, sizeof roomy), 1);
  EXPECT_STREQ(roomy, "/abcd/");

  char empty[4] = "";
  EXPECT_EQ(platform::AddPathSeparator(empty, sizeof empty), 0);
  EXPECT_EQ(platform::AddPathSeparator(path, 0), 0);
  EXPECT_EQ(platform::AddPathSeparator(path, -1), 0);
}

TEST(UserFolderTest, FollowsTheXdgVariablesThenHome) {
  ScopedEnv home("HOME", U8(u8"/home/農家"));
  {
    ScopedEnv docs("XDG_DOCUMENTS_DIR", U8(u8"/srv/書類"));
    ScopedEnv config("XDG_CONFIG_HOME", std::string("/srv/conf/"));
    CString out;
    ASSERT_TRUE(platform::GetDocumentsFolder(out));
    EXPECT_EQ(out, "/srv/書類/");
    ASSERT_TRUE(platform::GetCooperativeSettingsFolder(out));
    EXPECT_EQ(out, "/srv/conf/qt10/");
  }
  ScopedEnv docs("XDG_DOCUMENTS_DIR", std::string());
  ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
  CString out;
  ASSERT_TRUE(platform::GetDocumentsFolder(out));
  EXPECT_EQ(out, "/home/農家/Documents/");
  ASSERT_TRUE(platform::GetCooperativeSettingsFolder(out));
  EXPECT_EQ(out, "/home/農家/.config/qt10/");
}

TEST(UserFolderTest, DocumentsComeFromUserDirsAsXdgUserDirReadsThem) {
  ScratchDir dir;
  ScopedEnv home("HOME", dir.path() + "/home");
  ScopedEnv config("XDG_CONFIG_HOME", dir.path() + "/conf");
  ScopedEnv docs("XDG_DOCUMENTS_DIR", std::nullopt);
  std::filesystem::create_directories(dir.path() + "/conf");
  const struct {
    std::optional<std::string> strFile;  // user-dirs.dirs, none when missing
    std::string strFolder;               // the documents folder, after the scratch folder
  } arCase[] = {
      {U8(u8"# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n"
          u8"XDG_DOCUMENTS_DIR=\"$HOME/ドキュメント\"\n"),
       U8(u8"/home/ドキュメント/")},
      {"XDG_DOCUMENTS_DIR=\"" + dir.path() + U8(u8"/共有/書\\\"類\"  # quoted, escaped\n"),
       U8(u8"/共有/書\"類/")},
      {"XDG_DOCUMENTS_DIR=relative\n", "/home/Documents/"},
      {std::nullopt, "/home/Documents/"},
  };
  for (const auto& c : arCase) {
    std::filesystem::remove(dir.path() + "/conf/user-dirs.dirs");
    if (c.strFile) dir.Write("conf/user-dirs.dirs", *c.strFile);
    CString out;
    ASSERT_TRUE(platform::GetDocumentsFolder(out)) << c.strFolder;
    std::string strOs;
    ASSERT_TRUE(cp932::ToUtf8(out, strOs));
    EXPECT_EQ(strOs, dir.path() + c.strFolder);
  }
  // The variable wins over the file.
  ScopedEnv named("XDG_DOCUMENTS_DIR", U8(u8"/srv/書類"));
  CString out;
  ASSERT_TRUE(platform::GetDocumentsFolder(out));
  EXPECT_EQ(out, "/srv/書類/");
}

TEST(UserFolderTest, AHomeWithoutACp932FormIsRefusedNotMangled) {
  ScopedEnv home("HOME", "/home/" + kJose);
  ScopedEnv docs("XDG_DOCUMENTS_DIR", std::nullopt);
  ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
  CString out = "stale";
  EXPECT_FALSE(platform::GetDocumentsFolder(out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(platform::GetCooperativeSettingsFolder(out));
  EXPECT_TRUE(out.empty());

  ScopedEnv noHome("HOME", std::nullopt);
  EXPECT_FALSE(platform::GetDocumentsFolder(out));
  ScopedEnv relative("XDG_CONFIG_HOME", std::string("conf"));
  EXPECT_FALSE(platform::GetCooperativeSettingsFolder(out));
}

TEST(TempPathTest, EndsInASeparatorAndFallsBackToTmp) {
  char buffer[MAX_PATH];
  {
    ScopedEnv tmp("TMPDIR", U8(u8"/var/一時"));
    EXPECT_EQ(GetTempPathA(sizeof buffer, buffer), 10u);
    EXPECT_STREQ(buffer, "/var/一時/");
    EXPECT_EQ(GetTempPathA(5, buffer), 11u);
  }
  {
    ScopedEnv tmp("TMPDIR", "/var/" + kJose);
    EXPECT_EQ(GetTempPathA(sizeof buffer, buffer), 5u);
    EXPECT_STREQ(buffer, "/tmp/");
  }
  ScopedEnv tmp("TMPDIR", std::nullopt);
  EXPECT_EQ(GetTempPathA(sizeof buffer, buffer), 5u);
  EXPECT_STREQ(buffer, "/tmp/");
}

}  // namespace
