#pragma once
// Calendar helpers of the window utilities (Gregorian calendar).

#include "WinTypes.h"

class CYmd {
 public:
  CYmd() = default;
  virtual ~CYmd() = default;

  BOOL IsLeapYear(int nYear) const;
  // Days of the month, 0 for a month outside 1-12.
  int GetMonthDays(int nYear, int nMonth) const;
  BOOL IsValidDate(int nYear, int nMonth, int nDay) const;
  // Days since 1 January 1 of the proleptic calendar; -1 for an invalid date.
  long ToSerial(int nYear, int nMonth, int nDay) const;
};
