#include "CSetGaiPage.h"

#include <new>

#include "CHostObjects.h"
#include "SetGaiMessages.h"

CSetGaiPage::CSetGaiPage(UINT nIDTemplate) : CPage(nIDTemplate) {}

CSetGaiPage::~CSetGaiPage() = default;

CDataSheet* CSetGaiPage::Sheet() const { return dynamic_cast<CDataSheet*>(GetSheet()); }

BOOL CSetGaiPage::CreateDialogSub() {
  m_pDialogSub.reset(new (std::nothrow) CDialogSub(g_pJetAccess));
  if (!m_pDialogSub) {
    MessageBoxA(m_hWnd, SETGAI_MSG_NO_MEMORY_SHORT, FINGAI_CAPTION, MB_OK | MB_ICONWARNING);
    CPage::OnCancel();
    return FALSE;
  }
  SetDialogSubClass(m_pDialogSub.get());
  return TRUE;
}

void CSetGaiPage::OnOK() {
  if (m_pDialogSub) m_pDialogSub->DialogKeyDown(VK_RETURN);
}

BOOL CSetGaiPage::OnKillActive() {
  UpdateData(TRUE);
  UpdateData(FALSE);
  return CPage::OnKillActive();
}

BOOL CSetGaiPage::OnHelpInfo(HELPINFO*) { return TRUE; }

LRESULT CSetGaiPage::OnFKeyNotify(WPARAM wParam, LPARAM) {
  CDataSheet* pSheet = Sheet();
  if (!pSheet) return 0;
  const auto enabled = [pSheet](int nID) {
    const CWnd* pButton = pSheet->GetDlgItem(nID);
    return pButton && pButton->IsWindowEnabled();
  };
  if (wParam == VK_F5) {
    if (enabled(IDC_SHEET_BACK)) pSheet->OwnerPrev();
  } else if (wParam == VK_F6) {
    if (enabled(IDC_SHEET_NEXT)) pSheet->OwnerNext();
  } else if (wParam == VK_F8) {
    pSheet->OwnerOK();
  }
  return 0;
}
