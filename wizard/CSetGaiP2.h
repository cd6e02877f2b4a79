#pragma once
// Wizard page 主要科目: the 35 main items of the report in its own
// arrangement, headings as captions and every mappable item as a button.

#include "CSetGaiItemPage.h"
#include "S_KANRI.h"

class CSetGaiP2 : public CSetGaiItemPage {
 public:
  inline static constexpr int IDC_CAPITAL_TOTAL = 1134;

  CSetGaiP2();

  // Decides the caption of the capital total; set by the settings sheet.
  S_KANRI* m_pKanri = nullptr;

  void SetItemLabels() override;
};
