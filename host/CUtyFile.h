#pragma once
// Folder and file utilities of the window utilities. Paths are CP932; every
// folder returned ends in "/". Buffers are nSize bytes; a result that does
// not fit, or a folder with no CP932 form, is a failure and leaves "".
//
// Folders: documents = $XDG_DOCUMENTS_DIR, else $HOME/Documents; the
// cooperative settings folder = $XDG_CONFIG_HOME/qt10/, else
// $HOME/.config/qt10/; the management database = as the installation's host
// settings name it (CInstallation.h of the ledger).

#include "WinTypes.h"

class CUtyFile {
 public:
  inline static constexpr int FOLDER_DOCUMENTS = 5;
  inline static constexpr int FILE_KANRIDB = 1;
  inline static constexpr int SPFOLDER_KUMIAI = 2;

  CUtyFile() = default;
  virtual ~CUtyFile() = default;

  // nFolder 5: documents folder. Non-zero on success.
  BOOL GetSpecialFolderPath(int nFolder, char* szPath, int nSize);
  // Appends "/" unless the path is empty or already ends in one (a trail
  // byte 0x2F of a double-byte character does not count). FALSE when there
  // is no room.
  BOOL AddBackSlash(char* szPath, int nSize);
  // nKind 1: management database path; nMode 4 or 8 (both name the same
  // database here). 0 on failure.
  short GetFilePath(int nKind, char* szPath, int nSize, int nMode);
  // nFolder 2: the cooperative settings folder. Non-zero on success.
  BOOL GetSpFolderPath(int nFolder, char* szPath, int nSize);
  BOOL CheckFolderExist(LPCSTR szFolder);
  // Creates the folder and any missing parents; TRUE when it exists after.
  BOOL CreateFolder(LPCSTR szFolder, int nAttr, void* pSecurity, int nFlags);
};
