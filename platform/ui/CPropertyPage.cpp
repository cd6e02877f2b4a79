#include "CPropertyPage.h"

#include "CPropertySheet.h"

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption)
    : CDialog(nIDTemplate, nullptr), m_nIDCaption(nIDCaption) {
  m_kind = ControlKind::Page;
}

CPropertyPage::~CPropertyPage() = default;

BOOL CPropertyPage::OnSetActive() { return TRUE; }

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {
  if (m_pSheet) m_pSheet->EndDialog(IDCANCEL);
}

CString CPropertyPage::GetCaption() const {
  CString strCaption;
  if (m_nIDCaption != 0 && AfxLoadString(m_nIDCaption, strCaption)) return strCaption;
  const DialogTemplate* pTemplate = GetTemplate();
  return pTemplate && pTemplate->pszTitle ? pTemplate->pszTitle : "";
}

BOOL CPropertyPage::CreatePage() {
  const DialogTemplate* pTemplate = GetTemplate();
  if (!m_pSheet || !pTemplate) return FALSE;
  // Pages start hidden; the sheet shows the active one.
  InitWindow(ControlKind::Page, 0, (pTemplate->dwStyle & ~(WS_POPUP | WS_VISIBLE)) | WS_CHILD,
             RECT{0, 0, pTemplate->cx, pTemplate->cy}, GetCaption().c_str());
  m_pSheet->AdoptPage(this);
  CreateControls(pTemplate->items);
  OnInitDialog();
  return TRUE;
}

void CPropertyPage::DestroyPage() { DestroyWindow(); }
