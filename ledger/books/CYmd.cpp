#include "CYmd.h"

BOOL CYmd::IsLeapYear(int nYear) const {
  return (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0;
}

int CYmd::GetMonthDays(int nYear, int nMonth) const {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (nMonth < 1 || nMonth > 12) return 0;
  return nMonth == 2 && IsLeapYear(nYear) ? 29 : kDays[nMonth - 1];
}

BOOL CYmd::IsValidDate(int nYear, int nMonth, int nDay) const {
  return nYear >= 1 && nYear <= 9999 && nDay >= 1 && nDay <= GetMonthDays(nYear, nMonth);
}

long CYmd::ToSerial(int nYear, int nMonth, int nDay) const {
  if (!IsValidDate(nYear, nMonth, nDay)) return -1;
  const long y = nYear - 1;
  long days = y * 365 + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < nMonth; ++m) days += GetMonthDays(nYear, m);
  return days + nDay - 1;
}
