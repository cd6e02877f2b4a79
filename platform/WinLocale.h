#pragma once
// Full-width mapping as LCMapStringA does it for a Japanese system (code
// page 932): half-width letters, digits, symbols and katakana become their
// full-width forms, the blank becomes the ideographic space, and a half-width
// kana with its sound mark becomes one character (ｶﾞ gives ガ).

#include "WinTypes.h"

using LCID = DWORD;

inline constexpr DWORD LCMAP_FULLWIDTH = 0x00800000;
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;

// Japanese (0x0411): the program's texts are CP932 whatever the machine's locale.
LCID GetSystemDefaultLCID();

// Maps srcLength bytes of src (-1: up to and including its NUL, which is then
// part of the result) into dest. Returns the bytes written; with destCapacity
// 0 the bytes that would be written and dest is untouched; 0 when dest is too
// small, the flags are not LCMAP_FULLWIDTH alone, or the text is not CP932 or
// maps to a character with no CP932 form. The locale is not consulted.
int LCMapStringA(LCID locale, DWORD flags, LPCSTR src, int srcLength, LPSTR dest, int destCapacity);
