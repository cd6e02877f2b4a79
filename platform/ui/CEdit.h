#pragma once
// An edit control. The text limit binds what the user types (in bytes, as
// an ANSI edit control counts), not what the program sets.

#include "CWnd.h"

class CEdit : public CWnd {
 public:
  void SetLimitText(UINT nMax);
  void LimitText(int nChars = 0) { SetLimitText(static_cast<UINT>(nChars)); }
  // 0 means no limit.
  UINT GetLimitText() const { return m_nLimit; }

 protected:
  void TakeStateFrom(CWnd& other) override;

 private:
  UINT m_nLimit = 0;
};
