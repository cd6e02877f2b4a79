#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <ctime>

#include "HostWindowListener.h"
#include "ScopedEnv.h"
#include "ScratchDir.h"
#include "TestText.h"
#include "WinHostWindow.h"

namespace {

using testsupport::ScopedEnv;
using testsupport::ScratchDir;

HWND Window(std::uintptr_t n) { return reinterpret_cast<HWND>(n); }

// <chrono> cannot be compiled with the CP932 execution character set.
long long NowMs() {
  timespec t;
  ::clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000LL + t.tv_nsec / 1000000;
}

class HostWindowTest : public ::testing::Test {
 protected:
  ScratchDir m_dir;
  ScopedEnv m_runtime{"XDG_RUNTIME_DIR", m_dir.path()};
};

TEST_F(HostWindowTest, EachCallArrivesAsOneLine) {
  HostWindowListener host;
  ASSERT_TRUE(host.Open(1234));
  EXPECT_EQ(platform::HostWindowSocketPath(1234), m_dir.path() + "/qt10-hwnd-1234.sock");

  EnableWindow(Window(1234), FALSE);
  EXPECT_TRUE(SetForegroundWindow(Window(1234)));
  const short function = -3;  // the caller sign-extends the 16-bit function number
  EXPECT_TRUE(
      PostMessageA(Window(1234), 32768, static_cast<WPARAM>(static_cast<LPARAM>(function)), 2));
  EXPECT_TRUE(PostMessageA(Window(1234), 0xC123u, 5, 0));
  EnableWindow(Window(1234), TRUE);

  std::string line;
  for (const char* expected :
       {"enable 0", "foreground", "post 32768 -3 2", "post 49443 5 0", "enable 1"}) {
    ASSERT_TRUE(host.Receive(line, 1000));
    EXPECT_EQ(line, expected);
  }
  EXPECT_FALSE(host.Receive(line, 50));
}

TEST_F(HostWindowTest, MessagesFromAnotherProcessReachTheHost) {
  HostWindowListener host;
  ASSERT_TRUE(host.Open(77));
  const pid_t child = ::fork();
  if (child == 0) ::_exit(PostMessageA(Window(77), 1025, 1, 0) ? 0 : 1);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  std::string line;
  ASSERT_TRUE(host.Receive(line, 1000));
  EXPECT_EQ(line, "post 1025 1 0");
}

TEST_F(HostWindowTest, WithoutAListenerCallsAreDroppedAtOnce) {
  const long long start = NowMs();
  EXPECT_FALSE(PostMessageA(Window(55), 32768, 0, 2));  // no socket file
  EXPECT_FALSE(SetForegroundWindow(Window(55)));
  EXPECT_FALSE(PostMessageA(nullptr, 32768, 0, 2));

  // A listener that died leaves its socket file; nothing answers on it.
  {
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = platform::HostWindowSocketPath(56);
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
  }
  EXPECT_FALSE(PostMessageA(Window(56), 32768, 0, 2));
  EXPECT_LT(NowMs() - start, 500);

  HostWindowListener host;  // a new host takes the stale name over
  ASSERT_TRUE(host.Open(56));
  EXPECT_TRUE(PostMessageA(Window(56), 32768, 0, 1));
  std::string line;
  ASSERT_TRUE(host.Receive(line, 1000));
  EXPECT_EQ(line, "post 32768 0 1");
  host.Close();
  EXPECT_FALSE(PostMessageA(Window(56), 32768, 0, 1));
}

TEST_F(HostWindowTest, AHostThatStopsReadingDoesNotHangTheProgram) {
  HostWindowListener host;
  ASSERT_TRUE(host.Open(9));
  const long long start = NowMs();
  int sent = 0;
  while (sent < 10000 && PostMessageA(Window(9), 1, 0, 0)) ++sent;
  EXPECT_GT(sent, 0);
  EXPECT_LT(sent, 10000);
  EXPECT_LT(NowMs() - start, 5000);
  std::string line;
  ASSERT_TRUE(host.Receive(line, 0));
  EXPECT_EQ(line, "post 1 0 0");
}

TEST(HostWindowPathTest, WithoutARuntimeFolderTheSocketIsPerUserInTmp) {
  ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
  EXPECT_EQ(platform::HostWindowSocketPath(1234),
            "/tmp/qt10-hwnd-1234-" + std::to_string(::getuid()) + ".sock");
}

}  // namespace
