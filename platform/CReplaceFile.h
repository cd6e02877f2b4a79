#pragma once
// Replaces a file so that it is either replaced whole or left as it was: the
// new content goes to a temporary file in the target's folder, which is
// synced and renamed over the target, then the folder is synced. A failure
// at any point leaves the previous file byte for byte and no temporary file;
// a crash in the middle leaves the previous file too.
//
// Only a regular file that may be written is replaced: a folder, device or
// pipe of the target's name, or a read-only file, fails Open and stays as it
// is. The temporary file's name carries the process number (see
// StaleTemps.h); Open removes those a dead process left for the same target.
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
  // failed (the path has no file-system form, names something that is not a
  // regular file or is read-only, or the folder cannot take a file).
  long Open(LPCSTR pszPath);
  // The temporary file, CP932; empty unless open.
  const CString& TempPath() const { return m_strTemp; }
  // Syncs the temporary file, renames it over the target and syncs the
  // folder. 0 replaced and durable, -1 failed: the temporary file is gone and
  // the target unchanged, except when only the folder's sync after the
  // rename failed: the target then holds the new content, which a power loss
  // may undo.
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
