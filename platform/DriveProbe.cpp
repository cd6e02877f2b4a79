#include "DriveProbe.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

#include "OsPath.h"

namespace {

constexpr std::uint32_t kNetworkMagic[] = {
    0x6969,      // nfs
    0x517B,      // smbfs
    0xFF534D42,  // cifs
    0xFE534D42,  // smb2/smb3
    0x564C,      // ncpfs
    0x5346414F,  // afs
    0x00C36400,  // ceph
    0x73757245,  // coda
    0x6B414653,  // kafs
};

// Mount types that are network file systems; FUSE ones cannot be told apart
// by their magic number, only by the type mountinfo names. 9p is left out:
// sandboxes and virtual machines use it for their own root file system.
constexpr std::string_view kNetworkTypes[] = {
    "nfs",        "nfs4",        "cifs",      "smb3",           "smbfs",
    "ncpfs",      "afs",         "ceph",      "coda",           "davfs",
    "fuse.sshfs", "fuse.rclone", "fuse.s3fs", "fuse.glusterfs", "fuse.davfs2",
};

struct Mount {
  unsigned major = 0;
  unsigned minor = 0;
  std::string point;
  std::string type;
  std::string source;
};

// mountinfo writes space, tab, newline and backslash as octal escapes.
std::string Unescape(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string digits = field.substr(i + 1, 3);
      if (digits.find_first_not_of("01234567") == std::string::npos) {
        out += static_cast<char>(std::strtol(digits.c_str(), nullptr, 8));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

std::vector<Mount> ReadMounts(const std::string& path) {
  std::vector<Mount> mounts;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string id, parent, device, root, point, options, field;
    if (!(fields >> id >> parent >> device >> root >> point >> options)) continue;
    while (fields >> field && field != "-") {
    }
    Mount m;
    if (field != "-" || !(fields >> m.type >> m.source)) continue;
    if (std::sscanf(device.c_str(), "%u:%u", &m.major, &m.minor) != 2) continue;
    m.point = Unescape(point);
    m.source = Unescape(m.source);
    mounts.push_back(std::move(m));
  }
  return mounts;
}

bool IsUnder(const std::string& path, const std::string& point) {
  if (point == "/") return true;
  return path.compare(0, point.size(), point) == 0 &&
         (path.size() == point.size() || path[point.size()] == '/');
}

// The mount holding path: among the mounts of its device the one with the
// longest mount point above it, else the longest such point of any mount.
const Mount* FindMount(const std::vector<Mount>& mounts, const std::string& path, dev_t device) {
  const Mount* best = nullptr;
  bool bestOnDevice = false;
  for (const Mount& m : mounts) {
    if (!IsUnder(path, m.point)) continue;
    const bool onDevice = m.major == major(device) && m.minor == minor(device);
    if (best == nullptr || (onDevice && !bestOnDevice) ||
        (onDevice == bestOnDevice && m.point.size() >= best->point.size())) {
      best = &m;
      bestOnDevice = onDevice;
    }
  }
  return best;
}

bool ReadsOne(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string value;
  return static_cast<bool>(in >> value) && value == "1";
}

}  // namespace

DriveProbe::DriveProbe() : DriveProbe("/proc/self/mountinfo", "/sys", ::statfs) {}

DriveProbe::DriveProbe(std::string mountInfoPath, std::string sysRoot, StatFsFunction statFs)
    : m_strMountInfo(std::move(mountInfoPath)),
      m_strSysRoot(std::move(sysRoot)),
      m_pStatFs(statFs) {}

short DriveProbe::GetCurrentDriveType() const {
  char* cwd = ::getcwd(nullptr, 0);
  if (cwd == nullptr) return kInvalid;
  const std::string path = cwd;
  std::free(cwd);
  return TypeOfOsPath(path);
}

short DriveProbe::GetDriveType(const CString& path) const {
  std::string os;
  if (!platform::ToOsPath(path, os)) return kInvalid;
  return TypeOfOsPath(os);
}

short DriveProbe::TypeOfOsPath(const std::string& osPath) const {
  struct statfs fs;
  struct stat st;
  if (m_pStatFs(osPath.c_str(), &fs) != 0 || ::stat(osPath.c_str(), &st) != 0) return kInvalid;
  for (std::uint32_t magic : kNetworkMagic) {
    if (static_cast<std::uint32_t>(fs.f_type) == magic) return kNetwork;
  }
  char* real = ::realpath(osPath.c_str(), nullptr);
  if (real == nullptr) return kInvalid;
  const std::string canonical = real;
  std::free(real);
  const std::vector<Mount> mounts = ReadMounts(m_strMountInfo);
  const Mount* mount = FindMount(mounts, canonical, st.st_dev);
  if (mount == nullptr) return kFixed;
  for (std::string_view type : kNetworkTypes) {
    if (mount->type == type) return kNetwork;
  }
  return IsRemovableDevice(mount->source) ? kRemovable : kFixed;
}

bool DriveProbe::IsRemovableDevice(const std::string& source) const {
  if (source.rfind("/dev/", 0) != 0) return false;
  std::filesystem::path device = source;
  std::error_code ec;
  // /dev/disk/by-label/... and /dev/mapper/... are links to the kernel's name.
  const std::filesystem::path resolved = std::filesystem::canonical(device, ec);
  if (!ec) device = resolved;
  const std::filesystem::path name = device.filename();
  const std::filesystem::path block = std::filesystem::path(m_strSysRoot) / "block";
  if (std::filesystem::exists(block / name / "removable", ec))
    return ReadsOne(block / name / "removable");
  // A partition is a folder inside its disk's folder; the disk says.
  for (const auto& disk : std::filesystem::directory_iterator(block, ec)) {
    if (std::filesystem::is_directory(disk.path() / name, ec))
      return ReadsOne(disk.path() / "removable");
  }
  return false;
}

short DriveProbe::CheckFolderDrive(const CString& folder) const {
  std::string os;
  if (!platform::ToOsPath(folder, os) || os.front() != '/') return kFolderMalformed;
  // The folder itself may be missing; its drive is judged by what exists above it.
  for (;;) {
    struct stat st;
    if (::stat(os.c_str(), &st) == 0) break;
    if (errno == ENAMETOOLONG) return kFolderMalformed;
    if (errno != ENOENT && errno != ENOTDIR) return kFolderNotReady;
    const std::size_t slash = os.find_last_not_of('/') == std::string::npos
                                  ? std::string::npos
                                  : os.rfind('/', os.find_last_not_of('/'));
    if (slash == std::string::npos) return kFolderNotReady;
    os.resize(slash == 0 ? 1 : slash);
  }
  struct statfs fs;
  return m_pStatFs(os.c_str(), &fs) == 0 ? kFolderUsable : kFolderNotReady;
}
