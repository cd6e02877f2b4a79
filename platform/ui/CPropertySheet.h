#pragma once
// CPropertySheet: a modal dialog holding pages, one of them active. The
// base sheet has no buttons of its own; a derived sheet adds its button row
// as controls of the sheet in CreateDialogWindow and maps their clicks.
// IDOK ends the sheet with IDOK once the active page lets go (OnKillActive);
// IDCANCEL is the active page's OnCancel, which decides.

#include <vector>

#include "CDialog.h"
#include "CPropertyPage.h"

class CPropertySheet : public CDialog {
 public:
  explicit CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  ~CPropertySheet() override;

  void AddPage(CPropertyPage* pPage);
  int GetPageCount() const { return static_cast<int>(m_arPages.size()); }
  CPropertyPage* GetPage(int nPage) const;
  int GetPageIndex(const CPropertyPage* pPage) const;
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const { return m_nActive; }
  // Leaves the active page (its OnKillActive may refuse), creates the new
  // one when needed and activates it (OnSetActive); the focus goes to its
  // first reachable control. TRUE when the page is now active.
  BOOL SetActivePage(int nPage);
  BOOL SetActivePage(CPropertyPage* pPage);
  void SetTitle(LPCSTR pszTitle) { SetWindowText(pszTitle); }

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  CString GetUiName() const override { return "sheet"; }
  CDialog* GetInputDialog() override;

  // Framework: a page being created joins the sheet's windows.
  void AdoptPage(CPropertyPage* pPage);

 protected:
  BOOL CreateDialogWindow() override;
  void OnDestroyWindow() override;

 private:
  std::vector<CPropertyPage*> m_arPages;
  int m_nActive = -1;
  UINT m_nStartPage = 0;
};
