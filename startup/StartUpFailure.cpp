#include "StartUpFailure.h"

CString StartUpFailure::Line() const {
  CString strText = pszText;
  if (strFile.empty()) return strText;
  while (!strText.empty() && strText.back() == '\n') strText.pop_back();
  const CString strFullStop = "。";
  if (strText.ends_with(strFullStop)) strText.resize(strText.size() - strFullStop.size());
  return strText + ": " + strFile;
}
