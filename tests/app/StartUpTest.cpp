#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "AppTestSupport.h"
#include "CFinGaiApp.h"
#include "FinGaiAppMessages.h"
#include "HostWindowListener.h"
#include "LocalClock.h"
#include "NamedGuard.h"
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
  ExpectOneMessage(APP_MSG_SYSTEM_DATE, MB_ICONINFORMATION);
  EXPECT_EQ(app.m_nResult, CFinGaiApp::RESULT_ERROR);
  EXPECT_FALSE(NamedGuard::IsHeld(CFinGaiApp::CHECK_MAP_NAME));
  EXPECT_FALSE(NamedGuard::IsHeld(CFinGaiApp::HOST_MAP_NAME));
  EXPECT_EQ(app.ExitInstance(), 0);
}

TEST_F(StartUp, SecondCopyStopsAndLeavesTheFirstCopysGuardAlone) {
  ClockReset reset;
  SetYear(2035);  // the last year that passes
  NamedGuard first;
  ASSERT_TRUE(first.Create(CFinGaiApp::CHECK_MAP_NAME));
  {
    CFinGaiApp app;
    EXPECT_FALSE(app.InitInstance());
    ExpectOneMessage(APP_MSG_DOUBLE_START, MB_ICONWARNING);
    EXPECT_EQ(app.m_nResult, CFinGaiApp::RESULT_ERROR);
    EXPECT_FALSE(NamedGuard::IsHeld(CFinGaiApp::HOST_MAP_NAME));
    app.ExitInstance();
  }
  EXPECT_TRUE(first.IsOpen());
  EXPECT_TRUE(NamedGuard::IsHeld(CFinGaiApp::CHECK_MAP_NAME));
}

TEST_F(StartUp, RunningHostStopsTheProgramAndItsOwnGuardGoesAtExit) {
  NamedGuard host;
  ASSERT_TRUE(host.Create(CFinGaiApp::HOST_MAP_NAME));
  CFinGaiApp app;
  EXPECT_FALSE(app.InitInstance());
  ExpectOneMessage(APP_MSG_HOST_RUNNING, MB_ICONWARNING);
  EXPECT_TRUE(NamedGuard::IsHeld(CFinGaiApp::CHECK_MAP_NAME));
  EXPECT_EQ(app.ExitInstance(), 0);
  EXPECT_FALSE(NamedGuard::IsHeld(CFinGaiApp::CHECK_MAP_NAME));
  EXPECT_TRUE(NamedGuard::IsHeld(CFinGaiApp::HOST_MAP_NAME));
}

TEST_F(StartUp, LaunchedRunDisablesTheHostAndPostsTheResultAtTheEnd) {
  HostWindowListener host;
  ASSERT_TRUE(host.Open(4242));
  NamedGuard other;
  ASSERT_TRUE(other.Create(CFinGaiApp::CHECK_MAP_NAME));
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
  ASSERT_TRUE(other.Create(CFinGaiApp::CHECK_MAP_NAME));
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
  ExpectOneMessage(APP_MSG_LOW_PAGING, MB_ICONWARNING);
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
  ExpectOneMessage(APP_MSG_NO_HOST_EXE, MB_ICONWARNING);

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
  EXPECT_EQ(m_messages.Shown()[0].text, APP_MSG_LEVEL_NO_INI);
  EXPECT_EQ(m_messages.Shown()[1].text, APP_MSG_LEVEL_HOST_OLD);
  EXPECT_EQ(m_messages.Shown()[2].text, APP_MSG_LEVEL_COMPONENT_OLD);
}

}  // namespace
