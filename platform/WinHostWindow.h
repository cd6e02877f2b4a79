#pragma once
// The calls the program makes on the host's window, which lives in another
// process. Each window N has a Unix datagram socket,
// $XDG_RUNTIME_DIR/qt10-hwnd-N.sock (without that variable
// /tmp/qt10-hwnd-N-UID.sock), and each call sends it one ASCII line:
//   enable 0 | enable 1 | foreground | post MSG WPARAM LPARAM
// in decimal, WPARAM and LPARAM as signed numbers. With no listener on the
// socket the call is dropped, as Windows drops calls on a stale handle.

#include <sys/un.h>

#include <cstdint>
#include <string>

#include "WinTypes.h"

// TRUE when the message reached the window's socket.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The previous state is not known across processes: always FALSE.
BOOL EnableWindow(HWND window, BOOL enable);
// TRUE when the request reached the window's socket.
BOOL SetForegroundWindow(HWND window);

namespace platform {

// The socket of window number n.
std::string HostWindowSocketPath(std::uintptr_t n);
// Its address; false when the path does not fit an address.
bool HostWindowSocketAddress(std::uintptr_t n, sockaddr_un& address);

}  // namespace platform
