#include "CFolderSync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

CFolderSync::~CFolderSync() {
  if (m_nFd >= 0) ::close(m_nFd);
}

bool CFolderSync::Open(const std::string& strOsFolder) {
  if (m_nFd >= 0) ::close(m_nFd);
  m_nFd =
      ::open(strOsFolder.empty() ? "." : strOsFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  return m_nFd >= 0;
}

bool CFolderSync::OpenFolderOf(const std::string& strOsFile) {
  const std::size_t nSlash = strOsFile.rfind('/');
  return Open(nSlash == std::string::npos ? std::string() : strOsFile.substr(0, nSlash + 1));
}

bool CFolderSync::Sync() {
  if (m_nFd < 0) {
    errno = EBADF;
    return false;
  }
  const bool bSynced = ::fsync(m_nFd) == 0;
  const int nError = errno;
  const bool bClosed = ::close(m_nFd) == 0;
  m_nFd = -1;
  if (!bSynced) errno = nError;
  return bSynced && bClosed;
}
