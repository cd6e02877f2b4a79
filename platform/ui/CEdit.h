#pragma once
// An edit control. The text limit binds what the user types (in bytes, as
// an ANSI edit control counts), not what the program sets.
//
// The selection is in bytes, as EM_SETSEL counts. Setting the text puts the
// caret at the start; typing leaves it after the text typed.
//
// A field for digits takes full-width digits and the full-width minus as
// their half-width forms, as they are typed or pasted and before the limit
// counts them: "１２" typed with the input method on is "12".

#include "CWnd.h"

class CEdit : public CWnd {
 public:
  void SetLimitText(UINT nMax);
  void LimitText(int nChars = 0) { SetLimitText(static_cast<UINT>(nChars)); }
  // 0 means no limit.
  UINT GetLimitText() const { return m_nLimit; }

  void SetDigitsField(BOOL bDigits);
  BOOL IsDigitsField() const { return m_bDigits; }
  // The text as a field for digits takes it: full-width digits and minus
  // signs half-width, everything else as typed.
  static CString FoldDigits(const CString& strText);

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
  BOOL m_bDigits = FALSE;
  int m_nSelStart = 0;
  int m_nSelEnd = 0;
};
