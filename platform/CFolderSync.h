#pragma once
// Makes the renames in one folder durable: the folder is opened before the
// rename, so that a folder that cannot be opened fails the write while the
// earlier file is still in place, and synced after it.

#include <string>

class CFolderSync {
 public:
  CFolderSync() = default;
  ~CFolderSync();
  CFolderSync(const CFolderSync&) = delete;
  CFolderSync& operator=(const CFolderSync&) = delete;

  // Opens the folder (a path in the file system's encoding; empty is the
  // current folder). False with errno set when it cannot.
  bool Open(const std::string& strOsFolder);
  // Opens the folder that holds the file strOsFile.
  bool OpenFolderOf(const std::string& strOsFile);
  // Flushes the folder's entries to disk and closes it. False with errno set
  // when the flush or the close fails: the renames may not survive a power loss.
  bool Sync();

 private:
  int m_nFd = -1;
};
