#include "CAccSelDlg.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "CDataExchange.h"
#include "CJetAccess.h"
#include "LedgerSel.h"
#include "S_KANRI.h"
#include "S_KANRI2.h"

namespace {

constexpr const char* kCaption = "データ選択";
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kModal = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD kList =
    kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;

// The two selection dialogs differ only in their prompt. Wide enough for the
// four columns (name, data ID, fiscal year, form) side by side.
constexpr std::array<DialogItem, 4> SelectionItems(const char* pszPrompt) {
  return {{
      DialogItem{IDC_STATIC, ControlKind::Static, pszPrompt, kChild | SS_LEFT, 7, 7, 326, 10},
      DialogItem{IDC_LEDGER_SEL_LIST, ControlKind::ListView, "", kList, 7, 20, 326, 112},
      DialogItem{IDOK, ControlKind::PushButton, "OK", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 217,
                 139, 55, 14},
      DialogItem{IDCANCEL, ControlKind::PushButton, "ｷｬﾝｾﾙ", kChild | WS_TABSTOP | BS_PUSHBUTTON,
                 278, 139, 55, 14},
  }};
}

constexpr auto kAccSelItems = SelectionItems("集計するデータを選択してください。");
constexpr auto kMembSelItems = SelectionItems("集計する組合員を選択してください。");

constexpr std::array kTemplates{
    DialogTemplate{IDD_LEDGER_ACCSEL, "select", "データ選択", "ＭＳ ゴシック", 9, 340, 160, kModal,
                   kAccSelItems},
    DialogTemplate{IDD_LEDGER_MEMBSEL, "member-select", "組合員選択", "ＭＳ ゴシック", 9, 340, 160,
                   kModal, kMembSelItems},
};

UINT WithTemplates(UINT nIDTemplate) {
  static const bool bRegistered = [] {
    RegisterDialogTemplates(kTemplates);
    return true;
  }();
  static_cast<void>(bRegistered);
  return nIDTemplate;
}

CString KeieiText(short nKeiei) {
  switch (nKeiei) {
    case KEIEI_HOUJIN:
      return "法人";
    case KEIEI_KOJIN:
      return "個人";
    default:
      return std::to_string(nKeiei);
  }
}

}  // namespace

CAccSelDlg::CAccSelDlg(CWnd* pParentWnd) : CAccSelDlg(IDD_LEDGER_ACCSEL, pParentWnd) {}

CAccSelDlg::CAccSelDlg(UINT nIDTemplate, CWnd* pParentWnd)
    : CDialog(WithTemplates(nIDTemplate), pParentWnd) {}

CAccSelDlg::~CAccSelDlg() = default;

void CAccSelDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_LEDGER_SEL_LIST, m_list);
}

BOOL CAccSelDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
  m_list.InsertColumn(0, "名称", LVCFMT_LEFT, 180);
  m_list.InsertColumn(1, "データID", LVCFMT_LEFT, 90);
  m_list.InsertColumn(2, "会計年度", LVCFMT_LEFT, 150);
  m_list.InsertColumn(3, "経営形態", LVCFMT_LEFT, 60);
  if (!FillList()) {
    MessageBoxA(GetSafeHwnd(), "データの一覧を読み込めませんでした。", kCaption,
                MB_OK | MB_ICONWARNING);
    EndDialog(IDCANCEL);
    return FALSE;
  }
  const int nRow = InitialRow();
  if (m_list.GetItemCount() > 0) m_list.SelectRow(nRow >= 0 ? nRow : 0);
  // The list is the first control to take the focus.
  return TRUE;
}

BOOL CAccSelDlg::FillList() {
  m_list.DeleteAllItems();
  m_arPaths.clear();
  CJetAccess* pJet = LedgerSel_GetJetAccess();
  short nCount = 0;
  if (!pJet || pJet->GetDataSetCount(&nCount) != 0) return FALSE;
  // The details come from each data set's own books; the choice in force
  // before is put back afterwards (none when there was none).
  const CString strBefore = pJet->GetSelectedDataPath();
  for (short i = 0; i < nCount; ++i) {
    LEDGER_DATASET info{};
    if (pJet->GetDataSetInfo(i, &info) != 0) return FALSE;
    const int nRow = m_list.InsertItem(i, info.szName);
    m_arPaths.emplace_back(info.szDataPath);
    S_KANRI kanri{};
    S_KANRI2 kanri2{};
    if (pJet->SelectDataSet(i) == 0 && pJet->ReadKanri(&kanri) == 0 &&
        pJet->ReadKanri2(&kanri2) == 0) {
      char szPeriod[64];
      std::snprintf(szPeriod, sizeof szPeriod, "%04d/%02d/%02d～%04d/%02d/%02d", kanri.nStartYear,
                    kanri.nStartMonth, kanri.nStartDay, kanri.nEndYear, kanri.nEndMonth,
                    kanri.nEndDay);
      m_list.SetItemText(
          nRow, 1,
          CString(kanri2.szDataID, strnlen(kanri2.szDataID, sizeof kanri2.szDataID)).c_str());
      m_list.SetItemText(nRow, 2, szPeriod);
      m_list.SetItemText(nRow, 3, KeieiText(kanri.nKeiei).c_str());
    }
  }
  pJet->SelectDataPath(strBefore.c_str());
  return TRUE;
}

BOOL CAccSelDlg::ChooseRow(int nRow) {
  CJetAccess* pJet = LedgerSel_GetJetAccess();
  if (!pJet || nRow < 0 || nRow >= static_cast<int>(m_arPaths.size())) return FALSE;
  if (pJet->SelectDataPath(m_arPaths[static_cast<std::size_t>(nRow)].c_str()) != 0) return FALSE;
  m_strSelectedPath = pJet->GetSelectedDataPath();
  return TRUE;
}

void CAccSelDlg::OnOK() {
  const int nRow = m_list.GetNextItem(-1, LVNI_SELECTED);
  if (nRow < 0) {
    MessageBoxA(GetSafeHwnd(), "データを選択してください。", kCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  if (!ChooseRow(nRow)) {
    MessageBoxA(GetSafeHwnd(), "選択したデータを開けませんでした。", kCaption,
                MB_OK | MB_ICONWARNING);
    return;
  }
  EndDialog(IDOK);
}

BOOL CAccSelDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  const auto* pHdr = reinterpret_cast<const NMHDR*>(lParam);
  if (!pHdr || pHdr->idFrom != static_cast<UINT_PTR>(IDC_LEDGER_SEL_LIST) ||
      pHdr->code != NM_DBLCLK) {
    return CDialog::OnNotify(wParam, lParam, pResult);
  }
  OnOK();
  *pResult = 0;
  return TRUE;
}

void CAccSelDlg::GetSelectedDataPath(char* pszBuffer) {
  if (!pszBuffer) return;
  const std::size_t nLen = std::min<std::size_t>(m_strSelectedPath.size(), MAX_PATH - 1);
  std::memcpy(pszBuffer, m_strSelectedPath.data(), nLen);
  pszBuffer[nLen] = '\0';
}
