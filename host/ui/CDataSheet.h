#pragma once
// The host's wizard sheet: a property sheet with its own button row below
// the pages: 10299, back (10300), next (10301), finish (IDOK = 1) and
// cancel (IDCANCEL = 2). The pages reach the buttons with GetDlgItem on the
// sheet and drive the sheet through the Owner operations.
//
// Finishing (button 1, OwnerOK) asks the active page's OnKillActive, then
// every created page's OnPrevOKCheck in page order; the first 0 keeps the
// sheet open. Cancelling (button 2, Esc on a page) is the active page's
// OnCancel; OwnerCancel ends the sheet with IDCANCEL. Next and back ask the
// active page's OnPrevNextCheck / OnPrevPrevCheck, skip pages whose
// CheckNextPage / CheckPrevPage says 0, and do nothing at the ends.

#include "CPropertySheet.h"

class CPage;

inline constexpr int IDC_SHEET_BTN10299 = 10299;
inline constexpr int IDC_SHEET_BACK = 10300;
inline constexpr int IDC_SHEET_NEXT = 10301;

class CDataSheet : public CPropertySheet {
 public:
  CDataSheet(LPCSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  ~CDataSheet() override;

  void OwnerOK();
  void OwnerCancel();
  void OwnerNext();
  void OwnerPrev();
  void OwnerBtnEnable(int nID, BOOL bEnable);
  // Brings pPage forward with the focus on its control nCtrlId. nOption is
  // always -1.
  void SetPage(CPropertyPage* pPage, short nCtrlId, short nOption);

  // The button-row type the host's callers set (2: the wizard row); this
  // sheet always shows the wizard row.
  short m_nBtnType = 0;

  void OnOK() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 protected:
  BOOL CreateDialogWindow() override;

 private:
  CPage* GetPageAt(int nIndex) const;
};
