#pragma once
// The test sources are compiled to CP932, so u8 literals give the UTF-8 side.

#include <string>

namespace testsupport {

inline std::string U8(const char8_t* psz) { return reinterpret_cast<const char*>(psz); }

}  // namespace testsupport
