#pragma once
// The message box every part of the program shows its messages with. The UI
// backend installs the handler that presents it; tests install their own.

#include <functional>

#include "WinTypes.h"

inline constexpr UINT MB_OK = 0x00;
inline constexpr UINT MB_OKCANCEL = 0x01;
inline constexpr UINT MB_YESNOCANCEL = 0x03;
inline constexpr UINT MB_YESNO = 0x04;
inline constexpr UINT MB_TYPEMASK = 0x0F;
inline constexpr UINT MB_ICONHAND = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
// Windows gives the exclamation icon the warning icon's value; here it has
// one of its own so that a transcript can tell which one the program asked for.
inline constexpr UINT MB_ICONEXCLAMATION = 0x50;
inline constexpr UINT MB_ICONMASK = 0xF0;
inline constexpr UINT MB_DEFBUTTON2 = 0x100;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

using MessageBoxHandler =
    std::function<int(HWND owner, const CString& text, const CString& caption, UINT type)>;

// Replaces the handler and returns the one it replaced.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Shows text (CP932) and returns the button pressed. Without a handler the
// text goes to standard error and the answer is IDCANCEL for a question,
// IDOK otherwise, so that nothing is confirmed by default.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
