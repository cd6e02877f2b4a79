#pragma once
// An edit control. The text limit binds what the user types (in bytes, as
// an ANSI edit control counts), not what the program sets.
//
// The selection is in bytes, as EM_SETSEL counts. Setting the text puts the
// caret at the start; typing leaves it after the text typed.

#include "CWnd.h"

class CEdit : public CWnd {
 public:
  void SetLimitText(UINT nMax);
  void LimitText(int nChars = 0) { SetLimitText(static_cast<UINT>(nChars)); }
  // 0 means no limit.
  UINT GetLimitText() const { return m_nLimit; }

  // nEnd -1 (or past the end): to the end of the text.
  void SetSel(int nStart, int nEnd);
  void GetSel(int& nStart, int& nEnd) const;

  // Framework: the caret at nPos with nothing selected, without telling the
  // backend (it already shows what the user did).
  void PlaceCaret(int nPos);

 protected:
  void TakeStateFrom(CWnd& other) override;

 private:
  UINT m_nLimit = 0;
  int m_nSelStart = 0;
  int m_nSelEnd = 0;
};
