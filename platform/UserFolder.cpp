#include "UserFolder.h"

#include <cstdlib>
#include <string>

#include "OsPath.h"

namespace platform {
namespace {

// The variable's value when set and not empty, else $HOME followed by
// fallback; false when neither gives an absolute folder.
bool FromEnvironment(const char* variable, const char* fallback, std::string& out) {
  const char* value = std::getenv(variable);
  if (value != nullptr && *value != '\0') {
    out = value;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return false;
    out = home;
    if (out.back() != '/') out += '/';
    out += fallback;
  }
  return out.front() == '/';
}

bool Finish(std::string os, const char* tail, CString& out) {
  if (os.back() != '/') os += '/';
  os += tail;
  return FromOsPath(os, out);
}

}  // namespace

bool GetDocumentsFolder(CString& out) {
  out.clear();
  std::string os;
  return FromEnvironment("XDG_DOCUMENTS_DIR", "Documents", os) && Finish(os, "", out);
}

bool GetCooperativeSettingsFolder(CString& out) {
  out.clear();
  std::string os;
  return FromEnvironment("XDG_CONFIG_HOME", ".config", os) && Finish(os, "qt10/", out);
}

}  // namespace platform
