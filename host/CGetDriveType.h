#pragma once
// Kind of the file system holding the current directory.

class CGetDriveType {
 public:
  inline static constexpr short DRIVE_KIND_REMOVABLE = 1;
  inline static constexpr short DRIVE_KIND_FIXED = 2;
  inline static constexpr short DRIVE_KIND_NETWORK = 3;
  inline static constexpr short DRIVE_KIND_INVALID = 4;

  CGetDriveType() = default;
  virtual ~CGetDriveType() = default;

  // 1 removable medium, 3 network file system, 4 unreadable, else 2.
  short GetCurrentDriveType();
};
