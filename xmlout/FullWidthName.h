#pragma once
// The business name as the XML file carries it: mapped to full-width
// characters and cut to 32 bytes without splitting a double-byte character.

#include <string_view>

#include "WinTypes.h"

CString FullWidthName(std::string_view strName);
