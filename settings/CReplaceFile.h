#pragma once
// Rewrites a settings file so that it is either replaced whole or left as it
// was: the new content goes to a temporary file in the same folder, which is
// synced to disk and then renamed over the old file. A save that fails at any
// point, or a crash in the middle of it, leaves the previous file untouched.

#include <string>

#include "WinTypes.h"
#include "_CTextFile.h"

class CReplaceFile {
 public:
  CReplaceFile();
  // Removes the temporary file unless Commit succeeded.
  ~CReplaceFile();
  CReplaceFile(const CReplaceFile&) = delete;
  CReplaceFile& operator=(const CReplaceFile&) = delete;

  // Opens the temporary file beside pszPath (CP932) for writing through
  // File(). 0 opened, -1 failed.
  long Open(LPCSTR pszPath);
  _CTextFile& File() { return m_file; }
  // Closes the temporary file and puts it in place of the target. 0 replaced,
  // -1 failed (a write failed earlier or now); the target is then unchanged.
  long Commit();

  // Replaces pszPath with the bytes of data, written as they are.
  static long WriteBytes(LPCSTR pszPath, const std::string& data);

 private:
  void Discard();

  _CTextFile m_file;
  std::string m_strOsPath;  // target, in the file system's encoding
  std::string m_strOsTemp;
  CString m_strTemp;  // the temporary file, CP932, as _CTextFile opens it
  BOOL m_bOpen;
};
