#pragma once
// The program level check against the installation's "MirabellDef.ini",
// and the path helper it builds the file name with.

#include "WinTypes.h"

// Size of the buffer ReadProgramLevel builds the file name in.
inline constexpr int PROGRAM_LEVEL_PATH_SIZE = 517;

// Reads section "ProgramLevel", key pszKey of "MirabellDef.ini" in
// pszFolder (the full name is left in pszBuffer, PROGRAM_LEVEL_PATH_SIZE
// bytes) and compares it with nRequired: 0 equal; 1 lower (also a value that
// is not a number); 2 higher; -1 no folder, no file or an empty value. A
// missing key counts as level 1.
int ReadProgramLevel(char* pszBuffer, LPCSTR pszFolder, LPCSTR pszKey, int nRequired);

// Makes the zero-terminated path in a buffer of nCapacity bytes end in the
// path separator. 1 when it does afterwards; 0 for an empty path, a capacity
// of 0 or less, or no room.
int AppendPathSeparator(char* pszPath, int nCapacity);
