#include "CEdit.h"

#include <algorithm>

#include "CUiBackend.h"
#include "Cp932.h"

void CEdit::SetLimitText(UINT nMax) {
  m_nLimit = nMax;
  NotifyChanged();
}

void CEdit::SetDigitsField(BOOL bDigits) {
  m_bDigits = bDigits;
  NotifyChanged();
}

CString CEdit::FoldDigits(const CString& strText) {
  // CP932: ０ to ９ are 0x82 0x4F to 0x82 0x58, the minus sign 0x81 0x7C.
  CString strOut;
  for (std::size_t i = 0; i < strText.size();) {
    const std::size_t nWidth = cp932::CharLength(strText, i);
    const auto c = static_cast<unsigned char>(strText[i]);
    const auto t = nWidth == 2 ? static_cast<unsigned char>(strText[i + 1]) : 0;
    if (c == 0x82 && t >= 0x4F && t <= 0x58) {
      strOut += static_cast<char>('0' + (t - 0x4F));
    } else if (c == 0x81 && t == 0x7C) {
      strOut += '-';
    } else {
      strOut += strText.substr(i, nWidth);
    }
    i += nWidth;
  }
  return strOut;
}

void CEdit::SetSel(int nStart, int nEnd) {
  const int nLength = GetWindowTextLength();
  if (nEnd < 0 || nEnd > nLength) nEnd = nLength;
  m_nSelStart = std::clamp(nStart, 0, nEnd);
  m_nSelEnd = nEnd;
  if (m_hWnd) UiBackend().OnEditSelection(*this);
}

void CEdit::GetSel(int& nStart, int& nEnd) const {
  const int nLength = GetWindowTextLength();
  nStart = std::min(m_nSelStart, nLength);
  nEnd = std::min(m_nSelEnd, nLength);
}

void CEdit::PlaceCaret(int nPos) {
  m_nSelStart = nPos;
  m_nSelEnd = nPos;
}

void CEdit::TakeStateFrom(CWnd& other) {
  if (auto* pEdit = dynamic_cast<CEdit*>(&other)) {
    m_nLimit = pEdit->m_nLimit;
    m_bDigits = pEdit->m_bDigits;
    m_nSelStart = pEdit->m_nSelStart;
    m_nSelEnd = pEdit->m_nSelEnd;
  }
}
