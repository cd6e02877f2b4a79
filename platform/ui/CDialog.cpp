#include "CDialog.h"

#include <algorithm>

#include "CButton.h"
#include "CEdit.h"
#include "CStatic.h"
#include "CUiBackend.h"
#include "CUiInput.h"
#include "Cp932.h"

namespace {

BOOL IsTabStop(const CWnd& wnd) {
  switch (wnd.GetKind()) {
    case ControlKind::Edit:
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::ComboBox:
    case ControlKind::ListView:
      return (wnd.GetStyle() & WS_TABSTOP) != 0;
    default:
      return FALSE;
  }
}

BOOL TakesTab(const CWnd& wnd) { return IsTabStop(wnd) && wnd.IsReachable(); }

// The access key marked by "&" in a control's text, upper case; "&&" is an
// ampersand. 0 when there is none.
UINT AccessKeyOf(const CWnd& wnd) {
  if (wnd.GetKind() == ControlKind::Static && (wnd.GetStyle() & SS_NOPREFIX)) return 0;
  const CString& strText = wnd.GetText();
  for (std::size_t i = 0; i + 1 < strText.size(); i += cp932::CharLength(strText, i)) {
    if (strText[i] != '&') continue;
    const auto key = static_cast<unsigned char>(strText[++i]);
    if (key == '&') continue;
    return (key >= 'a' && key <= 'z') ? key - 'a' + 'A' : key;
  }
  return 0;
}

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {
  m_pOwner = pParentWnd;
  m_kind = ControlKind::Dialog;
  if (const DialogTemplate* pTemplate = GetTemplate()) m_strText = pTemplate->pszTitle;
}

CDialog::CDialog() { m_kind = ControlKind::Dialog; }

CDialog::~CDialog() = default;

const DialogTemplate* CDialog::GetTemplate() const { return FindDialogTemplate(m_nIDTemplate); }

CString CDialog::GetUiName() const {
  const DialogTemplate* pTemplate = GetTemplate();
  return pTemplate && pTemplate->pszUiName ? pTemplate->pszUiName : "dialog";
}

BOOL CDialog::CreateDialogWindow() {
  const DialogTemplate* pTemplate = GetTemplate();
  if (!pTemplate) return FALSE;
  // A title set before the dialog was shown wins over the template's.
  const CString strTitle = m_strText.empty() ? CString(pTemplate->pszTitle) : m_strText;
  InitWindow(ControlKind::Dialog, 0, pTemplate->dwStyle | WS_VISIBLE,
             RECT{0, 0, pTemplate->cx, pTemplate->cy}, strTitle.c_str());
  CreateControls(pTemplate->items);
  return TRUE;
}

INT_PTR CDialog::DoModal() {
  if (m_bInModal) return -1;
  if (m_nIDTemplate != 0 && !GetTemplate()) return -1;
  CWnd* pPrevFocus = CWnd::GetFocus();
  m_bInModal = TRUE;
  m_bEnding = FALSE;
  m_nModalResult = IDCANCEL;
  const INT_PTR nResult = UiBackend().RunModal(*this);
  DestroyChildren();
  OnDestroyWindow();
  UiBackend().OnWindowDestroyed(*this);
  m_hWnd = nullptr;
  m_bInModal = FALSE;
  // The focus goes back where it was when the dialog opened, if that window
  // is still there.
  if (pPrevFocus && pPrevFocus->GetSafeHwnd() && pPrevFocus->IsReachable() &&
      CWnd::GetFocus() == nullptr) {
    pPrevFocus->TakeFocus(FALSE);
  }
  return nResult;
}

BOOL CDialog::BeginModalSession() {
  if (!CreateDialogWindow()) {
    m_nModalResult = -1;
    m_bEnding = TRUE;
    return FALSE;
  }
  const BOOL bDefaultFocus = OnInitDialog();
  if (m_bEnding) return FALSE;
  if (bDefaultFocus) {
    CWnd* pFocus = CWnd::GetFocus();
    if (!pFocus || !IsAncestorOf(pFocus)) {
      if (CWnd* pFirst = GetNextTabControl(nullptr)) MoveFocusTo(*pFirst, FALSE);
    }
  }
  return !m_bEnding;
}

void CDialog::EndDialog(int nResult) {
  m_nModalResult = nResult;
  m_bEnding = TRUE;
  NotifyChanged();
}

void CDialog::AbortModal() {
  m_nModalResult = IDCANCEL;
  m_bEnding = TRUE;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDOK) {
      OnOK();
      return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
      OnCancel();
      return TRUE;
    }
  }
  return CWnd::OnCommand(wParam, lParam);
}

CString CDialog::GetTitle() const {
  if (!m_strText.empty()) return m_strText;
  const DialogTemplate* pTemplate = GetTemplate();
  return pTemplate && pTemplate->pszTitle ? pTemplate->pszTitle : "";
}

CWnd* CDialog::GetNextTabControl(const CWnd* pFrom) const {
  const auto& children = GetChildren();
  std::size_t nStart = 0;
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (children[i] == pFrom) nStart = i + 1;
  }
  for (std::size_t k = 0; k < children.size(); ++k) {
    CWnd* pNext = children[(nStart + k) % children.size()];
    if (TakesTab(*pNext)) return pNext;
  }
  return nullptr;
}

CWnd* CDialog::GetNextTabStop(const CWnd* pFrom, BOOL bPrevious) {
  std::vector<CWnd*> stops;
  auto add = [&stops](const CDialog& dlg) {
    for (CWnd* pChild : dlg.GetChildren()) {
      if (TakesTab(*pChild)) stops.push_back(pChild);
    }
  };
  CDialog* pInput = GetInputDialog();
  if (pInput != this) add(*pInput);
  add(*this);
  if (stops.empty()) return nullptr;
  const auto it = std::find(stops.begin(), stops.end(), pFrom);
  if (it == stops.end()) return bPrevious ? stops.back() : stops.front();
  const std::size_t nAt = static_cast<std::size_t>(it - stops.begin());
  return stops[(nAt + (bPrevious ? stops.size() - 1 : 1)) % stops.size()];
}

CDialog* CDialog::GetOuterDialog() {
  CDialog* pOuter = this;
  while (pOuter->IsChild()) {
    auto* pParent = dynamic_cast<CDialog*>(pOuter->GetParent());
    if (!pParent) break;
    pOuter = pParent;
  }
  return pOuter;
}

void CDialog::MoveFocusTo(CWnd& ctrl, BOOL bByProgram) {
  ctrl.TakeFocus(bByProgram);
  if (auto* pEdit = dynamic_cast<CEdit*>(&ctrl)) pEdit->SetSel(0, -1);
}

void CDialog::GotoDlgCtrl(CWnd* pCtrl) {
  if (pCtrl) MoveFocusTo(*pCtrl, TRUE);
}

CWnd* CDialog::GetLabelTarget(const CWnd& label) {
  const CWnd* pParent = label.GetParent();
  if (!pParent || !label.IsChild()) return nullptr;
  if (const auto* pStatic = dynamic_cast<const CStatic*>(&label);
      pStatic && pStatic->GetBuddyID()) {
    return pParent->GetDlgItem(pStatic->GetBuddyID());
  }
  const auto& siblings = pParent->GetChildren();
  auto it = std::find(siblings.begin(), siblings.end(), &label);
  if (it == siblings.end()) return nullptr;
  auto next = std::find_if(it + 1, siblings.end(), [](const CWnd* p) { return IsTabStop(*p); });
  return next == siblings.end() ? nullptr : *next;
}

BOOL CDialog::HandleAccessKey(UINT nKey) {
  std::vector<CWnd*> controls;
  CDialog* pInput = GetInputDialog();
  if (pInput != this) controls = pInput->GetChildren();
  controls.insert(controls.end(), GetChildren().begin(), GetChildren().end());
  const auto itFocus = std::find(controls.begin(), controls.end(), CWnd::GetFocus());
  const std::size_t nStart =
      itFocus == controls.end() ? 0 : static_cast<std::size_t>(itFocus - controls.begin()) + 1;
  for (std::size_t k = 0; k < controls.size(); ++k) {
    CWnd& control = *controls[(nStart + k) % controls.size()];
    if (AccessKeyOf(control) != nKey || !control.IsReachable()) continue;
    switch (control.GetKind()) {
      case ControlKind::PushButton:
      case ControlKind::CheckBox:
        CUiInput::Click(control);
        return TRUE;
      case ControlKind::Static:
      case ControlKind::GroupBox:
        if (CWnd* pTarget = GetLabelTarget(control); pTarget && TakesTab(*pTarget)) {
          MoveFocusTo(*pTarget, FALSE);
          return TRUE;
        }
        break;
      default:
        break;
    }
  }
  return FALSE;
}

void CDialog::PressEnter(CWnd* pFocus) {
  // A button of the sheet's row reached by Tab: Enter pushes it.
  CWnd* pOuterFocus = CWnd::GetFocus();
  CDialog* pOuter = GetOuterDialog();
  if (!pFocus && pOuterFocus && pOuter != this && pOuter->IsAncestorOf(pOuterFocus) &&
      pOuterFocus->GetKind() == ControlKind::PushButton && pOuterFocus->IsReachable()) {
    pOuterFocus->GetParent()->SendMessage(
        WM_COMMAND, MAKEWPARAM(static_cast<WORD>(pOuterFocus->GetDlgCtrlID()), BN_CLICKED),
        reinterpret_cast<LPARAM>(pOuterFocus->GetSafeHwnd()));
    return;
  }
  int nID = IDOK;
  if (pFocus && pFocus->GetKind() == ControlKind::PushButton) {
    nID = pFocus->GetDlgCtrlID();
  } else {
    for (CWnd* pChild : GetChildren()) {
      auto* pButton = dynamic_cast<CButton*>(pChild);
      if (pButton && pButton->GetKind() == ControlKind::PushButton && pButton->IsDefaultButton()) {
        // A disabled default button takes Enter and does nothing.
        if (!pButton->IsReachable()) return;
        nID = pButton->GetDlgCtrlID();
        break;
      }
    }
  }
  SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(nID), BN_CLICKED), 0);
}

BOOL CDialog::HandleDialogKey(const MSG& msg) {
  if (msg.message == WM_SYSKEYDOWN) {
    const auto nKey = static_cast<UINT>(msg.wParam);
    const bool bAlnum = (nKey >= 'A' && nKey <= 'Z') || (nKey >= '0' && nKey <= '9');
    return bAlnum && GetKeyState(VK_CONTROL) >= 0 && GetOuterDialog()->HandleAccessKey(nKey);
  }
  if (msg.message != WM_KEYDOWN) return FALSE;
  CWnd* pFocus = CWnd::GetFocus();
  if (pFocus && !IsAncestorOf(pFocus)) pFocus = nullptr;
  switch (msg.wParam) {
    case VK_RETURN:
      PressEnter(pFocus);
      return TRUE;
    case VK_ESCAPE:
      SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return TRUE;
    case VK_F1: {
      HELPINFO info{sizeof(HELPINFO), 1, pFocus ? pFocus->GetDlgCtrlID() : 0,
                    pFocus ? pFocus->GetSafeHwnd() : GetSafeHwnd()};
      SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
      return TRUE;
    }
    case VK_TAB: {
      CDialog* pOuter = GetOuterDialog();
      CWnd* pOuterFocus = CWnd::GetFocus();
      if (pOuterFocus && !pOuter->IsAncestorOf(pOuterFocus)) pOuterFocus = nullptr;
      if (CWnd* pNext = pOuter->GetNextTabStop(pOuterFocus, GetKeyState(VK_SHIFT) < 0)) {
        MoveFocusTo(*pNext, FALSE);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}
