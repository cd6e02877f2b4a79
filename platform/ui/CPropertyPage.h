#pragma once
// CPropertyPage: one page of a property sheet, built from its template the
// first time the sheet shows it (OnInitDialog runs then) and kept until the
// sheet closes. Its parent window is the sheet.

#include "CDialog.h"

class CPropertySheet;

class CPropertyPage : public CDialog {
 public:
  explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
  ~CPropertyPage() override;

  // The page is about to be shown. Default TRUE.
  virtual BOOL OnSetActive();
  // The page is about to be left; FALSE keeps it. Default UpdateData(TRUE).
  virtual BOOL OnKillActive();
  // Enter on the page. Default: nothing (a page does not close the sheet).
  void OnOK() override;
  // Cancel processing for the page: ends the sheet with IDCANCEL.
  void OnCancel() override;

  CPropertySheet* GetSheet() const { return m_pSheet; }
  BOOL IsCreated() const { return m_hWnd != nullptr; }
  // The caption: the string nIDCaption when given, else the template's title.
  CString GetCaption() const;

  // Framework (CPropertySheet): joins a sheet, is created, goes away.
  void SetSheet(CPropertySheet* pSheet) { m_pSheet = pSheet; }
  BOOL CreatePage();
  void DestroyPage();

 private:
  UINT m_nIDCaption = 0;
  CPropertySheet* m_pSheet = nullptr;
};
