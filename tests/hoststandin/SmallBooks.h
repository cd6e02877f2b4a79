#pragma once
// A small books folder with figures simple enough to check by hand.

#include <string>

#include "TempFolder.h"

namespace smallbooks {

// UTF-8 text of a u8 literal (plain literals are CP932 in this build).
inline std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

std::string Company();
std::string Accounts();
std::string Opening();
std::string Journal();
// Writes the four files into a subfolder of the temporary folder.
void WriteFolder(const TempFolder& tmp, const std::string& sub);

}  // namespace smallbooks
