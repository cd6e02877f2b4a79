#pragma once
// The Windows file calls the program makes, under their Windows names and
// with their results. Paths are CP932; one that has no UTF-8 form fails the
// call like a name the file system refuses.

#include "WinTypes.h"

using HFILE = int;
inline constexpr HFILE HFILE_ERROR = -1;
inline constexpr int OF_READ = 0;
inline constexpr int OF_WRITE = 1;
inline constexpr int OF_READWRITE = 2;

// TRUE when a file or folder of that name exists.
BOOL PathFileExistsA(LPCSTR path);

// Copies a regular file; with failIfExists FALSE an existing target is
// replaced. The copy is written beside the target and renamed over it, so a
// failed copy leaves the old target as it was.
BOOL CopyFileA(LPCSTR existingName, LPCSTR newName, BOOL failIfExists);

// Renames a file or folder; fails (errno EEXIST) when newName exists, so
// nothing is ever replaced by it.
BOOL MoveFileA(LPCSTR existingName, LPCSTR newName);

// Opens a file (OF_READ, OF_WRITE or OF_READWRITE; share flags are ignored);
// HFILE_ERROR when it cannot be opened or is a folder. Not inherited by child processes.
HFILE _lopen(LPCSTR path, int mode);
// 0, or HFILE_ERROR for a handle that is not open.
HFILE _lclose(HFILE file);

// The length copied (without the NUL); the size needed (with the NUL) when
// the buffer is too small; 0 when the folder cannot be read or has no CP932
// form. No trailing separator except for the root "/".
DWORD GetCurrentDirectoryA(DWORD bufferSize, LPSTR buffer);
BOOL SetCurrentDirectoryA(LPCSTR path);

// The temporary folder with a trailing "/": $TMPDIR, or "/tmp/" when that is
// unset, empty or has no CP932 form. Results as GetCurrentDirectoryA.
DWORD GetTempPathA(DWORD bufferSize, LPSTR buffer);
