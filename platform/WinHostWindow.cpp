#include "WinHostWindow.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

// A full queue on the listener is waited out for up to about a second; a
// missing listener is not waited for.
bool Send(HWND window, const std::string& line) {
  const auto n = reinterpret_cast<std::uintptr_t>(window);
  if (n == 0) return false;
  sockaddr_un address{};
  if (!platform::HostWindowSocketAddress(n, address)) return false;
  const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const std::string datagram = line + "\n";
  bool sent = false;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const ssize_t n = ::sendto(fd, datagram.data(), datagram.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                               reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (n == static_cast<ssize_t>(datagram.size())) {
      sent = true;
      break;
    }
    if (n >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) break;
    const timespec pause{0, 10'000'000};
    ::nanosleep(&pause, nullptr);
  }
  ::close(fd);
  return sent;
}

}  // namespace

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Send(window, "post " + std::to_string(message) + " " +
                          std::to_string(static_cast<std::intptr_t>(wParam)) + " " +
                          std::to_string(lParam))
             ? TRUE
             : FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
  Send(window, enable ? "enable 1" : "enable 0");
  return FALSE;
}

BOOL SetForegroundWindow(HWND window) { return Send(window, "foreground") ? TRUE : FALSE; }

namespace platform {

std::string HostWindowSocketPath(std::uintptr_t n) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0')
    return std::string(runtime) + "/qt10-hwnd-" + std::to_string(n) + ".sock";
  return "/tmp/qt10-hwnd-" + std::to_string(n) + "-" + std::to_string(::getuid()) + ".sock";
}

bool HostWindowSocketAddress(std::uintptr_t n, sockaddr_un& address) {
  const std::string path = HostWindowSocketPath(n);
  address = sockaddr_un{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

}  // namespace platform
