#pragma once
// The fiscal year of a data set and its month periods (月度). A period is
// named after the calendar month in which it begins: with a start day of 21,
// period 4 runs from 21 April to 20 May.

class CFiscalYear {
 public:
  CFiscalYear() = default;
  CFiscalYear(int nStartYear, int nStartMonth, int nStartDay, int nEndYear, int nEndMonth,
              int nEndDay);

  // Real dates, start before end, a start day of at most 28 (so every
  // month has a period start), at most twelve periods, and the twelve-month
  // rule agreeing with the period count.
  bool IsValid() const { return m_bValid; }
  // Period holding the calendar date month/day (1-12); 0 for an impossible date.
  int PeriodOf(int nMonth, int nDay) const;
  // Fiscal number (1 = first) of the period named nMonth; 0 outside 1-12.
  int FiscalNo(int nMonth) const;
  // Fiscal number of the period holding a date; 0 when the date is not in
  // the fiscal year.
  int FiscalNoOfDate(int nYear, int nMonth, int nDay) const;
  // Number of periods of the year (12 for a full year).
  int PeriodCount() const { return m_nPeriods; }
  // Start month S, start day D, end month E: S = 1 and E = 12, or S != 1
  // and E = S - 1, or S = E and D != 1.
  bool IsTwelveMonth() const;

 private:
  int m_nStartYear = 0, m_nStartMonth = 0, m_nStartDay = 0;
  int m_nEndYear = 0, m_nEndMonth = 0, m_nEndDay = 0;
  int m_nPeriods = 0;
  bool m_bValid = false;
};
