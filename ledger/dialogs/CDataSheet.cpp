#include "CDataSheet.h"

#include <algorithm>
#include <array>
#include <utility>

#include "CPage.h"

namespace {

constexpr short kButtonWidth = 46;
constexpr short kButtonHeight = 14;
constexpr short kButtonGap = 3;
constexpr short kRowMargin = 4;

}  // namespace

CDataSheet::CDataSheet(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(pszCaption, pParentWnd, iSelectPage) {}

CDataSheet::~CDataSheet() = default;

BOOL CDataSheet::CreateDialogWindow() {
  if (!CPropertySheet::CreateDialogWindow()) return FALSE;
  // The button row sits below the tallest page.
  const short y = static_cast<short>(m_rcDlu.bottom + kRowMargin);
  constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
  const std::array<std::pair<int, const char*>, 5> buttons{{
      {IDC_SHEET_BTN10299, "ヘルプ"},
      {IDC_SHEET_BACK, "< 戻る(F5)"},
      {IDC_SHEET_NEXT, "次へ(F6) >"},
      {IDOK, "完了(F8)"},
      {IDCANCEL, "ｷｬﾝｾﾙ(ESC)"},
  }};
  short x = kRowMargin;
  for (const auto& [nID, pszText] : buttons) {
    CreateControl(DialogItem{nID, ControlKind::PushButton, pszText, kStyle, x, y, kButtonWidth,
                             kButtonHeight});
    x = static_cast<short>(x + kButtonWidth + kButtonGap);
  }
  m_rcDlu.right = std::max<LONG>(m_rcDlu.right, x + kRowMargin);
  m_rcDlu.bottom = y + kButtonHeight + kRowMargin;
  return TRUE;
}

CPage* CDataSheet::GetPageAt(int nIndex) const { return dynamic_cast<CPage*>(GetPage(nIndex)); }

BOOL CDataSheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == BN_CLICKED) {
    switch (LOWORD(wParam)) {
      case IDC_SHEET_BACK:
        OwnerPrev();
        return TRUE;
      case IDC_SHEET_NEXT:
        OwnerNext();
        return TRUE;
      case IDC_SHEET_BTN10299:
        // The host's extra button has no function in this sheet; the pages
        // disable it.
        return TRUE;
      default:
        break;
    }
  }
  return CPropertySheet::OnCommand(wParam, lParam);
}

void CDataSheet::OnOK() { OwnerOK(); }

void CDataSheet::OwnerOK() {
  if (!GetSafeHwnd() || IsEnding()) return;
  CPropertyPage* pActive = GetActivePage();
  if (pActive && pActive->IsCreated() && !pActive->OnKillActive()) return;
  for (int i = 0; i < GetPageCount(); ++i) {
    CPage* pPage = GetPageAt(i);
    if (pPage && pPage->IsCreated() && !pPage->OnPrevOKCheck()) return;
    // A check may have cancelled the sheet.
    if (IsEnding()) return;
  }
  EndDialog(IDOK);
}

void CDataSheet::OwnerCancel() {
  if (GetSafeHwnd()) EndDialog(IDCANCEL);
}

void CDataSheet::OwnerNext() {
  if (!GetSafeHwnd() || IsEnding()) return;
  const int nActive = GetActiveIndex();
  CPage* pCurrent = GetPageAt(nActive);
  if (pCurrent && !pCurrent->OnPrevNextCheck()) return;
  for (int n = nActive + 1; n < GetPageCount(); ++n) {
    if (!pCurrent || pCurrent->CheckNextPage(n)) {
      SetActivePage(n);
      return;
    }
  }
}

void CDataSheet::OwnerPrev() {
  if (!GetSafeHwnd() || IsEnding()) return;
  const int nActive = GetActiveIndex();
  CPage* pCurrent = GetPageAt(nActive);
  if (pCurrent && !pCurrent->OnPrevPrevCheck()) return;
  for (int n = nActive - 1; n >= 0; --n) {
    if (!pCurrent || pCurrent->CheckPrevPage(n)) {
      SetActivePage(n);
      return;
    }
  }
}

void CDataSheet::OwnerBtnEnable(int nID, BOOL bEnable) {
  if (CWnd* pButton = GetDlgItem(nID)) pButton->EnableWindow(bEnable);
}

void CDataSheet::SetPage(CPropertyPage* pPage, short nCtrlId, short) {
  if (!pPage || !GetSafeHwnd()) return;
  if (!SetActivePage(pPage) || GetActivePage() != pPage) return;
  pPage->GotoDlgCtrl(pPage->GetDlgItem(nCtrlId));
}
