#include "ArgvText.h"

#include <cstdlib>

#include "Cp932.h"

namespace platform {

bool CommandLineFromArgs(int argc, const char* const* argv, CString& out) {
  out.clear();
  CString line;
  for (int i = 1; i < argc; ++i) {
    CString arg;
    if (argv[i] == nullptr || !cp932::FromUtf8(argv[i], arg)) return false;
    if (i > 1) line += ' ';
    line += arg;
  }
  out = std::move(line);
  return true;
}

bool GetEnvironmentCp932(const char* name, CString& out) {
  out.clear();
  const char* value = name == nullptr ? nullptr : std::getenv(name);
  return value != nullptr && cp932::FromUtf8(value, out);
}

}  // namespace platform
