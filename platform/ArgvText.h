#pragma once
// The command line and the environment arrive as UTF-8; the program reads
// CP932. Text with no CP932 form is refused, never passed on altered.

#include "WinTypes.h"

namespace platform {

// The command line as the program sees it on Windows: the arguments after
// the program name, joined by single blanks, in CP932. False (out empty) when
// an argument has no CP932 form. Its length is for the caller to check.
bool CommandLineFromArgs(int argc, const char* const* argv, CString& out);

// An environment variable in CP932; false (out empty) when it is unset or has
// no CP932 form.
bool GetEnvironmentCp932(const char* name, CString& out);

}  // namespace platform
