#include "CToolTipCtrl.h"

#include <algorithm>

CToolTipCtrl::~CToolTipCtrl() { m_arTools.clear(); }

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  if (!pParentWnd || !pParentWnd->GetSafeHwnd() || GetSafeHwnd()) return FALSE;
  InitWindow(ControlKind::ToolTip, 0, dwStyle | WS_POPUP, RECT{0, 0, 0, 0}, "");
  // Among its parent's windows, so it goes when they go.
  pParentWnd->AttachChild(this);
  m_bActive = TRUE;
  NotifyChanged();
  return TRUE;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCSTR pszText, LPCRECT, UINT_PTR nIDTool) {
  if (!GetSafeHwnd() || !pWnd) return FALSE;
  const CString strText = pszText ? pszText : "";
  auto it = std::find_if(m_arTools.begin(), m_arTools.end(), [&](const ToolTipTool& t) {
    return t.pWnd == pWnd && t.nIDTool == nIDTool;
  });
  if (it != m_arTools.end()) {
    it->strText = strText;
  } else {
    m_arTools.push_back(ToolTipTool{pWnd, nIDTool, strText});
  }
  NotifyChanged();
  return TRUE;
}

void CToolTipCtrl::UpdateTipText(LPCSTR pszText, CWnd* pWnd, UINT_PTR nIDTool) {
  for (ToolTipTool& tool : m_arTools) {
    if (tool.pWnd == pWnd && tool.nIDTool == nIDTool) {
      tool.strText = pszText ? pszText : "";
      NotifyChanged();
      return;
    }
  }
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool) {
  std::erase_if(m_arTools,
                [&](const ToolTipTool& t) { return t.pWnd == pWnd && t.nIDTool == nIDTool; });
  NotifyChanged();
}

void CToolTipCtrl::Activate(BOOL bActivate) {
  m_bActive = bActivate ? TRUE : FALSE;
  NotifyChanged();
}

// Nothing to relay: the backends show a tool's tip from the pointer
// themselves (Qt's tooltips; none without a display).
void CToolTipCtrl::RelayEvent(MSG*) {}

const CString* CToolTipCtrl::FindToolText(const CWnd* pWnd) const {
  for (const ToolTipTool& tool : m_arTools) {
    if (tool.pWnd == pWnd) return &tool.strText;
  }
  return nullptr;
}

LRESULT CToolTipCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case TTM_ACTIVATE:
      Activate(static_cast<BOOL>(wParam));
      return 0;
    case TTM_RELAYEVENT:
      RelayEvent(reinterpret_cast<MSG*>(lParam));
      return 0;
    default:
      return CWnd::WindowProc(message, wParam, lParam);
  }
}

void CToolTipCtrl::OnDestroyWindow() { m_arTools.clear(); }
