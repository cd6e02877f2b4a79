#pragma once
// A push button, check box or group box (the kind says which).

#include "CWnd.h"

inline constexpr UINT BST_UNCHECKED = 0;
inline constexpr UINT BST_CHECKED = 1;
inline constexpr UINT BST_INDETERMINATE = 2;

class CButton : public CWnd {
 public:
  int GetCheck() const { return m_nCheck; }
  void SetCheck(int nCheck);
  BOOL IsDefaultButton() const { return (m_dwStyle & 0x0F) == BS_DEFPUSHBUTTON; }

 protected:
  void TakeStateFrom(CWnd& other) override;

 private:
  int m_nCheck = BST_UNCHECKED;
};
