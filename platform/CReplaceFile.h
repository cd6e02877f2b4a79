#pragma once
// Replaces a file so that it is either replaced whole or left as it was: the
// new content goes to a temporary file in the target's folder, which is
// synced and renamed over the target, then the folder is synced. A failure
// at any point leaves the previous file byte for byte and no temporary file;
// a crash in the middle leaves the previous file too.
//
// The temporary file gets the target's permissions, or a new file's usual
// ones (0666 less the umask) when there is no target yet, so a replaced file
// keeps its mode.
//
// Use: Open(target); write the file named by TempPath() with any writer that
// opens by name (without changing its mode) and close it; Commit().

#include <string>

#include "WinTypes.h"

class CReplaceFile {
 public:
  CReplaceFile() = default;
  // Removes the temporary file unless Commit succeeded.
  ~CReplaceFile();
  CReplaceFile(const CReplaceFile&) = delete;
  CReplaceFile& operator=(const CReplaceFile&) = delete;

  // Creates the empty temporary file beside pszPath (CP932). 0 done, -1
  // failed (the path has no file-system form, names a folder, or the folder
  // cannot take a file).
  long Open(LPCSTR pszPath);
  // The temporary file, CP932; empty unless open.
  const CString& TempPath() const { return m_strTemp; }
  // Syncs the temporary file and renames it over the target. 0 replaced, -1
  // failed: the temporary file is gone and the target unchanged.
  long Commit();
  // Removes the temporary file; the target stays as it was.
  void Discard();
  // errno of the last failure of Open or Commit; 0 when none.
  int LastError() const { return m_nError; }

  // Process-wide: Commit renames without syncing, for a writer of many files
  // that flushes them all at once before any of them counts (the batch).
  static void DeferSync(bool bDefer);

  // Replaces pszPath with the bytes of data. On failure *pnError (when
  // given) receives errno.
  static long WriteBytes(LPCSTR pszPath, const std::string& data, int* pnError = nullptr);

 private:
  long Fail();

  std::string m_strOsPath;  // target, in the file system's encoding
  std::string m_strOsTemp;
  CString m_strTemp;
  bool m_bOpen = false;
  int m_nError = 0;
};
