#include "CSetGaiDlg.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "CButton.h"
#include "CDataExchange.h"
#include "ProgramResources.h"

namespace {

constexpr std::uint8_t kHidden = 1;

}  // namespace

CSetGaiDlg::CSetGaiDlg(CWnd* pParent) : CDialog(IDD_SETGAI_DLG, pParent) {}

CSetGaiDlg::~CSetGaiDlg() = default;

void CSetGaiDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_LIST, m_list);
}

BOOL CSetGaiDlg::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F8 && GetKeyState(VK_SHIFT) >= 0 &&
      GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
    OnSetting();
    return TRUE;
  }
  return CDialog::PreTranslateMessage(pMsg);
}

BOOL CSetGaiDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(IDC_ITEM_NAME, m_body.szGaiName);
  ParseSpec(m_body.szSeikaku);
  m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  m_list.InsertColumn(0, "コード", LVCFMT_LEFT, 100);
  m_list.InsertColumn(1, "科 目 名", LVCFMT_LEFT, 200);
  InitAllCheck();
  FillList();
  FocusFirstTicked();
  UpdateData(FALSE);
  return TRUE;
}

void CSetGaiDlg::FocusFirstTicked() {
  for (int nRow = 0; nRow < m_list.GetItemCount(); ++nRow) {
    if (m_list.GetCheck(nRow)) {
      m_list.SelectRow(nRow);
      return;
    }
  }
}

BOOL CSetGaiDlg::WasTicked(short nCode) const {
  return std::find(m_arTicked.begin(), m_arTicked.end(), nCode) != m_arTicked.end();
}

void CSetGaiDlg::ParseSpec(const CString& strSpec) {
  m_arSpec.clear();
  // A marker at the very start does not count.
  if (strSpec.find('+', 1) != CString::npos) {
    m_nSpecMode = SPEC_LIST;
    CString strToken;
    for (char c : strSpec) {
      if (c == '+') {
        m_arSpec.push_back(strToken);
        strToken.clear();
      } else {
        strToken += c;
      }
    }
    m_arSpec.push_back(strToken);
  } else if (strSpec.find('-', 1) != CString::npos) {
    m_nSpecMode = SPEC_RANGE;
    const std::size_t k = strSpec.find('-');
    m_arSpec.push_back(strSpec.substr(0, k));
    m_arSpec.push_back(strSpec.substr(k + 1));
  } else if (strSpec.find('L', 1) != CString::npos) {
    m_nSpecMode = SPEC_ALL;
  } else {
    m_nSpecMode = SPEC_SINGLE;
    m_arSpec.push_back(strSpec);
  }
}

int CSetGaiDlg::CandidateCount(std::int32_t nNo, BYTE nMode) const {
  switch (nMode) {
    case SPEC_SINGLE:
    case SPEC_LIST: {
      int nCount = 0;
      for (const CString& s : m_arSpec) {
        if (std::atoi(s.c_str()) == nNo) ++nCount;
      }
      return nCount;
    }
    case SPEC_RANGE:
      return m_arSpec.size() == 2 && std::atoi(m_arSpec[0].c_str()) <= nNo &&
                     nNo <= std::atoi(m_arSpec[1].c_str())
                 ? 1
                 : 0;
    default:
      return 1;
  }
}

void CSetGaiDlg::FillList() {
  m_list.DeleteAllItems();
  if (!m_pKamoku) return;
  const BYTE nMode = IsDlgButtonChecked(IDC_ALL) == BST_CHECKED ? SPEC_ALL : m_nSpecMode;
  int nRow = 0;
  for (const S_KANKAMOKU& k : *m_pKamoku) {
    if (k.byHide == kHidden) continue;
    int nCount = CandidateCount(k.nKamokuNo, nMode);
    // An account the user ticked outside the candidates stays listed.
    if (nCount == 0 && WasTicked(k.nKamokuCode) && IsMapped(k.nKamokuCode)) nCount = 1;
    for (int i = 0; i < nCount; ++i) AddRow(nRow++, k, IsMapped(k.nKamokuCode));
  }
}

void CSetGaiDlg::AddRow(int nRow, const S_KANKAMOKU& kamoku, BOOL bChecked) {
  char szCode[16];
  std::snprintf(szCode, sizeof szCode, "%d", kamoku.nKamokuCode);
  const int nIndex = m_list.InsertItem(LVIF_TEXT | LVIF_PARAM, nRow, szCode, 0, 0, 0,
                                       static_cast<LPARAM>(kamoku.nKamokuCode));
  if (nIndex < 0) return;
  m_list.SetItemText(nIndex, 1, kamoku.szDispName);
  // Both states are set, so a row never carries state image 0.
  m_list.SetItemState(nIndex, INDEXTOSTATEIMAGEMASK(bChecked ? 2 : 1), LVIS_STATEIMAGEMASK);
}

int CSetGaiDlg::IsMapped(short nCode) const {
  if (!m_pWork) return 0;
  for (const _SG_MATCH& m : *m_pWork) {
    if (m.nBokiCode == nCode) return 1;
  }
  return 0;
}

void CSetGaiDlg::InitAllCheck() {
  if (!m_pWork || !m_pKamoku) return;
  for (const _SG_MATCH& m : *m_pWork) {
    for (const S_KANKAMOKU& k : *m_pKamoku) {
      if (k.nKamokuCode != m.nBokiCode) continue;
      if (m_arSpec.empty() || CandidateCount(k.nKamokuNo, m_nSpecMode) == 0) {
        CheckDlgButton(IDC_ALL, BST_CHECKED);
        break;
      }
    }
  }
}

void CSetGaiDlg::CollectChecks() {
  if (!m_pWork) return;
  for (int nRow = 0; nRow < m_list.GetItemCount(); ++nRow) {
    const UINT nImage = (m_list.GetItemState(nRow, LVIS_STATEIMAGEMASK) & 0xF000) >> 12;
    const short k = static_cast<short>(m_list.GetItemData(nRow));
    if (nImage == 1) {
      for (auto it = m_pWork->begin(); it != m_pWork->end(); ++it) {
        if (it->nBokiCode == k) {
          m_pWork->erase(it);
          break;
        }
      }
      continue;
    }
    if (!WasTicked(k)) m_arTicked.push_back(k);
    if (IsMapped(k)) continue;
    std::uint8_t nSide = 0;
    if (m_pKamoku) {
      for (const S_KANKAMOKU& t : *m_pKamoku) {
        if (t.nKamokuCode == k && t.byHide != kHidden) {
          nSide = t.byTaisyaku;
          break;
        }
      }
    }
    const _SG_MATCH match{m_body.nGaiNo, k, nSide};
    auto it = m_pWork->begin();
    while (it != m_pWork->end() && it->nBokiCode <= k) ++it;
    m_pWork->insert(it, match);
  }
}

void CSetGaiDlg::OnSetting() {
  CollectChecks();
  EndDialog(IDOK);
}

void CSetGaiDlg::OnClicked(UINT nID) {
  if (nID == IDC_SETTING) {
    OnSetting();
  } else if (nID == IDC_ALL) {
    UpdateData(TRUE);
    CollectChecks();
    FillList();
  } else {
    CDialog::OnClicked(nID);
  }
}

BOOL CSetGaiDlg::OnHelpInfo(HELPINFO*) { return TRUE; }
