#include "CButton.h"

void CButton::SetCheck(int nCheck) {
  m_nCheck = nCheck;
  NotifyChanged();
}

void CButton::TakeStateFrom(CWnd& other) {
  if (auto* pButton = dynamic_cast<CButton*>(&other)) m_nCheck = pButton->m_nCheck;
}
