#include "CWnd.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_set>

#include "CButton.h"
#include "CComboBox.h"
#include "CDataExchange.h"
#include "CEdit.h"
#include "CListCtrl.h"
#include "CStatic.h"
#include "CUiBackend.h"
#include "Cp932.h"

namespace {

std::unordered_set<const CWnd*>& LiveWindows() {
  static std::unordered_set<const CWnd*> live;
  return live;
}

// Stand-ins for handles that are not ours (the host's window).
std::map<HWND, std::unique_ptr<CWnd>>& ForeignWindows() {
  static std::map<HWND, std::unique_ptr<CWnd>> foreign;
  return foreign;
}

CWnd* g_pFocus = nullptr;

std::unique_ptr<CWnd> MakeControl(ControlKind kind) {
  switch (kind) {
    case ControlKind::Static:
      return std::make_unique<CStatic>();
    case ControlKind::Edit:
      return std::make_unique<CEdit>();
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::GroupBox:
      return std::make_unique<CButton>();
    case ControlKind::ComboBox:
      return std::make_unique<CComboBox>();
    case ControlKind::ListView:
      return std::make_unique<CListCtrl>();
    default:
      return std::make_unique<CWnd>();
  }
}

class CForeignWnd : public CWnd {
 public:
  explicit CForeignWnd(HWND hWnd) { m_hWnd = hWnd; }
};

}  // namespace

CWnd::CWnd() { LiveWindows().insert(this); }

CWnd::~CWnd() {
  if (m_pParent) m_pParent->RemoveChild(this);
  for (CWnd* pChild : m_arChildren) {
    if (std::none_of(m_arOwned.begin(), m_arOwned.end(),
                     [pChild](const auto& owned) { return owned.get() == pChild; })) {
      pChild->Detach();
    }
  }
  m_arChildren.clear();
  m_arOwned.clear();
  if (g_pFocus == this) g_pFocus = nullptr;
  if (m_hWnd == reinterpret_cast<HWND>(this)) UiBackend().OnWindowDestroyed(*this);
  LiveWindows().erase(this);
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (!hWnd) return nullptr;
  auto* pCandidate = reinterpret_cast<CWnd*>(hWnd);
  if (LiveWindows().count(pCandidate) && pCandidate->m_hWnd == hWnd) return pCandidate;
  auto& foreign = ForeignWindows();
  auto it = foreign.find(hWnd);
  if (it == foreign.end()) it = foreign.emplace(hWnd, std::make_unique<CForeignWnd>(hWnd)).first;
  return it->second.get();
}

void CWnd::InitWindow(ControlKind kind, int nID, DWORD dwStyle, const RECT& rcDlu, LPCSTR pszText) {
  m_kind = kind;
  m_nID = nID;
  m_dwStyle = dwStyle;
  m_rcDlu = rcDlu;
  m_strText = pszText ? pszText : "";
  m_bEnabled = (dwStyle & WS_DISABLED) == 0;
  m_bVisible = (dwStyle & WS_VISIBLE) != 0;
  m_hWnd = reinterpret_cast<HWND>(this);
}

void CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd) {
  m_dwStyle = (m_dwStyle & ~dwRemove) | dwAdd;
  m_bEnabled = (m_dwStyle & WS_DISABLED) == 0;
  m_bVisible = (m_dwStyle & WS_VISIBLE) != 0;
  NotifyChanged();
}

CWnd* CWnd::GetDlgItem(int nID) const {
  for (CWnd* pChild : m_arChildren) {
    if (pChild->m_nID == nID && pChild->m_kind != ControlKind::Page) return pChild;
  }
  return nullptr;
}

void CWnd::SetWindowText(LPCSTR pszText) {
  m_strText = pszText ? pszText : "";
  if (m_kind == ControlKind::Progress && m_hWnd) UiBackend().ProgressTitle(*this, m_strText);
  if (auto* pEdit = dynamic_cast<CEdit*>(this)) pEdit->PlaceCaret(0);
  NotifyChanged();
}

int CWnd::GetWindowText(LPSTR pszBuffer, int nMaxCount) const {
  if (!pszBuffer || nMaxCount <= 0) return 0;
  const std::size_t nLen = cp932::CutLength(m_strText, static_cast<std::size_t>(nMaxCount - 1));
  std::memcpy(pszBuffer, m_strText.data(), nLen);
  pszBuffer[nLen] = '\0';
  return static_cast<int>(nLen);
}

void CWnd::GetWindowText(CString& rString) const { rString = m_strText; }

int CWnd::GetWindowTextLength() const { return static_cast<int>(m_strText.size()); }

void CWnd::SetDlgItemText(int nID, LPCSTR pszText) {
  if (CWnd* pItem = GetDlgItem(nID)) pItem->SetWindowText(pszText);
}

UINT CWnd::GetDlgItemText(int nID, LPSTR pszBuffer, int nMaxCount) const {
  if (const CWnd* pItem = GetDlgItem(nID)) {
    return static_cast<UINT>(pItem->GetWindowText(pszBuffer, nMaxCount));
  }
  if (pszBuffer && nMaxCount > 0) pszBuffer[0] = '\0';
  return 0;
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
  rString.clear();
  if (const CWnd* pItem = GetDlgItem(nID)) rString = pItem->m_strText;
  return static_cast<int>(rString.size());
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
  const BOOL bWasDisabled = !m_bEnabled;
  m_bEnabled = bEnable ? TRUE : FALSE;
  m_dwStyle = m_bEnabled ? (m_dwStyle & ~WS_DISABLED) : (m_dwStyle | WS_DISABLED);
  NotifyChanged();
  return bWasDisabled;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
  const BOOL bWasVisible = m_bVisible;
  m_bVisible = nCmdShow != SW_HIDE;
  m_dwStyle = m_bVisible ? (m_dwStyle | WS_VISIBLE) : (m_dwStyle & ~WS_VISIBLE);
  NotifyChanged();
  return bWasVisible;
}

BOOL CWnd::IsWindowVisible() const {
  if (!m_hWnd || !m_bVisible) return FALSE;
  if (IsChild() && m_pParent) return m_pParent->IsWindowVisible();
  return TRUE;
}

BOOL CWnd::IsReachable() const {
  if (!m_hWnd || !m_bVisible || !m_bEnabled) return FALSE;
  if (IsChild() && m_pParent) return m_pParent->IsReachable();
  return TRUE;
}

CWnd* CWnd::SetFocus() {
  CWnd* pPrevious = g_pFocus;
  TakeFocus(TRUE);
  return pPrevious;
}

CWnd* CWnd::GetFocus() { return g_pFocus; }

void CWnd::TakeFocus(BOOL bByProgram) {
  CWnd* pOld = g_pFocus;
  g_pFocus = this;
  if (pOld && pOld != this && pOld->m_kind == ControlKind::Edit && pOld->m_pParent) {
    pOld->m_pParent->SendMessage(WM_COMMAND,
                                 MAKEWPARAM(static_cast<WORD>(pOld->m_nID), EN_KILLFOCUS),
                                 reinterpret_cast<LPARAM>(pOld->m_hWnd));
  }
  UiBackend().OnFocusChanged(*this, bByProgram);
}

void CWnd::CheckDlgButton(int nID, UINT nCheck) {
  if (auto* pButton = dynamic_cast<CButton*>(GetDlgItem(nID))) {
    pButton->SetCheck(static_cast<int>(nCheck));
  }
}

UINT CWnd::IsDlgButtonChecked(int nID) const {
  if (auto* pButton = dynamic_cast<const CButton*>(GetDlgItem(nID))) {
    return static_cast<UINT>(pButton->GetCheck());
  }
  return 0;
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return WindowProc(message, wParam, lParam);
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  if (!pParent) return FALSE;
  auto it = std::find_if(pParent->m_arChildren.begin(), pParent->m_arChildren.end(),
                         [nID](const CWnd* p) { return p->m_nID == static_cast<int>(nID); });
  if (it == pParent->m_arChildren.end()) return FALSE;
  CWnd* pOld = *it;
  if (pOld == this) return TRUE;
  InitWindow(pOld->m_kind, pOld->m_nID, pOld->m_dwStyle, pOld->m_rcDlu, pOld->m_strText.c_str());
  m_bEnabled = pOld->m_bEnabled;
  m_bVisible = pOld->m_bVisible;
  TakeStateFrom(*pOld);
  m_pParent = pParent;
  *it = this;
  if (g_pFocus == pOld) g_pFocus = this;
  auto owned = std::find_if(pParent->m_arOwned.begin(), pParent->m_arOwned.end(),
                            [pOld](const auto& p) { return p.get() == pOld; });
  if (owned != pParent->m_arOwned.end()) {
    // A backend showing the old object learns that this one replaces it.
    UiBackend().OnWindowDestroyed(*pOld);
    pOld->m_pParent = nullptr;
    pOld->m_hWnd = nullptr;
    pParent->m_arOwned.erase(owned);
  }
  NotifyChanged();
  return TRUE;
}

void CWnd::TakeStateFrom(CWnd&) {}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  DestroyChildren();
  OnDestroyWindow();
  if (g_pFocus == this) g_pFocus = nullptr;
  UiBackend().OnWindowDestroyed(*this);
  m_hWnd = nullptr;
  if (m_pParent) {
    CWnd* pParent = m_pParent;
    auto owned = std::find_if(pParent->m_arOwned.begin(), pParent->m_arOwned.end(),
                              [this](const auto& p) { return p.get() == this; });
    if (owned == pParent->m_arOwned.end()) pParent->RemoveChild(this);
    // An owned control stays in its parent's list, without a window, until
    // the parent goes: deleting it here would pull the object from under the
    // caller.
  }
  return TRUE;
}

BOOL CWnd::SetForegroundWindow() {
  if (!m_hWnd) return FALSE;
  UiBackend().OnForeground(*this);
  return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      return OnCommand(wParam, lParam) ? 0 : 1;
    case WM_HELP:
      return OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));
    case WM_FKEYNOTIFY:
      return OnFKeyNotify(wParam, lParam);
    case WM_NOTIFY: {
      LRESULT nResult = 0;
      return OnNotify(wParam, lParam, &nResult) ? nResult : OnMessage(message, wParam, lParam);
    }
    default:
      return OnMessage(message, wParam, lParam);
  }
}

BOOL CWnd::OnNotify(WPARAM, LPARAM, LRESULT*) { return FALSE; }

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
  switch (HIWORD(wParam)) {
    case BN_CLICKED:
      OnClicked(LOWORD(wParam));
      return TRUE;
    case EN_KILLFOCUS:
      OnEditKillFocus(LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

void CWnd::OnClicked(UINT) {}
void CWnd::OnEditKillFocus(UINT) {}
BOOL CWnd::OnHelpInfo(HELPINFO*) { return FALSE; }
LRESULT CWnd::OnFKeyNotify(WPARAM, LPARAM) { return 0; }
LRESULT CWnd::OnMessage(UINT, WPARAM, LPARAM) { return 0; }

void CWnd::AddKeyHook(KeyHook hook) { m_arKeyHooks.push_back(std::move(hook)); }

BOOL CWnd::RunKeyHooks(const MSG& msg) {
  const std::vector<KeyHook> hooks = m_arKeyHooks;
  for (const KeyHook& hook : hooks) {
    if (hook(*this, msg)) return TRUE;
  }
  return FALSE;
}

CWnd* CWnd::CreateControl(const DialogItem& item) {
  std::unique_ptr<CWnd> pControl = MakeControl(item.kind);
  CWnd* pRaw = pControl.get();
  pRaw->InitWindow(item.kind, item.nID, item.dwStyle | WS_CHILD,
                   RECT{item.x, item.y, item.x + item.cx, item.y + item.cy}, item.pszText);
  if (auto* pStatic = dynamic_cast<CStatic*>(pRaw)) pStatic->SetBuddyID(item.nBuddy);
  AddChild(pRaw, std::move(pControl));
  return pRaw;
}

void CWnd::CreateControls(std::span<const DialogItem> items) {
  for (const DialogItem& item : items) CreateControl(item);
}

void CWnd::DestroyChildren() {
  std::vector<CWnd*> children;
  children.swap(m_arChildren);
  for (CWnd* pChild : children) {
    pChild->DestroyChildren();
    pChild->OnDestroyWindow();
    if (g_pFocus == pChild) g_pFocus = nullptr;
    UiBackend().OnWindowDestroyed(*pChild);
    pChild->m_hWnd = nullptr;
    pChild->m_pParent = nullptr;
  }
  m_arOwned.clear();
}

BOOL CWnd::IsAncestorOf(const CWnd* pWnd) const {
  for (const CWnd* p = pWnd; p; p = p->m_pParent) {
    if (p == this) return TRUE;
  }
  return FALSE;
}

void CWnd::AddChild(CWnd* pChild, std::unique_ptr<CWnd> owned) {
  pChild->m_pParent = this;
  m_arChildren.push_back(pChild);
  if (owned) m_arOwned.push_back(std::move(owned));
}

void CWnd::RemoveChild(CWnd* pChild) {
  std::erase(m_arChildren, pChild);
  if (pChild->m_pParent == this) pChild->m_pParent = nullptr;
}

void CWnd::NotifyChanged() {
  if (m_hWnd) UiBackend().OnWindowChanged(*this);
}

void CWnd::OnDestroyWindow() {}

void CWnd::Detach() {
  DestroyChildren();
  if (g_pFocus == this) g_pFocus = nullptr;
  m_hWnd = nullptr;
  m_pParent = nullptr;
}
