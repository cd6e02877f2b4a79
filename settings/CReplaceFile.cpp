#include "CReplaceFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "OsPath.h"

namespace {

// Beside the target, so the rename never crosses file systems.
const char TEMP_SUFFIX[] = ".tmp";

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

bool SyncPath(const std::string& strOsPath) {
  const int fd = ::open(strOsPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool bSynced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && bSynced;
}

// The rename is the moment of replacement; syncing the folder afterwards
// makes it survive a power loss, and failing that changes nothing for the
// file, so its result is not looked at.
bool Publish(const std::string& strOsTemp, const std::string& strOsPath) {
  if (!SyncPath(strOsTemp) || std::rename(strOsTemp.c_str(), strOsPath.c_str()) != 0) return false;
  const std::size_t nSlash = strOsPath.rfind('/');
  SyncPath(nSlash == std::string::npos ? std::string(".") : strOsPath.substr(0, nSlash + 1));
  return true;
}

}  // namespace

CReplaceFile::CReplaceFile() : m_bOpen(FALSE) {}

CReplaceFile::~CReplaceFile() { Discard(); }

long CReplaceFile::Open(LPCSTR pszPath) {
  Discard();
  if (pszPath == nullptr || !platform::ToOsPath(pszPath, m_strOsPath)) return -1;
  m_strTemp = CString(pszPath) + TEMP_SUFFIX;
  m_strOsTemp = m_strOsPath + TEMP_SUFFIX;
  if (m_file.Open(m_strTemp.c_str(), _CTextFile::TF_WRITE | _CTextFile::TF_TRUNCATE) != 0) {
    return -1;
  }
  m_bOpen = TRUE;
  return 0;
}

long CReplaceFile::Commit() {
  if (!m_bOpen) return -1;
  const bool bClosed = m_file.Close() == 0;
  if (!bClosed || !Publish(m_strOsTemp, m_strOsPath)) {
    Discard();
    return -1;
  }
  m_bOpen = FALSE;
  return 0;
}

void CReplaceFile::Discard() {
  if (!m_bOpen) return;
  m_file.Close();
  ::unlink(m_strOsTemp.c_str());
  m_bOpen = FALSE;
}

long CReplaceFile::WriteBytes(LPCSTR pszPath, const std::string& data) {
  std::string strOsPath;
  if (pszPath == nullptr || !platform::ToOsPath(pszPath, strOsPath)) return -1;
  const std::string strOsTemp = strOsPath + TEMP_SUFFIX;
  const int fd = ::open(strOsTemp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  const bool bWritten = WriteFd(fd, data.data(), data.size());
  if (::close(fd) != 0 || !bWritten || !Publish(strOsTemp, strOsPath)) {
    ::unlink(strOsTemp.c_str());
    return -1;
  }
  return 0;
}
