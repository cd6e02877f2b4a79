#pragma once
// A drop-down list.

#include <vector>

#include "CWnd.h"

class CComboBox : public CWnd {
 public:
  int AddString(LPCSTR pszString);
  int InsertString(int nIndex, LPCSTR pszString);
  int DeleteString(UINT nIndex);
  void ResetContent();
  int GetCount() const { return static_cast<int>(m_arItems.size()); }
  int GetCurSel() const { return m_nCurSel; }
  // CB_ERR when nSelect is out of range (the selection is then cleared).
  int SetCurSel(int nSelect);
  int GetLBText(int nIndex, CString& rString) const;
  int SetItemData(int nIndex, DWORD_PTR dwData);
  DWORD_PTR GetItemData(int nIndex) const;

 protected:
  void TakeStateFrom(CWnd& other) override;

 private:
  struct Item {
    CString strText;
    DWORD_PTR dwData = 0;
  };
  std::vector<Item> m_arItems;
  int m_nCurSel = CB_ERR;
};
