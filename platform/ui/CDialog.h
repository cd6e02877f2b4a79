#pragma once
// CDialog: a modal dialog built from a template.
//
// DoModal hands the dialog to the UI backend, which runs the modal session:
// BeginModalSession creates the window and its controls from the template
// and runs OnInitDialog; the backend then feeds the user's input until
// EndDialog has been called, and DoModal destroys the window and returns
// the result given to EndDialog (IDOK, IDCANCEL, ...), or -1 when the
// template is missing. A backend that cannot let the user act ends the
// session with AbortModal: IDCANCEL without running any handler, as if the
// window had been destroyed.

#include "CWnd.h"

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  virtual INT_PTR DoModal();
  void EndDialog(int nResult);

  // Default: UpdateData(FALSE), TRUE.
  virtual BOOL OnInitDialog();
  // Default: UpdateData(TRUE) and, when it succeeds, EndDialog(IDOK).
  virtual void OnOK();
  // Default: EndDialog(IDCANCEL).
  virtual void OnCancel();
  // IDOK goes to OnOK, IDCANCEL to OnCancel, the rest to CWnd's dispatch.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  UINT GetTemplateID() const { return m_nIDTemplate; }
  const DialogTemplate* GetTemplate() const;
  CWnd* GetOwnerWnd() const { return m_pParentWnd; }
  // The dialog's name in scripts and transcripts: the template's, or
  // "dialog" when it has none.
  virtual CString GetUiName() const;
  // The dialog that receives the keyboard: this one; a sheet's active page.
  virtual CDialog* GetInputDialog() { return this; }

  // Modal session, driven by the backend.
  BOOL BeginModalSession();
  BOOL IsEnding() const { return m_bEnding; }
  BOOL IsInModalSession() const { return m_bInModal; }
  int GetModalResult() const { return m_nModalResult; }
  void AbortModal();

  // The title as shown: the window text, else the template's title.
  CString GetTitle() const;
  // The first control after pFrom (null: from the start), in template order
  // and round the end, that takes the tab and can be reached; null if none.
  CWnd* GetNextTabControl(const CWnd* pFrom) const;
  // Tab and Shift+Tab: the next (or previous) tab stop after pFrom, round
  // the end, over the active page's controls followed by the dialog's own
  // (a sheet's button row); null if none.
  CWnd* GetNextTabStop(const CWnd* pFrom, BOOL bPrevious);
  // The window the user sees: a page's sheet, else the dialog itself.
  CDialog* GetOuterDialog();

  // The focus to pCtrl as the dialog moves it (by Tab, an access key, its
  // own choice): an edit gets its whole text selected, so typing replaces
  // it. GotoDlgCtrl is the program's move.
  static void MoveFocusTo(CWnd& ctrl, BOOL bByProgram);
  void GotoDlgCtrl(CWnd* pCtrl);
  // The control an access key in a static or group box leads to: the
  // control the template names for it, else the next tab stop after it in
  // template order; null if none. Reachability is not considered.
  static CWnd* GetLabelTarget(const CWnd& label);

  // Framework: the dialog's reaction to a key nobody took (Enter, Esc, F1,
  // Tab, access keys); TRUE when it did something with it.
  BOOL HandleDialogKey(const MSG& msg);

 protected:
  // Template-less dialogs (property sheets) build their own windows.
  CDialog();
  // Creates the dialog window and its controls; FALSE when it cannot.
  virtual BOOL CreateDialogWindow();

  UINT m_nIDTemplate = 0;
  CWnd* m_pParentWnd = nullptr;

 private:
  // Enter with pFocus, the focus inside this dialog (null when outside):
  // the focused push button, else the default button, else IDOK.
  void PressEnter(CWnd* pFocus);
  // Alt+nKey: the control whose text carries that access key, searched
  // from the focus onwards over the active page and the dialog's own
  // controls. A button is clicked; a label leads to its target.
  BOOL HandleAccessKey(UINT nKey);

  BOOL m_bEnding = FALSE;
  BOOL m_bInModal = FALSE;
  int m_nModalResult = IDCANCEL;
};
