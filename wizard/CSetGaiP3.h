#pragma once
// Wizard page 月別売上等: the eight monthly report items as buttons. The last
// page, so F6 goes nowhere.

#include "CSetGaiItemPage.h"

class CSetGaiP3 : public CSetGaiItemPage {
 public:
  CSetGaiP3();

  BOOL OnSetActive() override;
  void SetItemLabels() override;
  LRESULT OnFKeyNotify(WPARAM wParam, LPARAM lParam) override;
};
