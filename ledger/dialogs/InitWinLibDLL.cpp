#include "InitWinLibDLL.h"

#include "CInstallation.h"

BOOL InitWinLibDLL() {
  // The utilities rest on the installation's host settings; say so now
  // rather than at the first file call.
  CInstallation install;
  return install.Load() ? TRUE : FALSE;
}
