#include "CUiInput.h"

#include "CButton.h"
#include "CEdit.h"
#include "Cp932.h"

namespace {

UINT g_nModifiers = 0;

// Holds the modifier keys down for the time one key is handled.
class ModifierScope {
 public:
  explicit ModifierScope(UINT nModifiers) : m_nSaved(g_nModifiers) { g_nModifiers = nModifiers; }
  ~ModifierScope() { g_nModifiers = m_nSaved; }
  ModifierScope(const ModifierScope&) = delete;
  ModifierScope& operator=(const ModifierScope&) = delete;

 private:
  UINT m_nSaved;
};

BOOL IsDialogKind(ControlKind kind) {
  return kind == ControlKind::Dialog || kind == ControlKind::Page || kind == ControlKind::Sheet;
}

}  // namespace

SHORT GetKeyState(int nVirtKey) {
  UINT nMask = 0;
  switch (nVirtKey) {
    case static_cast<int>(VK_SHIFT):
      nMask = MK_SHIFT;
      break;
    case static_cast<int>(VK_CONTROL):
      nMask = MK_CONTROL;
      break;
    case static_cast<int>(VK_MENU):
      nMask = MK_ALT;
      break;
    default:
      return 0;
  }
  return (g_nModifiers & nMask) ? static_cast<SHORT>(-32768) : 0;
}

BOOL CUiInput::Click(CWnd& control) {
  const ControlKind kind = control.GetKind();
  if (kind != ControlKind::PushButton && kind != ControlKind::CheckBox) return FALSE;
  if (!control.IsReachable()) return FALSE;
  control.TakeFocus(FALSE);
  if (kind == ControlKind::CheckBox && (control.GetStyle() & 0x0F) == BS_AUTOCHECKBOX) {
    if (auto* pButton = dynamic_cast<CButton*>(&control)) {
      pButton->SetCheck(pButton->GetCheck() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    }
  }
  if (CWnd* pParent = control.GetParent()) {
    pParent->SendMessage(WM_COMMAND,
                         MAKEWPARAM(static_cast<WORD>(control.GetDlgCtrlID()), BN_CLICKED),
                         reinterpret_cast<LPARAM>(control.GetSafeHwnd()));
  }
  return TRUE;
}

BOOL CUiInput::TypeText(CWnd& edit, const CString& strText) {
  if (edit.GetKind() != ControlKind::Edit || !edit.IsReachable()) return FALSE;
  if (edit.GetStyle() & ES_READONLY) return FALSE;
  edit.TakeFocus(FALSE);
  auto* pCEdit = dynamic_cast<CEdit*>(&edit);
  CString strTyped = pCEdit && pCEdit->IsDigitsField() ? CEdit::FoldDigits(strText) : strText;
  if (pCEdit && pCEdit->GetLimitText() > 0) {
    strTyped.resize(cp932::CutLength(strTyped, pCEdit->GetLimitText()));
  }
  edit.SetWindowText(strTyped.c_str());
  if (pCEdit) pCEdit->PlaceCaret(static_cast<int>(strTyped.size()));
  if (CWnd* pParent = edit.GetParent()) {
    pParent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(edit.GetDlgCtrlID()), EN_CHANGE),
                         reinterpret_cast<LPARAM>(edit.GetSafeHwnd()));
  }
  return TRUE;
}

BOOL CUiInput::PressKey(CDialog& top, UINT nVirtKey, UINT nModifiers) {
  if (!top.IsReachable()) return FALSE;
  ModifierScope modifiers(nModifiers);
  CDialog* pInput = top.GetInputDialog();
  CWnd* pFocus = CWnd::GetFocus();
  CWnd* pTarget = pFocus && pInput->IsAncestorOf(pFocus) ? pFocus : pInput;
  // With Alt held a key arrives as a system key, as access keys do.
  MSG msg{pTarget->GetSafeHwnd(), (nModifiers & MK_ALT) ? WM_SYSKEYDOWN : WM_KEYDOWN, nVirtKey, 0};

  // The windows from the focus up to the dialog on top, innermost first.
  std::vector<CWnd*> chain;
  for (CWnd* p = pTarget; p; p = p->IsChild() ? p->GetParent() : nullptr) {
    chain.push_back(p);
    if (p == &top) break;
  }
  for (CWnd* p : chain) {
    if (p->PreTranslateMessage(&msg)) return TRUE;
  }
  for (CWnd* p : chain) {
    if (p->RunKeyHooks(msg)) return TRUE;
  }
  for (CWnd* p : chain) {
    if (IsDialogKind(p->GetKind())) {
      static_cast<CDialog*>(p)->HandleDialogKey(msg);
      break;
    }
  }
  return TRUE;
}

BOOL CUiInput::SetRowCheck(CListCtrl& list, int nRow, BOOL bChecked) {
  if (!list.IsReachable() || !list.GetRow(nRow)) return FALSE;
  if (!(list.GetExtendedStyle() & LVS_EX_CHECKBOXES)) return FALSE;
  list.TakeFocus(FALSE);
  list.SetCheck(nRow, bChecked);
  return TRUE;
}

BOOL CUiInput::SelectRow(CListCtrl& list, int nRow) {
  if (!list.IsReachable() || !list.GetRow(nRow)) return FALSE;
  list.TakeFocus(FALSE);
  list.SelectRow(nRow);
  return TRUE;
}

BOOL CUiInput::DoubleClickRow(CListCtrl& list, int nRow) {
  if (!SelectRow(list, nRow)) return FALSE;
  if (CWnd* pParent = list.GetParent()) {
    NMHDR hdr{list.GetSafeHwnd(), static_cast<UINT_PTR>(list.GetDlgCtrlID()), NM_DBLCLK};
    pParent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(list.GetDlgCtrlID()),
                         reinterpret_cast<LPARAM>(&hdr));
  }
  return TRUE;
}

BOOL CUiInput::Focus(CWnd& control) {
  if (!control.IsReachable()) return FALSE;
  control.TakeFocus(FALSE);
  return TRUE;
}

CWnd* CUiInput::FindControl(CDialog& top, int nID) {
  CDialog* pInput = top.GetInputDialog();
  CWnd* pControl = pInput->GetDlgItem(nID);
  if (!pControl && pInput != &top) pControl = top.GetDlgItem(nID);
  return pControl;
}
