#pragma once
// What a UI backend implements. The window objects keep all state; a
// backend presents it and feeds the user's input back through CUiInput.
//
// - RunModal: call dlg.BeginModalSession() (it creates the controls and
//   runs OnInitDialog; pages of a sheet are created as they are activated),
//   then let the user act until dlg.IsEnding(); return dlg.GetModalResult().
//   A backend that cannot go on calls dlg.AbortModal() (IDCANCEL, no
//   handlers). Dialogs nest: a handler may call DoModal again, and
//   RunModal is then entered again for the inner dialog.
// - MessageBox: show text and caption (CP932) with the MB_ icon and buttons
//   of nType and return IDOK, IDYES, IDNO or IDCANCEL.
// - GetSaveFileName: the save-file dialog of SaveFileDialog.h.
// - Progress*: a modeless progress window (title, one message line, a bar
//   from 0 to 100); it must show each change at once, since the caller does
//   not return to any event loop while it works.
// - The On* notifications tell a backend what the program changed, so that
//   it can update what it shows; the default does nothing.

#include "SaveFileDialog.h"
#include "UiDefs.h"

class CDialog;
class CEdit;
class CPropertySheet;
class CPropertyPage;
class CWnd;

class CUiBackend {
 public:
  virtual ~CUiBackend() = default;

  virtual INT_PTR RunModal(CDialog& dlg) = 0;
  virtual int MessageBox(HWND hOwner, const CString& strText, const CString& strCaption,
                         UINT nType) = 0;
  virtual BOOL GetSaveFileName(SaveFileRequest& request) = 0;

  virtual void ProgressOpen(CWnd& wnd) = 0;
  virtual void ProgressTitle(CWnd& wnd, const CString& strTitle) = 0;
  virtual void ProgressMessage(CWnd& wnd, const CString& strText) = 0;
  virtual void ProgressScale(CWnd& wnd, int nPercent) = 0;
  virtual void ProgressClose(CWnd& wnd) = 0;

  virtual void OnPageActivated(CPropertySheet& sheet, CPropertyPage& page);
  // bByProgram: the program chose the focus (SetFocus), not the user.
  virtual void OnFocusChanged(CWnd& wnd, BOOL bByProgram);
  // Text, enabled, visible, check, style, rows, columns or tools changed.
  virtual void OnWindowChanged(CWnd& wnd);
  virtual void OnWindowDestroyed(CWnd& wnd);
  // The selection of an edit was set (CEdit::GetSel).
  virtual void OnEditSelection(CEdit& edit);
  virtual void OnForeground(CWnd& wnd);
  // The result posted to the host window at exit.
  virtual void OnPost(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// The backend in use. Before one is installed, a fallback that cancels every
// dialog (saying so on standard error), answers message boxes as the plain
// message box does and shows no progress.
CUiBackend& UiBackend();
// Installs pBackend (null: the fallback) and routes MessageBoxA to it;
// returns the backend it replaced (null for the fallback). The caller keeps
// ownership.
CUiBackend* SetUiBackend(CUiBackend* pBackend);

// Tells the backend about the message posted to the host at exit.
void UiNotifyPost(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
