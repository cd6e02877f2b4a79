#pragma once
// A list view in report style: columns, rows with the texts of every
// column, item data and a state (selection, focus, state image). With the
// check-box extended style every row carries state image 1 (unchecked) or
// 2 (checked), as Windows gives it; the user's tick sets it.

#include <vector>

#include "CWnd.h"

inline constexpr UINT LVIF_TEXT = 0x0001;
inline constexpr UINT LVIF_STATE = 0x0008;
inline constexpr UINT LVIF_PARAM = 0x0004;

struct ListColumn {
  CString strHeading;
  int nFormat = LVCFMT_LEFT;
  int nWidth = 0;  // pixels
};

struct ListRow {
  std::vector<CString> arTexts;  // one per column, the first the item's text
  DWORD_PTR dwData = 0;
  UINT nState = 0;
};

class CListCtrl : public CWnd {
 public:
  int InsertColumn(int nCol, LPCSTR pszHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                   int nSubItem = -1);
  BOOL DeleteColumn(int nCol);
  int GetColumnCount() const { return static_cast<int>(m_arColumns.size()); }
  const std::vector<ListColumn>& GetColumns() const { return m_arColumns; }

  DWORD SetExtendedStyle(DWORD dwNewStyle);
  DWORD GetExtendedStyle() const { return m_dwExStyle; }

  // Inserts before nItem (at the end when beyond it); returns the index or -1.
  int InsertItem(int nItem, LPCSTR pszItem);
  int InsertItem(UINT nMask, int nItem, LPCSTR pszItem, UINT nState, UINT nStateMask, int nImage,
                 LPARAM lParam);
  BOOL DeleteItem(int nItem);
  BOOL DeleteAllItems();
  int GetItemCount() const { return static_cast<int>(m_arRows.size()); }
  const ListRow* GetRow(int nItem) const;

  BOOL SetItemText(int nItem, int nSubItem, LPCSTR pszText);
  CString GetItemText(int nItem, int nSubItem) const;
  BOOL SetItemData(int nItem, DWORD_PTR dwData);
  DWORD_PTR GetItemData(int nItem) const;
  BOOL SetItemState(int nItem, UINT nState, UINT nMask);
  UINT GetItemState(int nItem, UINT nMask) const;
  // Check boxes: state image 2 (checked) or 1.
  BOOL SetCheck(int nItem, BOOL bCheck = TRUE);
  BOOL GetCheck(int nItem) const;
  // The next row after nItem (-1: from the start) with the LVNI_ flags.
  int GetNextItem(int nItem, int nFlags) const;
  // Selects one row (and clears the others when the list allows a single
  // selection) and gives it the focus state.
  void SelectRow(int nItem);

 protected:
  void TakeStateFrom(CWnd& other) override;

 private:
  std::vector<ListColumn> m_arColumns;
  std::vector<ListRow> m_arRows;
  DWORD m_dwExStyle = 0;
};
