#include "FolderOps.h"

#include <fcntl.h>
#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "OsPath.h"

namespace platform {
namespace {

// The path the program was started by, made absolute against the folder it
// was started in. Taken before main(), since the program changes its current
// directory later.
std::string StartedAs() {
  const char* path = reinterpret_cast<const char*>(::getauxval(AT_EXECFN));
  if (path == nullptr || *path == '\0') return {};
  std::string started = path;
  if (started.front() != '/') {
    char cwd[4096];
    if (::getcwd(cwd, sizeof cwd) == nullptr) return {};
    started = std::string(cwd) + "/" + started;
  }
  return std::filesystem::path(started).lexically_normal().string();
}

const std::string g_startedAs = StartedAs();

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// The running executable itself, links resolved.
bool RunningExecutable(std::string& exe) {
  exe.assign(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= exe.size()) return false;
  exe.resize(static_cast<std::size_t>(n));
  return true;
}

bool StatOf(const CString& path, struct stat& st) {
  std::string os;
  return ToOsPath(path, os) && ::stat(os.c_str(), &st) == 0;
}

}  // namespace

bool FileExists(const CString& path) {
  struct stat st;
  return StatOf(path, st) && S_ISREG(st.st_mode);
}

bool ReadRegularFile(const CString& path, std::string& out) {
  out.clear();
  std::string os;
  if (!ToOsPath(path, os)) {
    errno = EINVAL;
    return false;
  }
  const int fd = ::open(os.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0;
  if (ok && !S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ok = false;
  }
  char block[65536];
  while (ok) {
    const ssize_t n = ::read(fd, block, sizeof block);
    if (n == 0) break;
    if (n < 0) {
      ok = errno == EINTR;
      continue;
    }
    out.append(block, static_cast<std::size_t>(n));
  }
  const int error = errno;
  ::close(fd);
  if (!ok) {
    out.clear();
    errno = error;
  }
  return ok;
}

bool SyncOsPath(const std::string& osPath) {
  const int fd = ::open(osPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  const int error = errno;
  const bool closed = ::close(fd) == 0;
  if (!synced) errno = error;
  return closed && synced;
}

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

bool FolderExists(const CString& path) {
  struct stat st;
  return StatOf(path, st) && S_ISDIR(st.st_mode);
}

bool CreateFolder(const CString& path) {
  std::string os;
  if (!ToOsPath(path, os)) return false;
  // Each level in turn; a level that exists already (or appears meanwhile) is fine.
  for (std::size_t pos = os.find('/', 1);; pos = os.find('/', pos + 1)) {
    const std::string level = os.substr(0, pos);
    if (::mkdir(level.c_str(), 0777) != 0 && errno != EEXIST) return false;
    if (pos == std::string::npos) break;
  }
  struct stat st;
  return ::stat(os.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool GetProgramFolder(CString& out) {
  out.clear();
  std::string exe;
  if (!RunningExecutable(exe)) return false;
  // Started through a link in an installation folder: that folder is the
  // program's, not the one the link points into. A start by /proc/self/exe
  // names no folder of the program's.
  if (!g_startedAs.empty() && !g_startedAs.starts_with("/proc/") && SameFile(g_startedAs, exe)) {
    exe = g_startedAs;
  }
  const std::size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return false;
  exe.resize(slash == 0 ? 1 : slash);
  return FromOsPath(exe, out);
}

int AddPathSeparator(char* path, int capacity) {
  if (path == nullptr || capacity <= 0 || path[0] == '\0') return 0;
  const std::size_t length = ::strnlen(path, static_cast<std::size_t>(capacity));
  if (length >= static_cast<std::size_t>(capacity)) return 0;  // not terminated within the buffer
  if (path[length - 1] == '/') return 1;
  if (length >= static_cast<std::size_t>(capacity) - 1) return 0;
  path[length] = '/';
  path[length + 1] = '\0';
  return 1;
}

}  // namespace platform
