#include "CSetGaiP2.h"

#include "ProgramResources.h"

namespace {

// The items with a button on this page; the others are headings.
constexpr int kItems[] = {2,  4,  5,  6,  7,  8,  9,  10, 12, 13, 14, 15, 16, 18,
                          21, 22, 23, 24, 25, 26, 27, 28, 29, 31, 32, 33, 34};

}  // namespace

CSetGaiP2::CSetGaiP2() : CSetGaiItemPage(IDD_SETGAI_P2, kItems, FALSE) {}

void CSetGaiP2::SetItemLabels() {
  for (int i = 0; i < SG_MAIN_ITEM_COUNT; ++i) {
    const _SG_INIT_BODY* pDef = Definition(i);
    if (!pDef || pDef->nKubun >= SG_MONTHLY_KUBUN) break;
    SetDlgItemText(s_anItemCtrl[i], pDef->szGaiName);
  }
  const BOOL bNetAssets = m_pKanri && m_pKanri->byJunShisan != 0 && m_pKanri->nKeiei != KEIEI_KOJIN;
  SetDlgItemText(IDC_CAPITAL_TOTAL, bNetAssets ? "純資産の部合計" : "資本の部合計");
}
