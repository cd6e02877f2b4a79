#pragma once
// The program names files in CP932; the file system takes UTF-8. Paths cross
// over here and only here, so a name with no form on the other side fails
// instead of reaching the OS (or the program) mangled.

#include <string>
#include <string_view>

#include "WinTypes.h"

namespace platform {

// CP932 path to the bytes the OS takes. False for an empty path, a NUL inside
// it or bytes that are not CP932; out is then empty.
bool ToOsPath(std::string_view path, std::string& out);

// A path the OS handed back, to CP932. False when it is not UTF-8 or holds a
// character with no CP932 form (a home folder "José"); out is then empty.
bool FromOsPath(std::string_view osPath, CString& out);

}  // namespace platform
