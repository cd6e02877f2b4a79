#pragma once
// The system's reason for a failed file operation, as a short Japanese
// sentence in CP932 for the program's messages.

#include "WinTypes.h"

namespace platform {

// The reason errno value nError stands for; 0 gives a reason that names no
// cause, for failures the system did not explain.
CString SystemErrorText(int nError);

}  // namespace platform
