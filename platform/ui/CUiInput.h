#pragma once
// The user's actions on the window objects, as both backends feed them: a
// click, typing into an edit, a key, ticking or picking a list row. Each
// does what the user's action does on Windows: the focus moves (an edit
// losing it sends EN_KILLFOCUS), a check box toggles, the parent gets
// BN_CLICKED, a key runs through PreTranslateMessage, the key hooks and the
// dialog's own key handling. Every action refuses (returns FALSE) a window
// the user could not reach: disabled or hidden, itself or a parent.

#include "CDialog.h"
#include "CListCtrl.h"

class CUiInput {
 public:
  // Push button, check box: focus, toggle (auto check box), BN_CLICKED.
  static BOOL Click(CWnd& control);
  // Focus to the edit, then its text replaced by strText as far as the
  // edit's limit takes it (never half a double-byte character); a field for
  // digits folds full-width digits first.
  static BOOL TypeText(CWnd& edit, const CString& strText);
  // A key pressed while top is the dialog on top. nModifiers: MK_ bits of
  // the modifier keys held, which GetKeyState reports meanwhile; with
  // MK_ALT a letter or digit is an access key.
  static BOOL PressKey(CDialog& top, UINT nVirtKey, UINT nModifiers = 0);
  // Check box of a list row (the list must have the check-box style).
  static BOOL SetRowCheck(CListCtrl& list, int nRow, BOOL bChecked);
  // Selects and focuses one row.
  static BOOL SelectRow(CListCtrl& list, int nRow);
  // Double-click on a row: selected and focused, then NM_DBLCLK to the
  // list's parent.
  static BOOL DoubleClickRow(CListCtrl& list, int nRow);
  // The focus moves to a control by the user's doing.
  static BOOL Focus(CWnd& control);
  // The dialog on top's own window or, for a sheet, its active page's: the
  // control with id nID the user could act on, or null. A sheet's own
  // buttons are found after the page's controls.
  static CWnd* FindControl(CDialog& top, int nID);
};

inline constexpr UINT MK_SHIFT = 0x0004;
inline constexpr UINT MK_CONTROL = 0x0008;
inline constexpr UINT MK_ALT = 0x0020;
