#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "NamedGuard.h"
#include "ScopedEnv.h"
#include "ScratchDir.h"
#include "TestText.h"

namespace {

using testsupport::ScopedEnv;
using testsupport::ScratchDir;

// Started with RX16_GUARD_HOLD set, this binary becomes a second process
// that takes the named guard, says "held" and keeps it until its input closes.
const bool g_bHolder = [] {
  const char* name = std::getenv("RX16_GUARD_HOLD");
  if (name == nullptr) return false;
  NamedGuard guard;
  if (!guard.Create(name)) ::_exit(2);
  if (::write(STDOUT_FILENO, "held\n", 5) != 5) ::_exit(3);
  char c;
  while (::read(STDIN_FILENO, &c, 1) > 0) {
  }
  ::_exit(0);
}();

struct Child {
  pid_t pid = -1;
  int toChild = -1;
};

// Runs this test binary as a holder of the named guard and waits until it holds it.
Child StartHolder(const char* name) {
  int in[2];
  int out[2];
  if (::pipe(in) != 0 || ::pipe(out) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(in[0], STDIN_FILENO);
    ::dup2(out[1], STDOUT_FILENO);
    ::close(in[1]);
    ::close(out[0]);
    ::setenv("RX16_GUARD_HOLD", name, 1);
    ::execl("/proc/self/exe", "guard-holder", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  char said[5] = {};
  const bool ready = ::read(out[0], said, sizeof said) == 5;
  ::close(out[0]);
  if (!ready) {
    ::close(in[1]);
    ::waitpid(pid, nullptr, 0);
    return {};
  }
  return {pid, in[1]};
}

int Wait(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

class NamedGuardTest : public ::testing::Test {
 protected:
  ScratchDir m_dir;
  ScopedEnv m_runtime{"XDG_RUNTIME_DIR", m_dir.path()};
};

TEST_F(NamedGuardTest, AGuardHeldByAnotherProcessIsSeenAndCannotBeTaken) {
  const Child holder = StartHolder("RoderoZerozUvo");
  ASSERT_GT(holder.pid, 0);
  EXPECT_TRUE(NamedGuard::IsHeld("RoderoZerozUvo"));
  EXPECT_FALSE(NamedGuard::IsHeld("QuillmossQT10"));  // names are independent
  NamedGuard mine;
  EXPECT_FALSE(mine.Create("RoderoZerozUvo"));
  EXPECT_FALSE(mine.IsOpen());
  EXPECT_TRUE(NamedGuard::IsHeld("RoderoZerozUvo"));  // a failed attempt does not disturb it

  ::close(holder.toChild);  // the holder ends normally
  const int status = Wait(holder.pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_FALSE(NamedGuard::IsHeld("RoderoZerozUvo"));
  EXPECT_TRUE(mine.Create("RoderoZerozUvo"));
}

TEST_F(NamedGuardTest, KillingTheHolderFreesTheGuard) {
  const Child holder = StartHolder("QuillmossQT10");
  ASSERT_GT(holder.pid, 0);
  EXPECT_TRUE(NamedGuard::IsHeld("QuillmossQT10"));
  ::kill(holder.pid, SIGKILL);
  EXPECT_TRUE(WIFSIGNALED(Wait(holder.pid)));
  ::close(holder.toChild);
  EXPECT_FALSE(NamedGuard::IsHeld("QuillmossQT10"));
  NamedGuard guard;
  EXPECT_TRUE(guard.Create("QuillmossQT10"));
}

TEST_F(NamedGuardTest, HeldUntilClosedAndTheLockFileStays) {
  const std::string lock = m_dir.path() + "/RoderoZerozUvo.lock";
  EXPECT_EQ(NamedGuard::LockPath("RoderoZerozUvo"), lock);
  EXPECT_FALSE(NamedGuard::IsHeld("RoderoZerozUvo"));
  {
    NamedGuard guard;
    ASSERT_TRUE(guard.Create("RoderoZerozUvo"));
    EXPECT_TRUE(NamedGuard::IsHeld("RoderoZerozUvo"));  // seen from this process too
    NamedGuard second;
    EXPECT_FALSE(second.Create("RoderoZerozUvo"));
    guard.Close();
    EXPECT_FALSE(guard.IsOpen());
    EXPECT_FALSE(NamedGuard::IsHeld("RoderoZerozUvo"));
    ASSERT_TRUE(guard.Create("RoderoZerozUvo"));
  }  // the destructor releases it
  EXPECT_FALSE(NamedGuard::IsHeld("RoderoZerozUvo"));
  EXPECT_TRUE(std::filesystem::exists(lock));
}

TEST_F(NamedGuardTest, AChildProgramDoesNotInheritTheGuard) {
  NamedGuard guard;
  ASSERT_TRUE(guard.Create("QuillmossQT10"));
  int execed[2];  // closed by the exec, so reading it waits until the child runs sleep
  ASSERT_EQ(::pipe2(execed, O_CLOEXEC), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl("/bin/sleep", "sleep", "30", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ASSERT_GT(child, 0);
  ::close(execed[1]);
  char c;
  EXPECT_EQ(::read(execed[0], &c, 1), 0);
  ::close(execed[0]);
  guard.Close();
  EXPECT_FALSE(NamedGuard::IsHeld("QuillmossQT10"));
  ::kill(child, SIGKILL);
  Wait(child);
}

TEST(NamedGuardPathTest, WithoutARuntimeFolderTheLockIsPerUserInTmp) {
  ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
  EXPECT_EQ(NamedGuard::LockPath("QuillmossQT10"),
            "/tmp/QuillmossQT10-" + std::to_string(::getuid()) + ".lock");
  ScopedEnv empty("XDG_RUNTIME_DIR", std::string());
  EXPECT_EQ(NamedGuard::LockPath("RoderoZerozUvo"),
            "/tmp/RoderoZerozUvo-" + std::to_string(::getuid()) + ".lock");
}

}  // namespace
