#pragma once
// What every page of the settings sheet shares: the host's key handling
// fitted to the page, the function keys that drive the sheet, the fields read
// back when the page loses the focus, and no help.

#include <memory>

#include "CDataSheet.h"
#include "CDialogSub.h"
#include "CDlgSub.h"
#include "CPage.h"
#include "SettingsRecords.h"

class CSetGaiPage : public CPage, public CDlgSub {
 public:
  ~CSetGaiPage() override;

  // Shared settings, set by the settings sheet before the sheet is shown.
  _SG_CONDITION* m_pCondition = nullptr;
  CArray<_SG_MATCH, _SG_MATCH>* m_pMatch = nullptr;
  CArray<_SG_INIT_BODY, _SG_INIT_BODY>* m_pInitBody = nullptr;

  int m_bClosing = 0;
  std::unique_ptr<CDialogSub> m_pDialogSub;

  void OnOK() override;
  BOOL OnKillActive() override;
  BOOL OnHelpInfo(HELPINFO* pHelpInfo) override;
  // F5 and F6 press the sheet's back and next buttons when these are
  // enabled; F8 finishes.
  LRESULT OnFKeyNotify(WPARAM wParam, LPARAM lParam) override;

 protected:
  explicit CSetGaiPage(UINT nIDTemplate);

  CDataSheet* Sheet() const;
  // Makes the page's key handler and fits it to the page. Without memory for
  // it: a warning, the page cancelled, FALSE.
  BOOL CreateDialogSub();
};
