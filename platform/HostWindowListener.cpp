#include "HostWindowListener.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "WinHostWindow.h"

HostWindowListener::~HostWindowListener() { Close(); }

bool HostWindowListener::Open(std::uintptr_t n) {
  Close();
  sockaddr_un address{};
  if (!platform::HostWindowSocketAddress(n, address)) return false;
  const std::string path = address.sun_path;
  const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  ::unlink(path.c_str());
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return false;
  }
  m_nFd = fd;
  m_strPath = path;
  return true;
}

void HostWindowListener::Close() {
  if (m_nFd < 0) return;
  ::close(m_nFd);
  ::unlink(m_strPath.c_str());
  m_nFd = -1;
  m_strPath.clear();
}

bool HostWindowListener::Receive(std::string& line, int timeoutMs) {
  line.clear();
  if (m_nFd < 0) return false;
  pollfd p{m_nFd, POLLIN, 0};
  int ready;
  do ready = ::poll(&p, 1, timeoutMs);
  while (ready < 0 && errno == EINTR);
  if (ready <= 0) return false;
  char buffer[512];
  const ssize_t n = ::recv(m_nFd, buffer, sizeof buffer, 0);
  if (n < 0) return false;
  line.assign(buffer, static_cast<std::size_t>(n));
  if (!line.empty() && line.back() == '\n') line.pop_back();
  return true;
}
