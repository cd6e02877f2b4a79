#pragma once
// The Qt backend's entry point, defined by the platform_ui_qt library.
// Returns null when Qt cannot open a display; InstallUiBackend then falls
// back to the headless backend.

#include <memory>

#include "CUiBackend.h"

std::unique_ptr<CUiBackend> CreateQtUiBackend(int& argc, char** argv);
