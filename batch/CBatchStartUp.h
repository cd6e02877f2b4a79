#pragma once
// What the program checks before a batch may run, given by the program that
// starts the batch: the checks of a run by hand, with its guards.

#include "WinTypes.h"

class CBatchStartUp {
 public:
  virtual ~CBatchStartUp() = default;
  // Before the books are opened: the system date, the guards of a run by
  // hand (held until this object goes), the memory. False after a message.
  virtual bool BeforeBooks() = 0;
  // With the books open: the drive, the program level, the release of the
  // data access. False after a message.
  virtual bool WithBooks(const CString& strProgramFolder) = 0;
};
