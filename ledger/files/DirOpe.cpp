#include "DirOpe.h"

#include "DriveProbe.h"
#include "FolderOps.h"

short DirOpe::CheckDrive(LPCSTR szFolder) {
  if (szFolder == nullptr) return DriveProbe::kFolderMalformed;
  return DriveProbe().CheckFolderDrive(szFolder);
}

BOOL DirOpe::change(LPCSTR szFolder) {
  return szFolder != nullptr && platform::FolderExists(szFolder) ? TRUE : FALSE;
}
