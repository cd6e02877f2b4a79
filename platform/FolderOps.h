#pragma once
// Folder and path helpers for the host stand-in's file utilities and the
// program's start-up. Paths are CP932, with "/" as the separator.

#include <string>

#include "WinTypes.h"

namespace platform {

// A regular file (or a link to one) of that name exists.
bool FileExists(const CString& path);
// A folder (or a link to one) of that name exists.
bool FolderExists(const CString& path);
// Reads the whole of a regular file (or a link to one). False when it is
// missing, a folder or anything else that is not a regular file, or cannot
// be read; errno then tells why and out is empty.
bool ReadRegularFile(const CString& path, std::string& out);
// Flushes a file or folder (a path in the file system's encoding) to disk;
// errno tells why when it fails.
bool SyncOsPath(const std::string& osPath);
// Writes all nSize bytes to the open descriptor, going on after a short or
// interrupted write; errno tells why when it fails.
bool WriteFd(int fd, const char* pData, std::size_t nSize);
// Creates the folder with every missing folder above it; true when it exists
// afterwards.
bool CreateFolder(const CString& path);

// The folder of the path the running executable was started by, without a
// trailing separator ("/" when it is the root): for a link to the program,
// the link's folder, so an installation of links is its own program folder.
// False when it cannot be read or has no CP932 form.
bool GetProgramFolder(CString& out);

// Appends "/" to the zero-terminated path in a buffer of capacity bytes unless
// it already ends in one. 0 for an empty path, a capacity of 0 or less, or no
// room; 1 when the path ends in "/" afterwards. A "/" byte is never the
// second byte of a CP932 character, so the last byte decides.
int AddPathSeparator(char* path, int capacity);

}  // namespace platform
