#pragma once
// The host's side of the window channel: binds window N's socket and takes
// the lines the program sends to it (see WinHostWindow.h).

#include <cstdint>
#include <string>

class HostWindowListener {
 public:
  HostWindowListener() = default;
  ~HostWindowListener();
  HostWindowListener(const HostWindowListener&) = delete;
  HostWindowListener& operator=(const HostWindowListener&) = delete;

  // Binds the socket of window n, replacing a socket file a dead listener
  // left behind. False when the socket cannot be made or its path is too long.
  bool Open(std::uintptr_t n);
  // Closes the socket and removes its file.
  void Close();
  bool IsOpen() const { return m_nFd >= 0; }

  // The next line, without its newline; false when none came within
  // timeoutMs milliseconds (a negative timeout waits without limit).
  bool Receive(std::string& line, int timeoutMs);

 private:
  int m_nFd = -1;
  std::string m_strPath;
};
