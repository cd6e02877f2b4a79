#pragma once
// The batch's messages on standard error, one line each, UTF-8.

#include "WinTypes.h"

// The text with its line breaks as spaces.
CString BatchOneLine(CString strText);
// "QT10ToRX16_G: TEXT"; TEXT is CP932, its line breaks become spaces.
void BatchError(const CString& strCp932);
// The system's text for an errno value, CP932.
CString BatchSystemReason(int nErrno);
