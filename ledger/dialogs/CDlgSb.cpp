#include "CDlgSb.h"

#include "CDialog.h"

CDlgSb::CDlgSb() = default;

CDlgSb::~CDlgSb() {
  if (m_pAlive) *m_pAlive = nullptr;
}

int CDlgSb::Init(CWnd* pWnd, UINT, UINT nNotifyMsg, int, int, short, short, short) {
  if (!pWnd || !pWnd->GetSafeHwnd()) return 0;
  // A second Init replaces the first: the old hook sees its token expire.
  if (m_pAlive) *m_pAlive = nullptr;
  m_pAlive = std::make_shared<CDlgSb*>(this);
  m_pWnd = pWnd;
  m_nNotifyMsg = nNotifyMsg;
  std::weak_ptr<CDlgSb*> alive = m_pAlive;
  pWnd->AddKeyHook([alive](CWnd& wnd, const MSG& msg) -> BOOL {
    const std::shared_ptr<CDlgSb*> pSelf = alive.lock();
    if (!pSelf || !*pSelf || msg.message != WM_KEYDOWN) return FALSE;
    if (msg.wParam < VK_F2 || msg.wParam > VK_F12) return FALSE;
    wnd.SendMessage((*pSelf)->m_nNotifyMsg, msg.wParam, 0);
    return TRUE;
  });
  return 1;
}

int CDlgSb::DialogKeyDown(UINT nVirtKey) {
  if (!m_pWnd || !m_pWnd->GetSafeHwnd()) return 0;
  switch (nVirtKey) {
    case VK_RETURN: {
      auto* pDialog = dynamic_cast<CDialog*>(m_pWnd);
      if (!pDialog) return 0;
      CWnd* pFocus = CWnd::GetFocus();
      if (pFocus && !pDialog->IsAncestorOf(pFocus)) pFocus = nullptr;
      if (CWnd* pNext = pDialog->GetNextTabControl(pFocus)) pNext->TakeFocus(FALSE);
      return 1;
    }
    case VK_ESCAPE:
      return 1;
    default:
      return 0;
  }
}
