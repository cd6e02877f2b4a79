#pragma once
// The command-line modes' messages: one line each on standard error,
// "QT10ToRX16_G: TEXT" in UTF-8.

#include "WinTypes.h"

// The text with its line breaks as spaces.
CString ConsoleOneLine(CString strText);
// TEXT is CP932; its line breaks become spaces.
void ConsoleError(const CString& strCp932);
// From here on every message box is written with ConsoleError and answered
// OK (a question: Cancel).
void MessagesToConsole();
