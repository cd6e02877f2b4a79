#pragma once
// Conversions of the window utilities.

#include "WinTypes.h"

class CConv {
 public:
  CConv() = default;
  virtual ~CConv() = default;

  // Decimal text (optional "-", digits) to a signed 16-bit value. 0 on
  // success; non-zero for any other text or a value out of range, with
  // *pnValue left unchanged.
  short Convert(LPCSTR szText, short* pnValue);
};
