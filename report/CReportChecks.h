#pragma once
// The findings of a report: mapping mistakes that would pass silently into
// the file, months without entries, a balance sheet that does not balance,
// and what falls outside every item.

#include <vector>

#include "CReportModel.h"
#include "S_KANKAMOKU.h"
#include "SettingsRecords.h"
#include "WinTypes.h"

class CFinGaiSum;

class CReportChecks {
 public:
  // sum has aggregated (SumAccounts) with these accounts, matches and
  // item definitions.
  CReportChecks(const CArray<S_KANKAMOKU, S_KANKAMOKU>& arKamoku,
                const CArray<_SG_MATCH, _SG_MATCH>& arMatch,
                const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody, const CFinGaiSum& sum);

  // Appends the findings to the model, whose items and months are filled.
  void Run(CReportModel& model);

 private:
  const S_KANKAMOKU* FindKamoku(short nCode) const;
  const _SG_INIT_BODY* FindBody(int nItem) const;
  // The account's own movement in fiscal month element nElement (1-13), the
  // balance carried forward left out.
  double Movement(short nCode, int nElement) const;
  // The fiscal month elements the span covers.
  std::vector<int> SpanElements() const;
  void Add(CReportModel& model, const char* pszCode, CReportModel::Severity severity, int nItem,
           int nAccount, int nMonth, const CString& strMessage);

  void CheckMatches(CReportModel& model);
  void CheckEmptyMonths(CReportModel& model);
  void CheckBalance(CReportModel& model);
  void CheckUnmapped(CReportModel& model);
  void CheckMonthlySales(CReportModel& model);

  const CArray<S_KANKAMOKU, S_KANKAMOKU>& m_arKamoku;
  const CArray<_SG_MATCH, _SG_MATCH>& m_arMatch;
  const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& m_arInitBody;
  const CFinGaiSum& m_sum;
};
