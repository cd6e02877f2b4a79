#pragma once
// The findings the figures themselves show, from the books or from a file:
// an item below zero that cannot be, a total its items do not add up to,
// and what moved much against the year before.

#include "CReportModel.h"
#include "S_KANKAMOKU.h"
#include "SettingsRecords.h"
#include "WinTypes.h"

class CFigureChecks {
 public:
  // arKamoku: the books' accounts, empty for a file.
  CFigureChecks(const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
                const CArray<S_KANKAMOKU, S_KANKAMOKU>& arKamoku);

  // Appends the findings to the model, whose items are filled.
  void Run(CReportModel& model) const;
  // Compares the model with the report of the previous year.
  static void ComparePrevious(CReportModel& model, const CReportModel& previous);

 private:
  void CheckNegative(CReportModel& model) const;
  void CheckSubtotals(CReportModel& model) const;

  const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& m_arInitBody;
  const CArray<S_KANKAMOKU, S_KANKAMOKU>& m_arKamoku;
};
