#include "WinFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FolderOps.h"
#include "OsPath.h"

namespace {

bool OsName(LPCSTR path, std::string& out) {
  out.clear();
  return path != nullptr && platform::ToOsPath(path, out);
}

// Copies text into a Windows-style string buffer.
DWORD PutString(const CString& text, DWORD bufferSize, LPSTR buffer) {
  if (buffer == nullptr || bufferSize < text.size() + 1) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

bool CopyContents(int from, int to) {
  char block[65536];
  for (;;) {
    const ssize_t n = ::read(from, block, sizeof block);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (!platform::WriteFd(to, block, static_cast<std::size_t>(n))) return false;
  }
}

// Copies, gives the copy the source's permissions and closes it; false on
// any failure, a full disk included.
bool FillCopy(int src, int dst, mode_t mode) {
  bool ok = CopyContents(src, dst) && ::fchmod(dst, mode & 0777) == 0;
  return ::close(dst) == 0 && ok;
}

}  // namespace

BOOL PathFileExistsA(LPCSTR path) {
  std::string os;
  struct stat st;
  return OsName(path, os) && ::stat(os.c_str(), &st) == 0 ? TRUE : FALSE;
}

BOOL CopyFileA(LPCSTR existingName, LPCSTR newName, BOOL failIfExists) {
  std::string from;
  std::string to;
  if (!OsName(existingName, from) || !OsName(newName, to)) return FALSE;
  const int src = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (src < 0) return FALSE;
  struct stat st;
  if (::fstat(src, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(src);
    return FALSE;
  }
  if (failIfExists) {
    // O_EXCL refuses a target that exists, even one that appears meanwhile.
    const int dst = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (dst < 0) {
      ::close(src);
      return FALSE;
    }
    const bool ok = FillCopy(src, dst, st.st_mode);
    ::close(src);
    if (!ok) ::unlink(to.c_str());
    return ok ? TRUE : FALSE;
  }
  const std::size_t slash = to.rfind('/');
  std::string temp = (slash == std::string::npos ? std::string() : to.substr(0, slash + 1));
  temp += ".copy-XXXXXX";
  const int dst = ::mkostemp(temp.data(), O_CLOEXEC);
  if (dst < 0) {
    ::close(src);
    return FALSE;
  }
  bool ok = FillCopy(src, dst, st.st_mode);
  ::close(src);
  if (ok) ok = ::rename(temp.c_str(), to.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok ? TRUE : FALSE;
}

BOOL MoveFileA(LPCSTR existingName, LPCSTR newName) {
  std::string from;
  std::string to;
  if (!OsName(existingName, from) || !OsName(newName, to)) {
    errno = EINVAL;
    return FALSE;
  }
  return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0 ? TRUE
                                                                                          : FALSE;
}

HFILE _lopen(LPCSTR path, int mode) {
  std::string os;
  if (!OsName(path, os)) return HFILE_ERROR;
  int flags = O_RDONLY;
  if ((mode & 3) == OF_WRITE) flags = O_WRONLY;
  if ((mode & 3) == OF_READWRITE) flags = O_RDWR;
  const int fd = ::open(os.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return HFILE_ERROR;
  // Windows opens no folder as a file; here one would open for reading.
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    return HFILE_ERROR;
  }
  return fd;
}

HFILE _lclose(HFILE file) { return file >= 0 && ::close(file) == 0 ? 0 : HFILE_ERROR; }

DWORD GetCurrentDirectoryA(DWORD bufferSize, LPSTR buffer) {
  char* os = ::getcwd(nullptr, 0);
  if (os == nullptr) return 0;
  CString path;
  const bool ok = platform::FromOsPath(os, path);
  std::free(os);
  return ok ? PutString(path, bufferSize, buffer) : 0;
}

BOOL SetCurrentDirectoryA(LPCSTR path) {
  std::string os;
  return OsName(path, os) && ::chdir(os.c_str()) == 0 ? TRUE : FALSE;
}

DWORD GetTempPathA(DWORD bufferSize, LPSTR buffer) {
  CString path;
  const char* env = std::getenv("TMPDIR");
  if (env == nullptr || *env == '\0' || !platform::FromOsPath(env, path)) path = "/tmp";
  if (path.back() != '/') path += '/';
  return PutString(path, bufferSize, buffer);
}
