#include "UserFolder.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

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

// The value of XDG_DOCUMENTS_DIR in user-dirs.dirs, as xdg-user-dir reads
// it: a line XDG_DOCUMENTS_DIR="$HOME/..." or ="/...", the quotes optional and
// a backslash escaping the character after it; the last such line counts, as
// when the shell reads the file. False when the file or the line is missing
// or the value names no absolute folder.
bool FromUserDirs(std::string& out) {
  const char* home = std::getenv("HOME");
  std::string config;
  if (!FromEnvironment("XDG_CONFIG_HOME", ".config", config)) return false;
  std::ifstream in(config + "/user-dirs.dirs");
  constexpr std::string_view key = "XDG_DOCUMENTS_DIR=";
  bool found = false;
  for (std::string line; std::getline(in, line);) {
    std::string_view rest = line;
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    if (!rest.starts_with(key)) continue;
    rest.remove_prefix(key.size());
    std::string value;
    bool quoted = false;
    for (std::size_t i = 0; i < rest.size(); ++i) {
      if (rest[i] == '"') {
        quoted = !quoted;
      } else if (rest[i] == '\\' && i + 1 < rest.size()) {
        value += rest[++i];
      } else if (!quoted && (rest[i] == ' ' || rest[i] == '\t' || rest[i] == '#')) {
        break;
      } else {
        value += rest[i];
      }
    }
    constexpr std::string_view homeVariable = "$HOME";
    if (value.starts_with(homeVariable) &&
        (value.size() == homeVariable.size() || value[homeVariable.size()] == '/')) {
      value = home == nullptr ? std::string() : home + value.substr(homeVariable.size());
    }
    found = value.starts_with('/');
    if (found) out = value;
  }
  return found;
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
  const char* value = std::getenv("XDG_DOCUMENTS_DIR");
  const bool found = ((value == nullptr || *value == '\0') && FromUserDirs(os)) ||
                     FromEnvironment("XDG_DOCUMENTS_DIR", "Documents", os);
  if (!found) return false;
  if (Finish(os, "", out)) return true;
  std::fprintf(stderr, "%s: the documents folder has no Shift_JIS (CP932) form and is not used\n",
               os.c_str());
  return false;
}

bool GetCooperativeSettingsFolder(CString& out) {
  out.clear();
  std::string os;
  return FromEnvironment("XDG_CONFIG_HOME", ".config", os) && Finish(os, "qt10/", out);
}

}  // namespace platform
