#pragma once
// Second base class of the wizard pages: input checks.

#include "WinTypes.h"

class CDlgSub {
 public:
  CDlgSub() = default;
  ~CDlgSub() = default;

  // Non-zero when szText is a decimal integer (an optional "-" and digits
  // only) from nMin to nMax inclusive.
  BOOL ValueCheck(LPCSTR szText, short nMin, short nMax);
};
