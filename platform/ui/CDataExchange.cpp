#include "CDataExchange.h"

#include "CButton.h"

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  CWnd* pControl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
  if (!pControl) return;
  if (pDX->m_bSaveAndValidate) {
    value = pControl->GetText();
  } else {
    pControl->SetWindowText(value.c_str());
  }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  auto* pButton = dynamic_cast<CButton*>(pDX->m_pDlgWnd->GetDlgItem(nIDC));
  if (!pButton) return;
  if (pDX->m_bSaveAndValidate) {
    value = pButton->GetCheck();
  } else {
    pButton->SetCheck(value);
  }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.GetSafeHwnd() && rControl.GetParent() == pDX->m_pDlgWnd) return;
  rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
}
