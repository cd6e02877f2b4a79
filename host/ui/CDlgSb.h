#pragma once
// The host's dialog key helper. Init attaches it to a window: from then on a
// function key (F2 to F12) pressed in that window reaches the window as the
// notification message given to Init, with the virtual-key code in wParam.
// DialogKeyDown is called by the window's Enter and Esc handlers: Enter
// moves the focus to the next reachable control that takes the tab (and
// returns 1); Esc returns 1 to let the cancel go on. Other keys return 0.

#include "CWnd.h"

class CDlgSb {
 public:
  CDlgSb();
  virtual ~CDlgSb();

  // Non-zero on success; 0 when pWnd is null or does not exist yet.
  int Init(CWnd* pWnd, UINT nTemplateId, UINT nNotifyMsg, int nReserved1, int nReserved2,
           short nOption1, short nOption2, short nOption3);
  virtual int DialogKeyDown(UINT nVirtKey);

  CWnd* GetWindow() const { return m_pWnd; }
  UINT GetNotifyMessage() const { return m_nNotifyMsg; }

 private:
  CWnd* m_pWnd = nullptr;
  UINT m_nNotifyMsg = 0;
  // Lets a hook left on a window outlive this object harmlessly.
  std::shared_ptr<CDlgSb*> m_pAlive;
};
