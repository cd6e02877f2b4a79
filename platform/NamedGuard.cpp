#include "NamedGuard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace {

int Lock(int fd, int operation) {
  int rc;
  do rc = ::flock(fd, operation | LOCK_NB);
  while (rc != 0 && errno == EINTR);
  return rc;
}

}  // namespace

NamedGuard::~NamedGuard() { Close(); }

std::string NamedGuard::LockPath(const char* name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0') return std::string(runtime) + "/" + name + ".lock";
  return std::string("/tmp/") + name + "-" + std::to_string(::getuid()) + ".lock";
}

bool NamedGuard::IsHeld(const char* name) {
  const int fd = ::open(LockPath(name).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;  // never created, so never held
  // A shared probe: it conflicts with a holder's exclusive lock but not with
  // another process probing at the same moment.
  const bool held = Lock(fd, LOCK_SH) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

bool NamedGuard::Create(const char* name) {
  Close();
  const int fd = ::open(LockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  // Another process's probe holds a shared lock for an instant; wait that
  // out, but not a real holder.
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (Lock(fd, LOCK_EX) == 0) {
      m_nFd = fd;
      return true;
    }
    if (errno != EWOULDBLOCK) break;
    const timespec pause{0, 5'000'000};
    ::nanosleep(&pause, nullptr);
  }
  ::close(fd);
  return false;
}

void NamedGuard::Close() {
  if (m_nFd < 0) return;
  ::close(m_nFd);
  m_nFd = -1;
}
