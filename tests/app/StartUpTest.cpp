#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "AppTestSupport.h"
#include "CConv.h"
#include "CDenModify.h"
#include "CFinGaiApp.h"
#include "CHostObjects.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CKumiSen.h"
#include "CStartUp.h"
#include "CYmd.h"
#include "HostWindowListener.h"
#include "LocalClock.h"
#include "NamedGuard.h"
#include "StartUpMessages.h"
#include "WinMemory.h"

namespace {

using apptest::MessageRecorder;
using apptest::ScopedEnv;
using apptest::ScratchDir;

const char* const kCaption = "内訳概況書のミラベル（概況書）";

// Each test has guards and host-window sockets of its own.
class StartUp : public ::testing::Test {
 protected:
  ScratchDir m_runtime;
  ScopedEnv m_env{"XDG_RUNTIME_DIR", m_runtime.path()};
  MessageRecorder m_messages;

  void ExpectOneMessage(const char* pszText, UINT nIcon) {
    ASSERT_EQ(m_messages.Shown().size(), 1u);
    EXPECT_EQ(m_messages.Shown()[0].text, pszText);
    EXPECT_EQ(m_messages.Shown()[0].caption, kCaption);
    EXPECT_EQ(m_messages.Shown()[0].type, MB_OK | nIcon);
  }
};

void SetYear(int nYear) {
  platform::SetLocalTimeSource([nYear](std::tm& out) {
    out = {};
    out.tm_year = nYear - 1900;
    out.tm_mon = 11;
    out.tm_mday = 31;
    return true;
  });
}

struct ClockReset {
  ~ClockReset() { platform::SetLocalTimeSource({}); }
};

TEST_F(StartUp, YearAfter2035StopsBeforeAnyGuardIsTaken) {
  ClockReset reset;
  SetYear(2036);
  CFinGaiApp app;
  EXPECT_FALSE(app.InitInstance());
  ExpectOneMessage(STARTUP_MSG_SYSTEM_DATE, MB_ICONINFORMATION);
  EXPECT_EQ(app.m_nResult, CFinGaiApp::RESULT_ERROR);
  EXPECT_FALSE(NamedGuard::IsHeld(CStartUp::CHECK_MAP_NAME));
  EXPECT_FALSE(NamedGuard::IsHeld(CStartUp::HOST_MAP_NAME));
  EXPECT_EQ(app.ExitInstance(), 0);
}

TEST_F(StartUp, SecondCopyStopsAndLeavesTheFirstCopysGuardAlone) {
  ClockReset reset;
  SetYear(2035);  // the last year that passes
  NamedGuard first;
  ASSERT_TRUE(first.Create(CStartUp::CHECK_MAP_NAME));
  {
    CFinGaiApp app;
    EXPECT_FALSE(app.InitInstance());
    ExpectOneMessage(STARTUP_MSG_DOUBLE_START, MB_ICONWARNING);
    EXPECT_EQ(app.m_nResult, CFinGaiApp::RESULT_ERROR);
    EXPECT_FALSE(NamedGuard::IsHeld(CStartUp::HOST_MAP_NAME));
    app.ExitInstance();
  }
  EXPECT_TRUE(first.IsOpen());
  EXPECT_TRUE(NamedGuard::IsHeld(CStartUp::CHECK_MAP_NAME));
}

TEST_F(StartUp, RunningHostStopsTheProgramAndItsOwnGuardGoesAtExit) {
  NamedGuard host;
  ASSERT_TRUE(host.Create(CStartUp::HOST_MAP_NAME));
  CFinGaiApp app;
  EXPECT_FALSE(app.InitInstance());
  ExpectOneMessage(STARTUP_MSG_HOST_RUNNING, MB_ICONWARNING);
  EXPECT_TRUE(NamedGuard::IsHeld(CStartUp::CHECK_MAP_NAME));
  EXPECT_EQ(app.ExitInstance(), 0);
  EXPECT_FALSE(NamedGuard::IsHeld(CStartUp::CHECK_MAP_NAME));
  EXPECT_TRUE(NamedGuard::IsHeld(CStartUp::HOST_MAP_NAME));
}

TEST_F(StartUp, LaunchedRunDisablesTheHostAndPostsTheResultAtTheEnd) {
  HostWindowListener host;
  ASSERT_TRUE(host.Open(4242));
  NamedGuard other;
  ASSERT_TRUE(other.Create(CStartUp::CHECK_MAP_NAME));
  {
    CFinGaiApp app;
    app.m_strCmdLine = "4242,32768,-3,/tmp/out.xml";
    app.InitInstance();
    ASSERT_EQ(m_messages.Shown().size(), 1u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(m_messages.Shown()[0].owner), 4242u);
    EXPECT_EQ(app.m_bLinked, 1);
    EXPECT_EQ(app.m_strLinkParam, "/tmp/out.xml");
    std::string strLine;
    ASSERT_TRUE(host.Receive(strLine, 1000));
    EXPECT_EQ(strLine, "enable 0");
    EXPECT_FALSE(host.Receive(strLine, 50));
    app.ExitInstance();
  }
  std::string strLine;
  ASSERT_TRUE(host.Receive(strLine, 1000));
  EXPECT_EQ(strLine, "foreground");
  ASSERT_TRUE(host.Receive(strLine, 1000));
  EXPECT_EQ(strLine, "enable 1");
  ASSERT_TRUE(host.Receive(strLine, 1000));
  // wParam is the function number sign-extended, lParam the error result.
  EXPECT_EQ(strLine, "post 32768 -3 2");
  EXPECT_FALSE(host.Receive(strLine, 50));
}

TEST_F(StartUp, TwoCommasOwnTheMessagesButPostNothing) {
  HostWindowListener host;
  ASSERT_TRUE(host.Open(4243));
  NamedGuard other;
  ASSERT_TRUE(other.Create(CStartUp::CHECK_MAP_NAME));
  {
    CFinGaiApp app;
    app.m_strCmdLine = "4243,32768,5";
    app.InitInstance();
    ASSERT_EQ(m_messages.Shown().size(), 1u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(m_messages.Shown()[0].owner), 4243u);
    EXPECT_EQ(app.m_bLinked, 0);
    app.ExitInstance();
  }
  std::string strLine;
  EXPECT_FALSE(host.Receive(strLine, 100));
}

TEST_F(StartUp, PagingMemoryOf5MiBPassesAndOneByteLessStops) {
  ScratchDir dir;
  struct Reset {
    ~Reset() { platform::SetMemInfoPath(""); }
  } reset;
  dir.Write("meminfo", "MemTotal: 1000000 kB\nMemAvailable: 5242880\nSwapFree: 0 kB\n");
  platform::SetMemInfoPath(dir.path() + "/meminfo");
  CFinGaiApp app;
  EXPECT_TRUE(app.CheckMemory());
  EXPECT_TRUE(m_messages.Shown().empty());

  dir.Write("meminfo", "MemTotal: 1000000 kB\nMemAvailable: 5242879\nSwapFree: 0 kB\n");
  EXPECT_FALSE(app.CheckMemory());
  ExpectOneMessage(STARTUP_MSG_LOW_PAGING, MB_ICONWARNING);
  EXPECT_EQ(app.m_nResult, CFinGaiApp::RESULT_ERROR);

  // Figures that cannot be read refuse rather than pass blind.
  platform::SetMemInfoPath(dir.path() + "/missing");
  EXPECT_FALSE(app.CheckMemory());
}

TEST_F(StartUp, HostExecutableOfTheEditionMustBeInTheCurrentFolder) {
  ScratchDir program;
  ScopedEnv programDir("QT10_PROGRAM_DIR", program.path());
  apptest::ScopedCwd cwd(program.path());
  CFinGaiApp app;
  EXPECT_FALSE(app.CheckHostExe());
  ExpectOneMessage(STARTUP_MSG_NO_HOST_EXE, MB_ICONWARNING);

  program.Write("QT10.EXE", "");
  EXPECT_TRUE(app.CheckHostExe());

  // The cooperative edition looks for its own executable.
  program.Write("LedgerHost.ini", "Edition=10\nManagementDb=books/kanri.db\n");
  EXPECT_FALSE(app.CheckHostExe());
  program.Write("KP10.EXE", "");
  EXPECT_TRUE(app.CheckHostExe());
  EXPECT_EQ(m_messages.Shown().size(), 2u);
}

TEST_F(StartUp, ProgramLevelResultsMapToTheirMessages) {
  ScratchDir program;
  apptest::ScopedCwd cwd(program.path());
  CFinGaiApp app;
  EXPECT_FALSE(app.CheckProgramLevel());
  program.Write("MirabellDef.ini", "[ProgramLevel]\nRX16_G=0\n");
  EXPECT_FALSE(app.CheckProgramLevel());
  program.Write("MirabellDef.ini", "[ProgramLevel]\nRX16_G=2\n");
  EXPECT_FALSE(app.CheckProgramLevel());
  program.Write("MirabellDef.ini", "[ProgramLevel]\nRX16_G=1\n");
  EXPECT_TRUE(app.CheckProgramLevel());
  ASSERT_EQ(m_messages.Shown().size(), 3u);
  EXPECT_EQ(m_messages.Shown()[0].text, STARTUP_MSG_LEVEL_NO_INI);
  EXPECT_EQ(m_messages.Shown()[1].text, STARTUP_MSG_LEVEL_HOST_OLD);
  EXPECT_EQ(m_messages.Shown()[2].text, STARTUP_MSG_LEVEL_COMPONENT_OLD);
}

// One host object that notes when it goes, and whether its pointer still
// led to it then.
template <class T>
class Noted : public T {
 public:
  template <class... Args>
  Noted(std::vector<std::string>& arGone, const char* pszName, T*& pGlobal, Args&&... args)
      : T(std::forward<Args>(args)...), m_arGone(arGone), m_strName(pszName), m_pGlobal(pGlobal) {}
  ~Noted() override {
    m_arGone.push_back(m_strName + (m_pGlobal == this ? " still published" : ""));
  }

 private:
  std::vector<std::string>& m_arGone;
  std::string m_strName;
  T*& m_pGlobal;
};

TEST(HostObjects, GoInTheFixedOrderEachPointerClearedBeforeItsObject) {
  std::vector<std::string> arGone;
  {
    CHostObjects objects;
    // Given in the order of their making; the owner deletes in its own.
    ASSERT_TRUE(objects.Hold(new Noted<CJetAccess>(arGone, "JetAccess", g_pJetAccess)));
    ASSERT_TRUE(objects.Hold(new Noted<CConv>(arGone, "Conv", g_pConv)));
    ASSERT_TRUE(objects.Hold(new Noted<CYmd>(arGone, "Ymd", g_pYmd)));
    ASSERT_TRUE(objects.Hold(new Noted<CKumiSen>(arGone, "KumiSen", g_pKumiSen, g_pJetAccess, 0)));
    ASSERT_TRUE(objects.Hold(
        new Noted<CKaikei>(arGone, "Kaikei", g_pKaikei, g_pJetAccess, g_pYmd, g_pKumiSen)));
    ASSERT_TRUE(objects.Hold(
        new Noted<CDenModify>(arGone, "DenModify", g_pDenModify, g_pJetAccess, g_pKaikei)));
    // An object that could not be made changes nothing.
    CConv* pConv = g_pConv;
    EXPECT_FALSE(objects.Hold(static_cast<CConv*>(nullptr)));
    EXPECT_EQ(g_pConv, pConv);
    EXPECT_TRUE(arGone.empty());
  }
  EXPECT_EQ(arGone, (std::vector<std::string>{"JetAccess", "Conv", "Ymd", "Kaikei", "DenModify",
                                              "KumiSen"}));
  for (const void* p :
       {static_cast<const void*>(g_pJetAccess), static_cast<const void*>(g_pConv),
        static_cast<const void*>(g_pYmd), static_cast<const void*>(g_pKumiSen),
        static_cast<const void*>(g_pKaikei), static_cast<const void*>(g_pDenModify)})
    EXPECT_EQ(p, nullptr);
}

// The same broken start for every use: a year past the last, the program's
// guard held by another copy, an installation folder with nothing in it.
TEST_F(StartUp, TheUseDecidesWhichChecksRunAndWhereTheFirstStop) {
  ClockReset reset;
  SetYear(2036);
  NamedGuard other;
  ASSERT_TRUE(other.Create(CStartUp::CHECK_MAP_NAME));
  ScratchDir program;
  ScopedEnv programDir("QT10_PROGRAM_DIR", program.path());
  // Start-up makes the program's folder the current one.
  apptest::ScopedCwd cwd(program.path());
  struct Case {
    StartUpUse use;
    const char* pszStop;
    UINT nIcon;
  } arCase[] = {
      {StartUpUse::Run, STARTUP_MSG_SYSTEM_DATE, MB_ICONINFORMATION},
      {StartUpUse::Batch, STARTUP_MSG_SYSTEM_DATE, MB_ICONINFORMATION},
      // Read only: neither the date nor the guards are looked at.
      {StartUpUse::Read, STARTUP_MSG_KANRI_DB_PATH, MB_ICONINFORMATION},
      // No books at all: the installation's files are the first thing missing.
      {StartUpUse::Installation, STARTUP_MSG_NO_PROGRAM_FILE, MB_ICONWARNING},
  };
  for (const Case& c : arCase) {
    CStartUp startUp(c.use);
    EXPECT_FALSE(startUp.Start());
    EXPECT_STREQ(startUp.Failure().pszText, c.pszStop);
    EXPECT_EQ(startUp.Failure().nIcon, c.nIcon);
    EXPECT_FALSE(startUp.IsBooksOpen());
  }
  CStartUp installation(StartUpUse::Installation);
  installation.Start();
  // On standard error the sentence names the file.
  const CString strLine = installation.Failure().Line();
  EXPECT_TRUE(strLine.starts_with("起動に必要なﾌﾟﾛｸﾞﾗﾑﾌｧｲﾙが存在しません: "));
  EXPECT_TRUE(strLine.ends_with("/QT10.EXE"));

  // With the date right, the batch stops at the guard a read leaves alone.
  SetYear(2035);
  CStartUp batch(StartUpUse::Batch);
  EXPECT_FALSE(batch.Start());
  EXPECT_STREQ(batch.Failure().pszText, STARTUP_MSG_DOUBLE_START);
  EXPECT_FALSE(NamedGuard::IsHeld(CStartUp::HOST_MAP_NAME));
  EXPECT_TRUE(other.IsOpen());
  EXPECT_TRUE(m_messages.Shown().empty());
}

}  // namespace
