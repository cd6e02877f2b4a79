#include "QtUiBackendEntry.h"

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "CQtUiBackend.h"

namespace {

// A local X display is there when its socket is; a remote one is assumed.
bool XDisplayReachable(const char* pszDisplay) {
  if (!pszDisplay || !*pszDisplay) return false;
  const std::string strDisplay = pszDisplay;
  const std::size_t nColon = strDisplay.rfind(':');
  if (nColon == std::string::npos) return false;
  if (nColon > 0 && strDisplay.compare(0, nColon, "unix") != 0) return true;
  std::string strNumber = strDisplay.substr(nColon + 1);
  strNumber = strNumber.substr(0, strNumber.find('.'));
  if (strNumber.empty()) return false;
  std::error_code error;
  return std::filesystem::exists("/tmp/.X11-unix/X" + strNumber, error);
}

bool DisplayAvailable() {
  const char* pszPlatform = std::getenv("QT_QPA_PLATFORM");
  const std::string strPlatform = pszPlatform ? pszPlatform : "";
  if (!strPlatform.empty() && strPlatform.rfind("xcb", 0) != 0) return true;
  if (XDisplayReachable(std::getenv("DISPLAY"))) return true;
  const char* pszWayland = std::getenv("WAYLAND_DISPLAY");
  return strPlatform.empty() && pszWayland && *pszWayland;
}

}  // namespace

std::unique_ptr<CUiBackend> CreateQtUiBackend(int& argc, char** argv) {
  if (!QApplication::instance() && !DisplayAvailable()) return nullptr;
  return std::make_unique<CQtUiBackend>(argc, argv);
}
