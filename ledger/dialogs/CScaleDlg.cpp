#include "CScaleDlg.h"

#include "CUiBackend.h"

CScaleDlg::CScaleDlg(CWnd* pParentWnd) {
  m_pOwner = pParentWnd;
  m_kind = ControlKind::Progress;
}

CScaleDlg::~CScaleDlg() { Term(); }

int CScaleDlg::Init(short nType, short nStep) {
  m_nType = nType;
  m_nStep = nStep;
  m_nScale = 0;
  return 0;
}

BOOL CScaleDlg::Create() {
  if (GetSafeHwnd()) return TRUE;
  const CString strTitle = m_strText;
  InitWindow(ControlKind::Progress, 0, WS_POPUP | WS_CAPTION | WS_VISIBLE, RECT{0, 0, 200, 60},
             strTitle.c_str());
  m_bOpen = TRUE;
  UiBackend().ProgressOpen(*this);
  return TRUE;
}

void CScaleDlg::DispMessage(LPCSTR pszText) {
  m_strMessage = pszText ? pszText : "";
  if (m_bOpen) UiBackend().ProgressMessage(*this, m_strMessage);
}

void CScaleDlg::DispScale(int nPercent) {
  m_nScale = nPercent < 0 ? 0 : (nPercent > 100 ? 100 : nPercent);
  if (m_bOpen) UiBackend().ProgressScale(*this, m_nScale);
}

void CScaleDlg::Term() {
  if (!m_bOpen) return;
  m_bOpen = FALSE;
  UiBackend().ProgressClose(*this);
}

void CScaleDlg::OnDestroyWindow() { Term(); }
