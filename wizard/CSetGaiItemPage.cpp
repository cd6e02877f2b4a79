#include "CSetGaiItemPage.h"

#include <algorithm>
#include <new>

#include "BuildTipText.h"
#include "CSetGaiDlg.h"
#include "SetGaiMessages.h"

const int CSetGaiItemPage::s_anItemCtrl[SG_ITEM_COUNT] = {
    1100, 1101, 1102, 1103, 1104, 1105, 1106, 1107, 1108, 1109, 1110, 1111, 1112, 1113, 1114,
    1115, 1116, 1117, 1118, 1119, 1120, 1121, 1122, 1123, 1124, 1125, 1126, 1127, 1128, 1129,
    1130, 1131, 1132, 1133, 1134, 1136, 1138, 1140, 1135, 1137, 1139, 1141, 1142};

int CSetGaiItemPage::ItemOfControl(int nCtrlId) {
  const int* pEnd = s_anItemCtrl + SG_ITEM_COUNT;
  const int* p = std::find(s_anItemCtrl, pEnd, nCtrlId);
  return p == pEnd ? 0 : static_cast<int>(p - s_anItemCtrl) + 1;
}

CSetGaiItemPage::CSetGaiItemPage(UINT nIDTemplate, std::span<const int> items, BOOL bLastPage)
    : CSetGaiPage(nIDTemplate), m_items(items), m_bLastPage(bLastPage) {}

CSetGaiItemPage::~CSetGaiItemPage() { m_arWork.clear(); }

const _SG_INIT_BODY* CSetGaiItemPage::Definition(int nIndex) const {
  if (!m_pInitBody || nIndex < 0 || nIndex >= static_cast<int>(m_pInitBody->size())) {
    return nullptr;
  }
  return &(*m_pInitBody)[nIndex];
}

void CSetGaiItemPage::DoDataExchange(CDataExchange* pDX) { CPage::DoDataExchange(pDX); }

BOOL CSetGaiItemPage::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_MOUSEMOVE) m_tip.RelayEvent(pMsg);
  return CPage::PreTranslateMessage(pMsg);
}

BOOL CSetGaiItemPage::OnInitDialog() {
  CPage::OnInitDialog();
  CreateTips();
  if (!CreateDialogSub()) return FALSE;
  SetItemLabels();
  if (m_pDialogSub->Init(this, GetTemplateID(), WM_FKEYNOTIFY, 0, 0, 0, 1, 0) == 0) {
    MessageBoxA(m_hWnd, SETGAI_MSG_SUBCLASS, FINGAI_CAPTION, MB_OK | MB_ICONWARNING);
    CPage::OnCancel();
    return FALSE;
  }
  return TRUE;
}

const CString& CSetGaiItemPage::BuildTip(int nItem) {
  CString& str = m_pTipTexts ? m_pTipTexts[nItem - 1] : m_strScratch;
  str.clear();
  if (m_pKamoku && m_pMatch) {
    BuildTipText(str, static_cast<std::int16_t>(nItem), *m_pKamoku, *m_pMatch);
  }
  return str;
}

void CSetGaiItemPage::CreateTips() {
  m_tip.Create(this, 0);
  m_tip.SendMessage(TTM_ACTIVATE, TRUE);
  for (int nItem : m_items) {
    if (CWnd* pButton = GetDlgItem(s_anItemCtrl[nItem - 1])) {
      m_tip.AddTool(pButton, BuildTip(nItem).c_str(), nullptr, 0);
    }
  }
}

void CSetGaiItemPage::RefreshTips() {
  for (int nItem : m_items) {
    const CString& str = BuildTip(nItem);
    if (CWnd* pButton = GetDlgItem(s_anItemCtrl[nItem - 1])) {
      m_tip.UpdateTipText(str.c_str(), pButton, 0);
    }
  }
}

void CSetGaiItemPage::OnItemButton(int nItem) {
  const _SG_INIT_BODY* pDef = Definition(nItem - 1);
  if (!pDef) return;
  m_body = *pDef;
  EditItemMapping(*pDef);
  const CString& str = BuildTip(nItem);
  if (CWnd* pButton = GetDlgItem(s_anItemCtrl[nItem - 1])) {
    m_tip.UpdateTipText(str.c_str(), pButton, 0);
  }
}

int CSetGaiItemPage::EditItemMapping(_SG_INIT_BODY d) {
  const std::int16_t n = d.nGaiNo;
  m_arWork.clear();
  for (const _SG_MATCH& m : *m_pMatch) {
    if (m.nGaiNo == n) m_arWork.push_back(m);
  }
  std::unique_ptr<CSetGaiDlg> pDlg(new (std::nothrow) CSetGaiDlg(nullptr));
  if (!pDlg) {
    CPage::OnCancel();
    return 0;
  }
  pDlg->m_body = d;
  pDlg->m_pKamoku = m_pKamoku;
  pDlg->m_pWork = &m_arWork;
  if (pDlg->DoModal() == IDOK) {
    // The item's new block takes the place of its last former block, or the
    // front when it had none; the sentinel (item 0) stays last.
    std::size_t nInsert = 0;
    for (std::size_t i = 0; i < m_pMatch->size(); ++i) {
      if ((*m_pMatch)[i].nGaiNo != n) continue;
      while (i < m_pMatch->size() && (*m_pMatch)[i].nGaiNo == n) {
        m_pMatch->erase(m_pMatch->begin() + static_cast<std::ptrdiff_t>(i));
      }
      nInsert = i;
    }
    m_pMatch->insert(m_pMatch->begin() + static_cast<std::ptrdiff_t>(nInsert), m_arWork.begin(),
                     m_arWork.end());
  }
  return 1;
}

void CSetGaiItemPage::OnCancel() {
  if (m_pDialogSub && m_pDialogSub->DialogKeyDown(VK_ESCAPE) == 0) return;
  if (m_bClosing == 1) return;
  CDataSheet* pSheet = Sheet();
  if (pSheet) pSheet->EnableWindow(FALSE);
  m_bClosing = 1;
  if (pSheet) pSheet->OwnerCancel();
  CPage::OnCancel();
}

BOOL CSetGaiItemPage::OnSetActive() {
  if (CDataSheet* pSheet = Sheet()) {
    pSheet->OwnerBtnEnable(IDC_SHEET_BACK, TRUE);
    pSheet->OwnerBtnEnable(IDC_SHEET_NEXT, !m_bLastPage);
  }
  RefreshTips();
  SetItemLabels();
  return CPage::OnSetActive();
}

int CSetGaiItemPage::OnPrevOKCheck() { return 1; }

void CSetGaiItemPage::OnClicked(UINT nID) {
  const int nItem = ItemOfControl(static_cast<int>(nID));
  if (nItem != 0 && std::find(m_items.begin(), m_items.end(), nItem) != m_items.end()) {
    OnItemButton(nItem);
    return;
  }
  CPage::OnClicked(nID);
}
