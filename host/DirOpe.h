#pragma once
// Folder checks of the window utilities.

#include "WinTypes.h"

class DirOpe {
 public:
  DirOpe() = default;
  virtual ~DirOpe() = default;

  // -1 for a malformed folder (empty, relative, not CP932), 0 when the file
  // system holding it cannot be reached, 1 for a usable one.
  short CheckDrive(LPCSTR szFolder);
  // Non-zero when the folder exists. The current directory is left alone:
  // the program reads files relative to it afterwards.
  BOOL change(LPCSTR szFolder);
};
