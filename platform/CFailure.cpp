#include "CFailure.h"

#include "SystemError.h"

CFailure::CFailure(const CString& strText) : m_arText{strText} {}

CFailure::CFailure(LPCSTR pszWhat, const CString& strFile, int nError)
    : m_arText{CString(pszWhat) + "\nファイル：" + strFile + "\n原因：" +
               platform::SystemErrorText(nError)},
      m_strFile(strFile),
      m_nError(nError) {}

void CFailure::Then(const CFailure& next) {
  m_arText.insert(m_arText.end(), next.m_arText.begin(), next.m_arText.end());
  if (m_strFile.empty() && m_nError == 0) {
    m_strFile = next.m_strFile;
    m_nError = next.m_nError;
  }
}

CString CFailure::OneLine(const CString& strFirst) const {
  CString strLine = strFirst;
  for (const CString& strText : m_arText) {
    if (!strLine.empty()) strLine += " / ";
    strLine += strText;
  }
  for (char& c : strLine) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return strLine;
}
