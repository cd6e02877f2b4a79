#pragma once
// Paths of the host program: arguments arrive as UTF-8 OS paths, the ledger
// takes absolute CP932 paths; and the build tree's locations of the files
// that init installs.

#include <filesystem>
#include <string>

#include "WinTypes.h"

class HostPaths {
 public:
  // Absolute, normalised CP932 form of an argument; false when it has no
  // CP932 form (the message then names it).
  static bool ToLedgerPath(const std::string& strArg, CString& strOut, std::string& strError);
  // The running executable.
  static std::filesystem::path Executable();
  // The installation files (SUPPORT.INF, books, ...), found from the running
  // program: the package's data folder, or the build tree's link to data/.
  static std::filesystem::path DataFolder();
};
