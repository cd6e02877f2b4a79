#include "CEdit.h"

#include <algorithm>

#include "CUiBackend.h"

void CEdit::SetLimitText(UINT nMax) {
  m_nLimit = nMax;
  NotifyChanged();
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
    m_nSelStart = pEdit->m_nSelStart;
    m_nSelEnd = pEdit->m_nSelEnd;
  }
}
