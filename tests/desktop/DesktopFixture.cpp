#include "DesktopFixture.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

// Qt's X11 platform plugin talks to D-Bus, whose library keeps a buffer to
// the end of the process. Sanitizer builds check for leaks at exit; this one
// is not the program's. The tests' own process and the programs they start
// both leave it out.
namespace {
constexpr const char* kLeakSuppressions = "leak:libdbus-1.so\n";
}  // namespace

extern "C" const char* __lsan_default_suppressions() { return kLeakSuppressions; }

namespace desktop {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPoll = std::chrono::milliseconds(50);
constexpr int kWaitSeconds = 20;

pid_t Spawn(const std::vector<std::string>& arArgv, const std::string& strCwd,
            const std::string& strOutput, int nKeepFd = -1) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int nOut = ::open(strOutput.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (nOut >= 0) {
      ::dup2(nOut, 1);
      ::dup2(nOut, 2);
    }
    if (nKeepFd >= 0) ::fcntl(nKeepFd, F_SETFD, 0);
    if (::chdir(strCwd.c_str()) != 0) ::_exit(126);
    std::vector<char*> argv;
    for (const auto& a : arArgv) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  return pid;
}

void Stop(pid_t& pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (::waitpid(pid, nullptr, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(kPoll);
  }
  pid = -1;
}

}  // namespace

std::string Which(const std::string& strName) {
  const char* pszPath = std::getenv("PATH");
  std::istringstream dirs(pszPath ? pszPath : "/usr/bin:/bin");
  for (std::string strDir; std::getline(dirs, strDir, ':');) {
    const std::string strFull = strDir + "/" + strName;
    if (!strDir.empty() && ::access(strFull.c_str(), X_OK) == 0) return strFull;
  }
  return "";
}

void Desktop::SetUp() {
  const std::string strXvfb = Which("Xvfb");
  const std::string strWm = Which("openbox");
  const std::string strXprop = Which("xprop");
  m_strXdotool = Which("xdotool");
  if (strXvfb.empty() || strWm.empty() || strXprop.empty() || m_strXdotool.empty()) {
    GTEST_SKIP() << "needs Xvfb, openbox, xprop and xdotool (scripts/install-deps.sh "
                    "installs them)";
  }

  // Xvfb picks a free display and writes its number to the pipe when ready.
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_CLOEXEC), 0);
  const std::string strScreen =
      std::to_string(m_nScreenWidth) + "x" + std::to_string(m_nScreenHeight) + "x24";
  m_xvfb = Spawn({strXvfb, "-displayfd", std::to_string(fds[1]), "-screen", "0", strScreen,
                  "-nolisten", "tcp"},
                 m_strRoot, Dir("xvfb.log"), fds[1]);
  ::close(fds[1]);
  std::string strDisplay;
  pollfd ready{fds[0], POLLIN, 0};
  while (::poll(&ready, 1, kWaitSeconds * 1000) > 0) {
    char c = 0;
    if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
    strDisplay += c;
  }
  ::close(fds[0]);
  ASSERT_FALSE(strDisplay.empty()) << "Xvfb did not start: " << e2e::ReadFile(Dir("xvfb.log"));

  SetEnv("DISPLAY", ":" + strDisplay);
  SetEnv("XAUTHORITY", std::nullopt);
  SetEnv("QT_QPA_PLATFORM", std::nullopt);
  SetEnv("RX16_UI", "qt");
  std::ofstream(Dir("leaks.supp")) << kLeakSuppressions;
  const char* pszLsan = std::getenv("LSAN_OPTIONS");
  SetEnv("LSAN_OPTIONS",
         std::string(pszLsan ? pszLsan : "") + ":suppressions=" + Dir("leaks.supp"));
  m_wm = Spawn({strWm, "--sm-disable"}, m_strRoot, Dir("openbox.log"));
  const auto deadline = Clock::now() + std::chrono::seconds(kWaitSeconds);
  for (;;) {
    const e2e::RunResult r =
        e2e::RunProgram({strXprop, "-root", "_NET_SUPPORTING_WM_CHECK"}, m_strRoot);
    if (r.strOutput.find("window id") != std::string::npos) break;
    ASSERT_LT(Clock::now(), deadline)
        << "openbox did not start: " << e2e::ReadFile(Dir("openbox.log"));
    std::this_thread::sleep_for(kPoll);
  }
  Install();
}

void Desktop::TearDown() {
  for (pid_t pid : m_arChildren) Stop(pid);
  m_arChildren.clear();
  Stop(m_wm);
  Stop(m_xvfb);
}

Child Desktop::Start(const std::vector<std::string>& arArgv) {
  static int nCount = 0;
  Child child;
  child.strOutputFile = Dir("child-" + std::to_string(++nCount) + ".log");
  child.pid = Spawn(arArgv, m_strRoot, child.strOutputFile);
  m_arChildren.push_back(child.pid);
  return child;
}

int Desktop::WaitExit(Child& child, int nSeconds) {
  std::erase(m_arChildren, child.pid);
  const auto deadline = Clock::now() + std::chrono::seconds(nSeconds);
  int nStatus = 0;
  while (::waitpid(child.pid, &nStatus, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      ::kill(child.pid, SIGKILL);
      ::waitpid(child.pid, nullptr, 0);
      child.pid = -1;
      return -1;
    }
    std::this_thread::sleep_for(kPoll);
  }
  child.pid = -1;
  return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
}

bool Desktop::Xdo(const std::vector<std::string>& arArg, std::string* pOutput) {
  std::vector<std::string> arArgv = {Which("timeout"), std::to_string(kWaitSeconds), m_strXdotool};
  arArgv.insert(arArgv.end(), arArg.begin(), arArg.end());
  const e2e::RunResult r = e2e::RunProgram(arArgv, m_strRoot);
  if (pOutput) *pOutput = r.strOutput;
  return r.nExit == 0;
}

std::vector<std::string> Desktop::ShownWindows(const std::string& strTitle) {
  std::string strOutput;
  Xdo({"search", "--onlyvisible", "--name", strTitle}, &strOutput);
  std::vector<std::string> arId;
  std::istringstream lines(strOutput);
  for (std::string strLine; std::getline(lines, strLine);) {
    if (!strLine.empty() && std::all_of(strLine.begin(), strLine.end(), ::isdigit)) {
      arId.push_back(strLine);
    }
  }
  return arId;
}

std::string Desktop::WaitWindow(const std::string& strTitle,
                                const std::vector<std::string>& arIgnored) {
  const auto deadline = Clock::now() + std::chrono::seconds(kWaitSeconds);
  while (Clock::now() < deadline) {
    for (const std::string& strId : ShownWindows(strTitle)) {
      if (std::find(arIgnored.begin(), arIgnored.end(), strId) != arIgnored.end()) continue;
      if (Xdo({"windowactivate", "--sync", strId})) return strId;
    }
    std::this_thread::sleep_for(kPoll);
  }
  return "";
}

bool Desktop::StaysShown(const std::string& strTitle, const std::string& strId, int nMilliseconds) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(nMilliseconds);
  while (Clock::now() < deadline) {
    const auto arId = ShownWindows(strTitle);
    if (std::find(arId.begin(), arId.end(), strId) == arId.end()) return false;
    std::this_thread::sleep_for(kPoll);
  }
  return true;
}

bool Desktop::WaitGone(const std::string& strTitle, const std::string& strId) {
  const auto deadline = Clock::now() + std::chrono::seconds(kWaitSeconds);
  while (Clock::now() < deadline) {
    const auto arId = ShownWindows(strTitle);
    if (std::find(arId.begin(), arId.end(), strId) == arId.end()) return true;
    std::this_thread::sleep_for(kPoll);
  }
  return false;
}

::testing::AssertionResult Desktop::FrameInsideScreen(const std::string& strId) {
  std::string strGeometry;
  if (!Xdo({"getwindowgeometry", "--shell", strId}, &strGeometry)) {
    return ::testing::AssertionFailure() << "no geometry for window " << strId;
  }
  std::map<std::string, int> values;
  std::istringstream lines(strGeometry);
  for (std::string strLine; std::getline(lines, strLine);) {
    const std::size_t nEq = strLine.find('=');
    if (nEq != std::string::npos)
      values[strLine.substr(0, nEq)] = std::atoi(strLine.c_str() + nEq + 1);
  }
  // The decorations: "_NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom".
  const e2e::RunResult r =
      e2e::RunProgram({Which("xprop"), "-id", strId, "_NET_FRAME_EXTENTS"}, m_strRoot);
  int nLeft = 0, nRight = 0, nTop = 0, nBottom = 0;
  const std::size_t nEq = r.strOutput.find('=');
  if (nEq == std::string::npos || std::sscanf(r.strOutput.c_str() + nEq + 1, "%d, %d, %d, %d",
                                              &nLeft, &nRight, &nTop, &nBottom) != 4) {
    return ::testing::AssertionFailure() << "no frame extents: " << r.strOutput;
  }
  const Frame frame{values["X"] - nLeft, values["Y"] - nTop, values["WIDTH"] + nLeft + nRight,
                    values["HEIGHT"] + nTop + nBottom};
  std::ostringstream text;
  text << "frame " << frame.width << "x" << frame.height << " at " << frame.x << "," << frame.y
       << " on a screen of " << m_nScreenWidth << "x" << m_nScreenHeight;
  if (frame.x < 0 || frame.y < 0 || frame.x + frame.width > m_nScreenWidth ||
      frame.y + frame.height > m_nScreenHeight) {
    return ::testing::AssertionFailure() << text.str();
  }
  return ::testing::AssertionSuccess() << text.str();
}

void Desktop::Keys(const std::vector<std::string>& arKey) {
  std::vector<std::string> arArg = {"key", "--delay", "40"};
  arArg.insert(arArg.end(), arKey.begin(), arKey.end());
  EXPECT_TRUE(Xdo(arArg)) << "xdotool key failed";
}

void Desktop::Type(const std::string& strText) {
  EXPECT_TRUE(Xdo({"type", "--delay", "20", strText})) << "xdotool type failed";
}

}  // namespace desktop
