#pragma once
// What a start-up check found wrong: the text the user is shown, its icon
// and, where a file is concerned, that file.

#include "WinMessageBox.h"
#include "WinTypes.h"

struct StartUpFailure {
  LPCSTR pszText = "";
  UINT nIcon = MB_ICONWARNING;
  CString strFile;

  // The text for one line of standard error: with a file, the sentence
  // without its full stop, then ": " and the file.
  CString Line() const;
};
