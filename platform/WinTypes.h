#pragma once
// The Windows and framework type names the program's declarations use, as
// plain C++ types. Every text is a CP932 byte string.

#include <cstdint>
#include <string>
#include <vector>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LPSTR = char*;
using LPCSTR = const char*;

struct HWND__;
using HWND = HWND__*;
using HANDLE = void*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
inline constexpr int MAX_PATH = 260;

using CString = std::string;
template <class T, class ARG = const T&>
using CArray = std::vector<T>;
using CStringArray = std::vector<CString>;
