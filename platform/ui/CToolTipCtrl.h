#pragma once
// A tooltip control: a child of a dialog that holds one text per tool (a
// control of that dialog). The backends show the texts of an active
// tooltip's tools; the headless dump lists them.

#include <vector>

#include "CWnd.h"

struct ToolTipTool {
  CWnd* pWnd;
  UINT_PTR nIDTool;
  CString strText;
};

class CToolTipCtrl : public CWnd {
 public:
  ~CToolTipCtrl() override;

  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
  BOOL AddTool(CWnd* pWnd, LPCSTR pszText, LPCRECT pRectTool = nullptr, UINT_PTR nIDTool = 0);
  void UpdateTipText(LPCSTR pszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
  void Activate(BOOL bActivate);
  BOOL IsActive() const { return m_bActive; }
  // Mouse messages relayed by the page; the backends show tips themselves.
  void RelayEvent(MSG* pMsg);
  const std::vector<ToolTipTool>& GetTools() const { return m_arTools; }
  // The text of pWnd's tool, or null when it has none.
  const CString* FindToolText(const CWnd* pWnd) const;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  void OnDestroyWindow() override;

 private:
  std::vector<ToolTipTool> m_arTools;
  BOOL m_bActive = FALSE;
};
