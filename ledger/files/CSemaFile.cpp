#include "CSemaFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>

#include "OsPath.h"

CSemaFile::~CSemaFile() { Unlock(); }

BOOL CSemaFile::Lock(LPCSTR szFolder) {
  Unlock();
  if (szFolder == nullptr || *szFolder == '\0') return FALSE;
  CString path = szFolder;
  if (path.back() != '/') path += '/';
  std::string os;
  if (!platform::ToOsPath(path + FILE_NAME, os)) return FALSE;
  const int fd = ::open(os.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return FALSE;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return FALSE;
  }
  m_nFd = fd;
  return TRUE;
}

void CSemaFile::Unlock() {
  if (m_nFd >= 0) ::close(m_nFd);
  m_nFd = -1;
}
