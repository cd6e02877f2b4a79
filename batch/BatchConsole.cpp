#include "BatchConsole.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "Cp932.h"
#include "OsPath.h"

CString BatchOneLine(CString strText) {
  for (char& c : strText)
    if (c == '\n' || c == '\r') c = ' ';
  return strText;
}

void BatchError(const CString& strCp932) {
  std::string strUtf8;
  if (!cp932::ToUtf8(BatchOneLine(strCp932), strUtf8)) strUtf8 = "?";
  std::fprintf(stderr, "QT10ToRX16_G: %s\n", strUtf8.c_str());
}

CString BatchSystemReason(int nErrno) {
  CString strReason;
  if (!platform::FromOsPath(std::strerror(nErrno), strReason))
    strReason = "error " + std::to_string(nErrno);
  return strReason;
}
