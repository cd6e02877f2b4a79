#pragma once
// Picks and installs the UI backend at start-up, from the environment:
//   RX16_UI             "headless" or "qt"; unset: qt when a display is
//                       available (DISPLAY, WAYLAND_DISPLAY or
//                       QT_QPA_PLATFORM set), else headless
//   RX16_UI_SCRIPT      the headless script (UTF-8 file)
//   RX16_UI_TRANSCRIPT  the headless transcript (appended; unset: stderr)
// The program's resources are registered at the same time. A headless start
// without a script says so in one line on standard error; every dialog is
// then cancelled, so the run ends as a cancellation. A script or transcript
// that cannot be used ends the process with exit status 3.
//
// The Qt backend plugs in by defining CreateQtUiBackend (QtUiBackendEntry.h)
// in platform/ui/qt/QtUiBackendEntry.cpp; when Qt is built this library
// links the Qt backend and calls it.

#include "CUiBackend.h"

enum class UiBackendKind { None, Headless, Qt };

struct UiStartResult {
  UiBackendKind kind = UiBackendKind::None;
  BOOL bScripted = FALSE;  // headless with a script
};

UiStartResult InstallUiBackend(int& argc, char** argv);
// Removes and destroys the backend installed by InstallUiBackend.
void UninstallUiBackend();
