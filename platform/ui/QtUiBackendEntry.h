#pragma once
// The Qt backend's entry point, defined by the platform_ui_qt library in
// platform/ui/qt/QtUiBackendEntry.cpp (the file's presence plugs Qt in) and
// called by InstallUiBackend (startup/ui).
// Returns null when Qt cannot open a display; InstallUiBackend then falls
// back to the headless backend.

#include <memory>

#include "CUiBackend.h"

std::unique_ptr<CUiBackend> CreateQtUiBackend(int& argc, char** argv);
