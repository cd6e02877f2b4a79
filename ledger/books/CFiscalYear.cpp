#include "CFiscalYear.h"

#include "CYmd.h"

CFiscalYear::CFiscalYear(int nStartYear, int nStartMonth, int nStartDay, int nEndYear,
                         int nEndMonth, int nEndDay)
    : m_nStartYear(nStartYear),
      m_nStartMonth(nStartMonth),
      m_nStartDay(nStartDay),
      m_nEndYear(nEndYear),
      m_nEndMonth(nEndMonth),
      m_nEndDay(nEndDay) {
  const CYmd ymd;
  const long start = ymd.ToSerial(nStartYear, nStartMonth, nStartDay);
  const long end = ymd.ToSerial(nEndYear, nEndMonth, nEndDay);
  if (start < 0 || end < start || nStartDay > 28) return;
  // Periods from the start's to the end's, counted on the calendar months
  // they are named after.
  const int endPeriod = PeriodOf(nEndMonth, nEndDay);
  const int endPeriodYear = endPeriod > nEndMonth ? nEndYear - 1 : nEndYear;
  const int periods = (endPeriodYear * 12 + endPeriod) - (nStartYear * 12 + nStartMonth) + 1;
  if (periods < 1 || periods > 12) return;
  m_nPeriods = periods;
  m_bValid = IsTwelveMonth() == (periods == 12);
}

int CFiscalYear::PeriodOf(int nMonth, int nDay) const {
  if (nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31) return 0;
  if (nDay >= m_nStartDay) return nMonth;
  return nMonth == 1 ? 12 : nMonth - 1;
}

int CFiscalYear::FiscalNo(int nMonth) const {
  if (nMonth < 1 || nMonth > 12 || m_nStartMonth < 1) return 0;
  return (nMonth - m_nStartMonth + 12) % 12 + 1;
}

int CFiscalYear::FiscalNoOfDate(int nYear, int nMonth, int nDay) const {
  const CYmd ymd;
  const long date = ymd.ToSerial(nYear, nMonth, nDay);
  if (!m_bValid || date < 0 || date < ymd.ToSerial(m_nStartYear, m_nStartMonth, m_nStartDay) ||
      date > ymd.ToSerial(m_nEndYear, m_nEndMonth, m_nEndDay))
    return 0;
  return FiscalNo(PeriodOf(nMonth, nDay));
}

bool CFiscalYear::IsTwelveMonth() const {
  const int s = m_nStartMonth, d = m_nStartDay, e = m_nEndMonth;
  return (s == 1 && e == 12) || (s != 1 && e == s - 1) || (s == e && d != 1);
}
