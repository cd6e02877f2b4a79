#include "CSetGaiP3.h"

#include "ProgramResources.h"

namespace {

constexpr int kItems[] = {36, 37, 38, 39, 40, 41, 42, 43};

}  // namespace

CSetGaiP3::CSetGaiP3() : CSetGaiItemPage(IDD_SETGAI_P3, kItems, TRUE) {}

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
