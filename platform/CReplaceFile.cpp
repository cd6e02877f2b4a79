#include "CReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "FolderOps.h"
#include "OsPath.h"

namespace {

bool g_bDeferSync = false;

// Hidden, beside the target, so the rename never crosses file systems.
const char TEMP_PREFIX[] = ".";
const char TEMP_PATTERN[] = ".XXXXXX";

bool WriteFd(int fd, const char* pData, std::size_t nSize) {
  while (nSize > 0) {
    const ssize_t n = ::write(fd, pData, nSize);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    pData += n;
    nSize -= static_cast<std::size_t>(n);
  }
  return true;
}

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
    if (S_ISDIR(st.st_mode)) {
      m_nError = EISDIR;
      return -1;
    }
    nMode = st.st_mode & 07777;
  }
  // "/" is never the second byte of a CP932 character, so both encodings
  // split at the same separator.
  const CString strTarget = pszPath;
  const std::size_t nSlash = strTarget.rfind('/');
  const std::size_t nOsSlash = m_strOsPath.rfind('/');
  const std::size_t nName = nSlash == CString::npos ? 0 : nSlash + 1;
  const std::size_t nOsName = nOsSlash == std::string::npos ? 0 : nOsSlash + 1;
  m_strOsTemp =
      m_strOsPath.substr(0, nOsName) + TEMP_PREFIX + m_strOsPath.substr(nOsName) + TEMP_PATTERN;
  const int fd = ::mkostemp(m_strOsTemp.data(), O_CLOEXEC);
  if (fd < 0) return Fail();
  m_bOpen = true;
  m_strTemp = strTarget.substr(0, nName) + TEMP_PREFIX + strTarget.substr(nName) +
              m_strOsTemp.substr(m_strOsTemp.size() - (sizeof TEMP_PATTERN - 1));
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
  if ((!g_bDeferSync && !platform::SyncOsPath(m_strOsTemp)) ||
      std::rename(m_strOsTemp.c_str(), m_strOsPath.c_str()) != 0) {
    return Fail();
  }
  m_bOpen = false;
  m_strTemp.clear();
  if (g_bDeferSync) return 0;
  // The rename is the moment of replacement; syncing the folder afterwards
  // makes it survive a power loss, and failing that changes nothing for the
  // file, so its result is not looked at.
  const std::size_t nSlash = m_strOsPath.rfind('/');
  platform::SyncOsPath(nSlash == std::string::npos ? std::string(".")
                                                   : m_strOsPath.substr(0, nSlash + 1));
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
    const bool bWritten = fd >= 0 && WriteFd(fd, data.data(), data.size());
    const int nError = errno;
    const bool bClosed = fd >= 0 && ::close(fd) == 0;
    if (!bWritten) errno = nError;
    nResult = bWritten && bClosed ? file.Commit() : file.Fail();
  }
  if (nResult != 0 && pnError != nullptr) *pnError = file.LastError();
  return nResult;
}
