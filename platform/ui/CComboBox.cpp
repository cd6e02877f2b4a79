#include "CComboBox.h"

int CComboBox::AddString(LPCSTR pszString) {
  m_arItems.push_back(Item{pszString ? pszString : "", 0});
  NotifyChanged();
  return GetCount() - 1;
}

int CComboBox::InsertString(int nIndex, LPCSTR pszString) {
  if (nIndex > GetCount()) return CB_ERR;
  const int nAt = nIndex < 0 ? GetCount() : nIndex;
  m_arItems.insert(m_arItems.begin() + nAt, Item{pszString ? pszString : "", 0});
  if (m_nCurSel >= nAt) ++m_nCurSel;
  NotifyChanged();
  return nAt;
}

int CComboBox::DeleteString(UINT nIndex) {
  if (nIndex >= m_arItems.size()) return CB_ERR;
  m_arItems.erase(m_arItems.begin() + nIndex);
  const int nDeleted = static_cast<int>(nIndex);
  if (m_nCurSel == nDeleted) {
    m_nCurSel = CB_ERR;
  } else if (m_nCurSel > nDeleted) {
    --m_nCurSel;
  }
  NotifyChanged();
  return GetCount();
}

void CComboBox::ResetContent() {
  m_arItems.clear();
  m_nCurSel = CB_ERR;
  NotifyChanged();
}

int CComboBox::SetCurSel(int nSelect) {
  const bool bValid = nSelect >= 0 && nSelect < GetCount();
  m_nCurSel = bValid ? nSelect : CB_ERR;
  NotifyChanged();
  return bValid ? nSelect : CB_ERR;
}

int CComboBox::GetLBText(int nIndex, CString& rString) const {
  if (nIndex < 0 || nIndex >= GetCount()) return CB_ERR;
  rString = m_arItems[static_cast<std::size_t>(nIndex)].strText;
  return static_cast<int>(rString.size());
}

int CComboBox::SetItemData(int nIndex, DWORD_PTR dwData) {
  if (nIndex < 0 || nIndex >= GetCount()) return CB_ERR;
  m_arItems[static_cast<std::size_t>(nIndex)].dwData = dwData;
  return 0;
}

DWORD_PTR CComboBox::GetItemData(int nIndex) const {
  if (nIndex < 0 || nIndex >= GetCount()) return static_cast<DWORD_PTR>(CB_ERR);
  return m_arItems[static_cast<std::size_t>(nIndex)].dwData;
}

void CComboBox::TakeStateFrom(CWnd& other) {
  if (auto* pCombo = dynamic_cast<CComboBox*>(&other)) {
    m_arItems = pCombo->m_arItems;
    m_nCurSel = pCombo->m_nCurSel;
  }
}
