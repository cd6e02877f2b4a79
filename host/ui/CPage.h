#pragma once
// The host's wizard page base. The sheet (CDataSheet) consults the slots
// below; each returns non-zero to let the sheet go on:
// - OnPrevOKCheck: before the sheet finishes with OK (0 keeps it open);
// - OnPrevNextCheck / OnPrevPrevCheck: before the sheet leaves the page
//   forwards / backwards;
// - CheckNextPage / CheckPrevPage (page index): whether the sheet may show
//   that page when moving forwards / backwards (0 skips it);
// - CheckEscKey: Esc on the page (asked by DialogKeyDown with 27; 0 ignores
//   the key);
// - CheckInputSimpleData: Enter on the page (asked by DialogKeyDown with
//   13 before the focus moves on; 0 keeps it).
// The defaults all return 1.

#include "CPropertyPage.h"

class CDialogSub;

class CPage : public CPropertyPage {
 public:
  explicit CPage(UINT nIDTemplate, UINT nIDCaption = 0);
  ~CPage() override;

  virtual int OnPrevOKCheck();
  virtual int CheckEscKey();
  virtual int OnPrevPrevCheck();
  virtual int OnPrevNextCheck();
  virtual int CheckPrevPage(int nPage);
  virtual int CheckNextPage(int nPage);
  virtual int CheckInputSimpleData();

  // Hands the page its key helper (not owned).
  void SetDialogSubClass(CDialogSub* pSub);
  CDialogSub* GetDialogSubClass() const { return m_pDialogSub; }

 private:
  CDialogSub* m_pDialogSub = nullptr;
};
