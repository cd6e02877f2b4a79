#include "CEdit.h"

void CEdit::SetLimitText(UINT nMax) {
  m_nLimit = nMax;
  NotifyChanged();
}

void CEdit::TakeStateFrom(CWnd& other) {
  if (auto* pEdit = dynamic_cast<CEdit*>(&other)) m_nLimit = pEdit->m_nLimit;
}
