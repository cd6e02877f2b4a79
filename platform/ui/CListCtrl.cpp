#include "CListCtrl.h"

namespace {

constexpr UINT StateImage(UINT nState) { return (nState & LVIS_STATEIMAGEMASK) >> 12; }

}  // namespace

int CListCtrl::InsertColumn(int nCol, LPCSTR pszHeading, int nFormat, int nWidth, int) {
  if (nCol < 0) return -1;
  const int nAt = nCol > GetColumnCount() ? GetColumnCount() : nCol;
  m_arColumns.insert(m_arColumns.begin() + nAt,
                     ListColumn{pszHeading ? pszHeading : "", nFormat, nWidth});
  NotifyChanged();
  return nAt;
}

BOOL CListCtrl::DeleteColumn(int nCol) {
  if (nCol < 0 || nCol >= GetColumnCount()) return FALSE;
  m_arColumns.erase(m_arColumns.begin() + nCol);
  NotifyChanged();
  return TRUE;
}

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle) {
  const DWORD dwOld = m_dwExStyle;
  m_dwExStyle = dwNewStyle;
  const bool bHad = (dwOld & LVS_EX_CHECKBOXES) != 0;
  const bool bHas = (dwNewStyle & LVS_EX_CHECKBOXES) != 0;
  if (bHad != bHas) {
    // Rows get the unchecked image when check boxes come, and lose the
    // image when they go.
    for (ListRow& row : m_arRows) {
      row.nState &= ~LVIS_STATEIMAGEMASK;
      if (bHas) row.nState |= INDEXTOSTATEIMAGEMASK(1);
    }
  }
  NotifyChanged();
  return dwOld;
}

int CListCtrl::InsertItem(int nItem, LPCSTR pszItem) {
  if (nItem < 0) return -1;
  const int nAt = nItem > GetItemCount() ? GetItemCount() : nItem;
  ListRow row;
  row.arTexts.push_back(pszItem ? pszItem : "");
  if (m_dwExStyle & LVS_EX_CHECKBOXES) row.nState = INDEXTOSTATEIMAGEMASK(1);
  m_arRows.insert(m_arRows.begin() + nAt, std::move(row));
  NotifyChanged();
  return nAt;
}

int CListCtrl::InsertItem(UINT nMask, int nItem, LPCSTR pszItem, UINT nState, UINT nStateMask, int,
                          LPARAM lParam) {
  const int nAt = InsertItem(nItem, (nMask & LVIF_TEXT) ? pszItem : "");
  if (nAt < 0) return -1;
  if (nMask & LVIF_STATE) SetItemState(nAt, nState, nStateMask);
  if (nMask & LVIF_PARAM) SetItemData(nAt, static_cast<DWORD_PTR>(lParam));
  return nAt;
}

BOOL CListCtrl::DeleteItem(int nItem) {
  if (!GetRow(nItem)) return FALSE;
  m_arRows.erase(m_arRows.begin() + nItem);
  NotifyChanged();
  return TRUE;
}

BOOL CListCtrl::DeleteAllItems() {
  m_arRows.clear();
  NotifyChanged();
  return TRUE;
}

const ListRow* CListCtrl::GetRow(int nItem) const {
  return nItem >= 0 && nItem < GetItemCount() ? &m_arRows[static_cast<std::size_t>(nItem)]
                                              : nullptr;
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCSTR pszText) {
  if (!GetRow(nItem) || nSubItem < 0) return FALSE;
  auto& texts = m_arRows[static_cast<std::size_t>(nItem)].arTexts;
  if (texts.size() <= static_cast<std::size_t>(nSubItem)) texts.resize(nSubItem + 1);
  texts[static_cast<std::size_t>(nSubItem)] = pszText ? pszText : "";
  NotifyChanged();
  return TRUE;
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
  const ListRow* pRow = GetRow(nItem);
  if (!pRow || nSubItem < 0 || static_cast<std::size_t>(nSubItem) >= pRow->arTexts.size()) {
    return "";
  }
  return pRow->arTexts[static_cast<std::size_t>(nSubItem)];
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
  if (!GetRow(nItem)) return FALSE;
  m_arRows[static_cast<std::size_t>(nItem)].dwData = dwData;
  return TRUE;
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
  const ListRow* pRow = GetRow(nItem);
  return pRow ? pRow->dwData : 0;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
  if (!GetRow(nItem)) return FALSE;
  if ((nMask & LVIS_SELECTED) && (nState & LVIS_SELECTED) && (m_dwStyle & LVS_SINGLESEL)) {
    for (ListRow& row : m_arRows) row.nState &= ~LVIS_SELECTED;
  }
  ListRow& row = m_arRows[static_cast<std::size_t>(nItem)];
  row.nState = (row.nState & ~nMask) | (nState & nMask);
  NotifyChanged();
  return TRUE;
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const {
  const ListRow* pRow = GetRow(nItem);
  return pRow ? (pRow->nState & nMask) : 0;
}

BOOL CListCtrl::SetCheck(int nItem, BOOL bCheck) {
  return SetItemState(nItem, INDEXTOSTATEIMAGEMASK(bCheck ? 2 : 1), LVIS_STATEIMAGEMASK);
}

BOOL CListCtrl::GetCheck(int nItem) const {
  return StateImage(GetItemState(nItem, LVIS_STATEIMAGEMASK)) == 2 ? TRUE : FALSE;
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const {
  for (int i = nItem < 0 ? 0 : nItem + 1; i < GetItemCount(); ++i) {
    const UINT nState = m_arRows[static_cast<std::size_t>(i)].nState;
    if ((nFlags & LVNI_SELECTED) && !(nState & LVIS_SELECTED)) continue;
    return i;
  }
  return -1;
}

void CListCtrl::SelectRow(int nItem) {
  if (!GetRow(nItem)) return;
  for (ListRow& row : m_arRows) row.nState &= ~(LVIS_SELECTED | LVIS_FOCUSED);
  m_arRows[static_cast<std::size_t>(nItem)].nState |= LVIS_SELECTED | LVIS_FOCUSED;
  NotifyChanged();
}

void CListCtrl::TakeStateFrom(CWnd& other) {
  if (auto* pList = dynamic_cast<CListCtrl*>(&other)) {
    m_arColumns = pList->m_arColumns;
    m_arRows = pList->m_arRows;
    m_dwExStyle = pList->m_dwExStyle;
  }
}
