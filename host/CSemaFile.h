#pragma once
// Semaphore file: while held, marks a data-set folder as in use by this
// process. The lock is an flock on ".qt10-sema" inside the folder,
// released by Unlock, the destructor, or the death of the process.

#include "WinTypes.h"

class CSemaFile {
 public:
  inline static constexpr const char* FILE_NAME = ".qt10-sema";

  CSemaFile() = default;
  virtual ~CSemaFile();

  // TRUE when the folder's semaphore is now held by this object (a lock held
  // before is released first); FALSE when another holder has it.
  BOOL Lock(LPCSTR szFolder);
  void Unlock();
  BOOL IsLocked() const { return m_nFd >= 0; }

 private:
  int m_nFd = -1;
};
