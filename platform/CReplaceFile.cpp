#include "CReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "CFolderSync.h"
#include "FolderOps.h"
#include "OsPath.h"
#include "StaleTemps.h"
#include "SystemError.h"

namespace {

bool g_bDeferSync = false;

// The random part of the temporary file's name.
const char TEMP_PATTERN[] = "XXXXXX";

mode_t NewFileMode() {
  const mode_t nMask = ::umask(0);
  ::umask(nMask);
  return 0666 & ~nMask;
}

}  // namespace

CReplaceFile::~CReplaceFile() { Discard(); }

long CReplaceFile::Fail() {
  m_nError = errno;
  Discard();
  return -1;
}

long CReplaceFile::Open(LPCSTR pszPath) {
  Discard();
  m_nError = 0;
  if (pszPath == nullptr || !platform::ToOsPath(pszPath, m_strOsPath)) {
    m_nError = EINVAL;
    return -1;
  }
  mode_t nMode = NewFileMode();
  struct stat st;
  if (::stat(m_strOsPath.c_str(), &st) == 0) {
    // Only a regular file is replaced: a device, a pipe or a folder of that
    // name stays, and a file made read-only is the user's refusal.
    if (!S_ISREG(st.st_mode)) {
      m_nError = S_ISDIR(st.st_mode) ? EISDIR : platform::ERROR_NOT_A_FILE;
      return -1;
    }
    if ((st.st_mode & 0222) == 0 || ::access(m_strOsPath.c_str(), W_OK) != 0) {
      m_nError = EACCES;
      return -1;
    }
    nMode = st.st_mode & 07777;
  }
  // Hidden, beside the target, so the rename never crosses file systems;
  // "/" is never the second byte of a CP932 character, so both encodings
  // split at the same separator.
  const CString strTarget = pszPath;
  const std::size_t nSlash = strTarget.rfind('/');
  const std::size_t nOsSlash = m_strOsPath.rfind('/');
  const std::size_t nName = nSlash == CString::npos ? 0 : nSlash + 1;
  const std::size_t nOsName = nOsSlash == std::string::npos ? 0 : nOsSlash + 1;
  platform::RemoveStaleTempsOf(m_strOsPath);
  m_strOsTemp = m_strOsPath.substr(0, nOsName) +
                platform::TempName(m_strOsPath.substr(nOsName), TEMP_PATTERN);
  const int fd = ::mkostemp(m_strOsTemp.data(), O_CLOEXEC);
  if (fd < 0) return Fail();
  m_bOpen = true;
  m_strTemp =
      strTarget.substr(0, nName) +
      platform::TempName(strTarget.substr(nName),
                         m_strOsTemp.substr(m_strOsTemp.size() - (sizeof TEMP_PATTERN - 1)));
  const bool bMode = ::fchmod(fd, nMode) == 0;
  const int nError = errno;
  ::close(fd);
  if (!bMode) {
    errno = nError;
    return Fail();
  }
  return 0;
}

void CReplaceFile::DeferSync(bool bDefer) { g_bDeferSync = bDefer; }

long CReplaceFile::Commit() {
  if (!m_bOpen) return -1;
  CFolderSync folder;
  if ((!g_bDeferSync &&
       (!platform::SyncOsPath(m_strOsTemp) || !folder.OpenFolderOf(m_strOsPath))) ||
      std::rename(m_strOsTemp.c_str(), m_strOsPath.c_str()) != 0) {
    return Fail();
  }
  m_bOpen = false;
  m_strTemp.clear();
  // The rename is the moment of replacement; the folder's sync makes it
  // survive a power loss, and until it has, the write has not succeeded.
  if (!g_bDeferSync && !folder.Sync()) {
    m_nError = errno;
    return -1;
  }
  return 0;
}

void CReplaceFile::Discard() {
  if (!m_bOpen) return;
  ::unlink(m_strOsTemp.c_str());
  m_bOpen = false;
  m_strTemp.clear();
}

long CReplaceFile::WriteBytes(LPCSTR pszPath, const std::string& data, int* pnError) {
  CReplaceFile file;
  long nResult = file.Open(pszPath);
  if (nResult == 0) {
    const int fd = ::open(file.m_strOsTemp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    const bool bWritten = fd >= 0 && platform::WriteFd(fd, data.data(), data.size());
    const int nError = errno;
    const bool bClosed = fd >= 0 && ::close(fd) == 0;
    if (!bWritten) errno = nError;
    nResult = bWritten && bClosed ? file.Commit() : file.Fail();
  }
  if (nResult != 0 && pnError != nullptr) *pnError = file.LastError();
  return nResult;
}
