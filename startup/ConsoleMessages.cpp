#include "ConsoleMessages.h"

#include <cstdio>
#include <string>

#include "Cp932.h"
#include "WinMessageBox.h"

CString ConsoleOneLine(CString strText) {
  for (char& c : strText)
    if (c == '\n' || c == '\r') c = ' ';
  return strText;
}

void ConsoleError(const CString& strCp932) {
  std::string strUtf8;
  if (!cp932::ToUtf8(ConsoleOneLine(strCp932), strUtf8)) strUtf8 = "?";
  std::fprintf(stderr, "QT10ToRX16_G: %s\n", strUtf8.c_str());
}

void MessagesToConsole() {
  SetMessageBoxHandler([](HWND, const CString& strText, const CString&, UINT nType) {
    ConsoleError(strText);
    return (nType & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
  });
}
