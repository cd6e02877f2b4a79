#pragma once
// What kind of drive a path lies on, in the host's codes, and whether a
// folder's drive can be used. Mounts come from mountinfo, removable media
// from sysfs, network file systems from statfs and the mount's type; all
// three sources can be replaced so tests can describe any machine.

#include <sys/vfs.h>

#include <string>

#include "WinTypes.h"

class DriveProbe {
 public:
  static constexpr short kRemovable = 1;
  static constexpr short kFixed = 2;
  static constexpr short kNetwork = 3;
  static constexpr short kInvalid = 4;

  static constexpr short kFolderMalformed = -1;
  static constexpr short kFolderNotReady = 0;
  static constexpr short kFolderUsable = 1;

  using StatFsFunction = int (*)(const char* path, struct statfs* result);

  DriveProbe();
  DriveProbe(std::string mountInfoPath, std::string sysRoot, StatFsFunction statFs);

  // The drive type of the current directory.
  short GetCurrentDriveType() const;
  // kRemovable, kNetwork, kInvalid (missing path, unreadable file system, no
  // CP932 form) or kFixed for everything else.
  short GetDriveType(const CString& path) const;

  // kFolderMalformed for an empty, relative or unconvertible folder;
  // kFolderNotReady when the file system holding it (or the nearest folder
  // above it that exists) cannot be read; kFolderUsable otherwise, whether or
  // not the folder itself exists.
  short CheckFolderDrive(const CString& folder) const;

 private:
  short TypeOfOsPath(const std::string& osPath) const;
  bool IsRemovableDevice(const std::string& source) const;

  std::string m_strMountInfo;
  std::string m_strSysRoot;
  StatFsFunction m_pStatFs;
};
