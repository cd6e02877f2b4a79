// Window-utility classes: number checks, folders, editions and the
// semaphore file.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "CConv.h"
#include "CDlgSub.h"
#include "CSemaFile.h"
#include "CUtyFile.h"
#include "CValueMgr.h"
#include "CYmd.h"
#include "DirOpe.h"
#include "InitWinLibDLL.h"
#include "LedgerFixture.h"

using namespace ledgertest;

TEST(ValueCheckTest, AcceptsOnlyDecimalIntegersInRange) {
  CDlgSub sub;
  EXPECT_TRUE(sub.ValueCheck("1", 1, 12));
  EXPECT_TRUE(sub.ValueCheck("12", 1, 12));
  EXPECT_TRUE(sub.ValueCheck("04", 1, 12));
  EXPECT_TRUE(sub.ValueCheck("-3", -5, 5));
  for (const char* bad :
       {"0", "13", "", " 4", "4 ", "+4", "4a", "a", "-", "1.5", "１２", "99999999999", "--1"})
    EXPECT_FALSE(sub.ValueCheck(bad, 1, 12)) << bad;
  EXPECT_FALSE(sub.ValueCheck(nullptr, 1, 12));

  CConv conv;
  short v = 77;
  EXPECT_EQ(0, conv.Convert("12", &v));
  EXPECT_EQ(12, v);
  EXPECT_EQ(0, conv.Convert("-32768", &v));
  EXPECT_EQ(-32768, v);
  EXPECT_NE(0, conv.Convert("32768", &v));
  EXPECT_NE(0, conv.Convert("x", &v));
  EXPECT_EQ(-32768, v);  // unchanged on failure
}

TEST(YmdTest, Calendar) {
  CYmd ymd;
  EXPECT_EQ(29, ymd.GetMonthDays(2016, 2));
  EXPECT_EQ(28, ymd.GetMonthDays(2100, 2));
  EXPECT_EQ(29, ymd.GetMonthDays(2000, 2));
  EXPECT_FALSE(ymd.IsValidDate(2017, 2, 29));
  EXPECT_EQ(1, ymd.ToSerial(2017, 1, 1) - ymd.ToSerial(2016, 12, 31));
  EXPECT_EQ(366, ymd.ToSerial(2017, 1, 1) - ymd.ToSerial(2016, 1, 1));
  EXPECT_EQ(-1, ymd.ToSerial(2016, 13, 1));
}

class UtilityTest : public LedgerFixture {};

TEST_F(UtilityTest, EditionAndProductNameComeFromTheInstallation) {
  EXPECT_TRUE(InitWinLibDLL());
  CValueMgr* mgr = CValueMgr::Instance();
  EXPECT_EQ(mgr, CValueMgr::Instance());
  EXPECT_EQ(0, mgr->GetNo());
  EXPECT_STREQ("ハルモア１０", mgr->GetName());
  EXPECT_FALSE(mgr->Set("x", 1));
  EXPECT_TRUE(mgr->Set("製品", 0));
  EXPECT_STREQ("製品", mgr->GetName());
  EXPECT_EQ(CValueMgr::OSTYPE_POSIX, mgr->GetOSType());
  ASSERT_TRUE(CInstallation::WriteSettings(m_root, 10, "kanri.db", ""));
  EXPECT_EQ(10, mgr->GetNo());
  mgr->Release();
  EXPECT_STREQ("", CValueMgr::Instance()->GetName());
  std::filesystem::remove(m_root + "/" + CInstallation::SETTINGS_FILE);
  EXPECT_EQ(0, CValueMgr::Instance()->GetNo());
  EXPECT_FALSE(InitWinLibDLL());
  CValueMgr::Instance()->Release();
}

TEST_F(UtilityTest, FolderPaths) {
  CUtyFile uty;
  char buf[260];
  ASSERT_EQ(1, uty.GetFilePath(1, buf, 260, 8));
  EXPECT_EQ(m_root + "/kanri.db", buf);
  EXPECT_EQ(1, uty.GetFilePath(1, buf, 260, 4));
  EXPECT_EQ(0, uty.GetFilePath(1, buf, 10, 8));  // does not fit
  EXPECT_STREQ("", buf);
  EXPECT_EQ(0, uty.GetFilePath(2, buf, 260, 8));

  // Environment values are UTF-8; the folder comes back in CP932.
  ScopedEnv docs("XDG_DOCUMENTS_DIR", m_root + reinterpret_cast<const char*>(u8"/文書"));
  ScopedEnv config("XDG_CONFIG_HOME", m_root + "/config");
  EXPECT_FALSE(uty.GetSpecialFolderPath(5, buf, 260));  // not there: the caller falls back
  std::filesystem::create_directory(m_root + reinterpret_cast<const char*>(u8"/文書"));
  ASSERT_TRUE(uty.GetSpecialFolderPath(5, buf, 260));
  EXPECT_EQ(m_root + "/文書/", buf);
  EXPECT_FALSE(uty.GetSpecialFolderPath(6, buf, 260));
  ASSERT_TRUE(uty.GetSpFolderPath(2, buf, 260));
  EXPECT_EQ(m_root + "/config/qt10/", buf);
  EXPECT_FALSE(uty.CheckFolderExist(buf));
  EXPECT_TRUE(uty.CreateFolder(buf, 0, nullptr, 0));
  EXPECT_TRUE(uty.CheckFolderExist(buf));

  char path[12] = "/tmp/a";
  EXPECT_TRUE(uty.AddBackSlash(path, 12));
  EXPECT_STREQ("/tmp/a/", path);
  EXPECT_TRUE(uty.AddBackSlash(path, 12));
  EXPECT_STREQ("/tmp/a/", path);
  char full[8] = "/tmp/ab";
  EXPECT_FALSE(uty.AddBackSlash(full, 8));

  DirOpe dir;
  EXPECT_EQ(-1, dir.CheckDrive(""));
  EXPECT_EQ(-1, dir.CheckDrive("relative/dir"));
  EXPECT_EQ(-1, dir.CheckDrive(nullptr));
  EXPECT_EQ(1, dir.CheckDrive(m_root.c_str()));
  EXPECT_TRUE(dir.change(m_root.c_str()));
  EXPECT_FALSE(dir.change((m_root + "/none").c_str()));
  const auto cwd = std::filesystem::current_path();
  dir.change(m_root.c_str());
  EXPECT_EQ(cwd, std::filesystem::current_path());
}

TEST_F(UtilityTest, SemaphoreFileIsHeldByOneHolder) {
  CSemaFile first, second;
  ASSERT_TRUE(first.Lock(m_root.c_str()));
  EXPECT_TRUE(first.IsLocked());
  EXPECT_FALSE(second.Lock((m_root + "/").c_str()));
  EXPECT_FALSE(second.IsLocked());
  first.Unlock();
  EXPECT_TRUE(second.Lock(m_root.c_str()));
  EXPECT_FALSE(first.Lock((m_root + "/none").c_str()));
}

TEST_F(UtilityTest, InstallationSettings) {
  CInstallation install;
  ASSERT_TRUE(install.Load());
  EXPECT_EQ(m_root, install.GetFolder());
  EXPECT_EQ(m_root + "/kanri.db", install.GetManagementDb());
  EXPECT_EQ("ハルモア１０", install.GetProductName());
  const std::string file = m_root + "/" + CInstallation::SETTINGS_FILE;
  const auto write = [&](const char* text) { std::ofstream(file, std::ios::trunc) << text; };
  write("# host\n[Host]\nEdition=10\nManagementDb=/srv/kanri.db\n");
  ASSERT_TRUE(install.Load());
  EXPECT_EQ(10, install.GetEdition());
  EXPECT_EQ("/srv/kanri.db", install.GetManagementDb());
  for (const char* bad : {"Edition=10\n", "Edition=x\nManagementDb=k.db\n",
                          "ManagementDb=k.db\njunk\n", "ManagementDb=\n"}) {
    write(bad);
    EXPECT_FALSE(install.Load()) << bad;
    EXPECT_TRUE(install.GetManagementDb().empty()) << bad;
  }
  // The program folder follows the variable, trailing separators dropped.
  ScopedEnv dir(CInstallation::ENV_PROGRAM_DIR, m_root + "/sub//");
  CString folder;
  ASSERT_TRUE(CInstallation::GetProgramFolder(folder));
  EXPECT_EQ(m_root + "/sub", folder);
}
