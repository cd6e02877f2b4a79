#pragma once
// The system's reason for a failed file operation, as a short Japanese
// sentence in CP932 for the program's messages.

#include <cerrno>

#include "WinTypes.h"

namespace platform {

// The errno value given for a path that names something other than a regular
// file or folder (a device, a pipe) where a file is to be written. No file
// operation returns it otherwise.
inline constexpr int ERROR_NOT_A_FILE = EMEDIUMTYPE;

// The reason errno value nError stands for; 0 gives a reason that names no
// cause, for failures the system did not explain.
CString SystemErrorText(int nError);

}  // namespace platform
