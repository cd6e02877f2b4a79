#include "CUtyFile.h"

#include <cstring>

#include "CInstallation.h"
#include "FolderOps.h"
#include "UserFolder.h"

namespace {

BOOL Deliver(const CString& text, char* szPath, int nSize) {
  if (szPath == nullptr || nSize <= 0) return FALSE;
  szPath[0] = '\0';
  if (text.empty() || text.size() >= static_cast<std::size_t>(nSize)) return FALSE;
  std::memcpy(szPath, text.c_str(), text.size() + 1);
  return TRUE;
}

}  // namespace

BOOL CUtyFile::GetSpecialFolderPath(int nFolder, char* szPath, int nSize) {
  CString folder;
  // Like the shell's, the call fails for a folder that does not exist, so the
  // caller falls back instead of proposing it.
  if (nFolder != FOLDER_DOCUMENTS || !platform::GetDocumentsFolder(folder) ||
      !platform::FolderExists(folder)) {
    Deliver(CString(), szPath, nSize);
    return FALSE;
  }
  return Deliver(folder, szPath, nSize);
}

BOOL CUtyFile::AddBackSlash(char* szPath, int nSize) {
  return platform::AddPathSeparator(szPath, nSize) != 0 ? TRUE : FALSE;
}

short CUtyFile::GetFilePath(int nKind, char* szPath, int nSize, int nMode) {
  CInstallation install;
  if (nKind != FILE_KANRIDB || (nMode != 4 && nMode != 8) || !install.Load()) {
    Deliver(CString(), szPath, nSize);
    return 0;
  }
  return Deliver(install.GetManagementDb(), szPath, nSize) ? 1 : 0;
}

BOOL CUtyFile::GetSpFolderPath(int nFolder, char* szPath, int nSize) {
  CString folder;
  if (nFolder != SPFOLDER_KUMIAI || !platform::GetCooperativeSettingsFolder(folder)) {
    Deliver(CString(), szPath, nSize);
    return FALSE;
  }
  return Deliver(folder, szPath, nSize);
}

BOOL CUtyFile::CheckFolderExist(LPCSTR szFolder) {
  return szFolder != nullptr && platform::FolderExists(szFolder) ? TRUE : FALSE;
}

BOOL CUtyFile::CreateFolder(LPCSTR szFolder, int /*nAttr*/, void* /*pSecurity*/, int /*nFlags*/) {
  return szFolder != nullptr && *szFolder != '\0' && platform::CreateFolder(szFolder) ? TRUE
                                                                                      : FALSE;
}
