#include "CPropertySheet.h"

#include <algorithm>

#include "CUiBackend.h"

CPropertySheet::CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_nStartPage(iSelectPage) {
  m_pParentWnd = pParentWnd;
  m_pOwner = pParentWnd;
  m_kind = ControlKind::Sheet;
  m_strText = pszCaption ? pszCaption : "";
}

CPropertySheet::~CPropertySheet() {
  for (CPropertyPage* pPage : m_arPages) pPage->SetSheet(nullptr);
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
  if (!pPage) return;
  m_arPages.push_back(pPage);
  pPage->SetSheet(this);
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
  return nPage >= 0 && nPage < GetPageCount() ? m_arPages[static_cast<std::size_t>(nPage)]
                                              : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* pPage) const {
  auto it = std::find(m_arPages.begin(), m_arPages.end(), pPage);
  return it == m_arPages.end() ? -1 : static_cast<int>(it - m_arPages.begin());
}

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(m_nActive); }

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage) {
  return SetActivePage(GetPageIndex(pPage));
}

BOOL CPropertySheet::SetActivePage(int nPage) {
  CPropertyPage* pNew = GetPage(nPage);
  if (!pNew || !GetSafeHwnd()) return FALSE;
  if (nPage == m_nActive) return TRUE;
  CPropertyPage* pOld = GetActivePage();
  if (pOld && pOld->IsCreated() && !pOld->OnKillActive()) return FALSE;
  if (!pNew->IsCreated() && !pNew->CreatePage()) return FALSE;
  if (IsEnding()) return FALSE;
  if (pOld) pOld->ShowWindow(SW_HIDE);
  m_nActive = nPage;
  pNew->ShowWindow(SW_SHOW);
  UiBackend().OnPageActivated(*this, *pNew);
  pNew->OnSetActive();
  CWnd* pFocus = CWnd::GetFocus();
  if (!pFocus || !pNew->IsAncestorOf(pFocus)) {
    if (CWnd* pFirst = pNew->GetNextTabControl(nullptr)) MoveFocusTo(*pFirst, FALSE);
  }
  return TRUE;
}

BOOL CPropertySheet::CreateDialogWindow() {
  short cx = 0;
  short cy = 0;
  for (const CPropertyPage* pPage : m_arPages) {
    if (const DialogTemplate* pTemplate = pPage->GetTemplate()) {
      cx = std::max(cx, pTemplate->cx);
      cy = std::max(cy, pTemplate->cy);
    }
  }
  InitWindow(ControlKind::Sheet, 0, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
             RECT{0, 0, cx, cy}, m_strText.c_str());
  return TRUE;
}

void CPropertySheet::AdoptPage(CPropertyPage* pPage) { AttachChild(pPage); }

BOOL CPropertySheet::OnInitDialog() {
  CDialog::OnInitDialog();
  SetActivePage(static_cast<int>(m_nStartPage < m_arPages.size() ? m_nStartPage : 0));
  // The page has placed the focus.
  return FALSE;
}

void CPropertySheet::OnOK() {
  CPropertyPage* pPage = GetActivePage();
  if (pPage && !pPage->OnKillActive()) return;
  EndDialog(IDOK);
}

void CPropertySheet::OnCancel() {
  if (CPropertyPage* pPage = GetActivePage()) {
    pPage->OnCancel();
  } else {
    EndDialog(IDCANCEL);
  }
}

CDialog* CPropertySheet::GetInputDialog() {
  CPropertyPage* pPage = GetActivePage();
  return pPage && pPage->IsCreated() ? static_cast<CDialog*>(pPage) : this;
}

void CPropertySheet::OnDestroyWindow() { m_nActive = -1; }
