#pragma once
// Reading INI files ("private profiles") the way Windows does for a CP932
// program: sections and keys match without regard to ASCII case (the second
// byte of a double-byte character is never folded), blanks around keys and
// values are dropped, one pair of matching quotes around a value is removed,
// an empty value stays empty, and a missing file, section or key gives the
// default with its trailing blanks removed. CR LF and LF lines are both read.
// Lines starting with ";" are comments; the first section of a name counts.

#include "WinTypes.h"

// Copies the value into buffer (size bytes with the NUL) and returns its
// length without the NUL. A value that does not fit is cut to at most
// size - 1 bytes, never inside a double-byte character. A null section lists
// every section name, a null key every key of the section, each ended by a
// NUL and the list by a second one (cut lists return size - 2).
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                               DWORD size, LPCSTR fileName);
