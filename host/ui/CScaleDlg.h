#pragma once
// The host's progress window: modeless, a title (SetWindowText), one
// message line and a bar from 0 to 100. Shown by the UI backend at each
// change, since the caller does not pump messages while it works.

#include "CWnd.h"

class CScaleDlg : public CWnd {
 public:
  explicit CScaleDlg(CWnd* pParentWnd = nullptr);
  ~CScaleDlg() override;

  // Bar style and step as the host's callers give them (2, 1); 0 on success.
  int Init(short nType, short nStep);
  BOOL Create();
  void DispMessage(LPCSTR pszText);
  // Clamped to 0..100.
  void DispScale(int nPercent);
  // Closes the window; DestroyWindow afterwards does nothing more.
  void Term();

  int GetScale() const { return m_nScale; }
  const CString& GetMessageText() const { return m_strMessage; }

 protected:
  void OnDestroyWindow() override;

 private:
  short m_nType = 2;
  short m_nStep = 1;
  int m_nScale = 0;
  CString m_strMessage;
  BOOL m_bOpen = FALSE;
};
