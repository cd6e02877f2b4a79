#include "CSetGaiP3.h"

#include "ProgramResources.h"

namespace {

constexpr int kItems[] = {36, 37, 38, 39, 40, 41, 42, 43};

}  // namespace

CSetGaiP3::CSetGaiP3() : CSetGaiItemPage(IDD_SETGAI_P3, kItems) {}

BOOL CSetGaiP3::OnSetActive() {
  if (CDataSheet* pSheet = Sheet()) {
    pSheet->OwnerBtnEnable(IDC_SHEET_BACK, TRUE);
    pSheet->OwnerBtnEnable(IDC_SHEET_NEXT, FALSE);
  }
  RefreshTips();
  SetItemLabels();
  return CSetGaiItemPage::OnSetActive();
}

void CSetGaiP3::SetItemLabels() {
  // Unlike the main items, a definition of the wrong class is skipped, not
  // the end of the run.
  for (int nItem : kItems) {
    const _SG_INIT_BODY* pDef = Definition(nItem - 1);
    if (pDef && pDef->nKubun >= SG_MONTHLY_KUBUN) {
      SetDlgItemText(s_anItemCtrl[nItem - 1], pDef->szGaiName);
    }
  }
}

LRESULT CSetGaiP3::OnFKeyNotify(WPARAM wParam, LPARAM lParam) {
  if (wParam == VK_F6) {
    CDataSheet* pSheet = Sheet();
    CWnd* pNext = pSheet ? pSheet->GetDlgItem(IDC_SHEET_NEXT) : nullptr;
    if (pNext && pNext->IsWindowEnabled()) pSheet->OwnerNext();
    return 0;
  }
  return CSetGaiItemPage::OnFKeyNotify(wParam, lParam);
}
