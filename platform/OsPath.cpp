#include "OsPath.h"

#include "Cp932.h"

namespace platform {

bool ToOsPath(std::string_view path, std::string& out) {
  out.clear();
  if (path.empty() || path.find('\0') != std::string_view::npos) return false;
  return cp932::ToUtf8(path, out);
}

bool FromOsPath(std::string_view osPath, CString& out) { return cp932::FromUtf8(osPath, out); }

}  // namespace platform
