#pragma once
// Wizard page 月別売上等: the eight monthly report items as buttons. The last
// page, so next and F6 go nowhere.

#include "CSetGaiItemPage.h"

class CSetGaiP3 : public CSetGaiItemPage {
 public:
  CSetGaiP3();

  void SetItemLabels() override;
};
