#pragma once
// The findings the books show: mapping mistakes that would pass silently
// into the file (unknown accounts, flipped sides, accounts of the wrong
// class, balance-sheet accounts on monthly items, double counting), months
// without entries, a balance sheet that does not balance, a profit chain
// that does not hold, balances and monthly accounts left out of their
// items, and what falls into the form's "other".

#include <vector>

#include "CReportModel.h"
#include "S_KANKAMOKU.h"
#include "SettingsRecords.h"
#include "WinTypes.h"

class CFinGaiSum;

class CReportChecks {
 public:
  // sum has aggregated (SumAccounts) with these accounts, matches and item
  // definitions; arDefaults is the initial data's default match list, the
  // reference for what belongs together.
  CReportChecks(const CArray<S_KANKAMOKU, S_KANKAMOKU>& arKamoku,
                const CArray<_SG_MATCH, _SG_MATCH>& arMatch,
                const CArray<_SG_MATCH, _SG_MATCH>& arDefaults,
                const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody, const CFinGaiSum& sum);

  // Appends the findings to the model, whose items and months are filled.
  void Run(CReportModel& model);

 private:
  const S_KANKAMOKU* FindKamoku(short nCode) const;
  const _SG_INIT_BODY* FindBody(int nItem) const;
  // The account's own movement in fiscal month element nElement (1-13), the
  // balance carried forward left out.
  double Movement(short nCode, int nElement) const;
  // What the account adds over the span on its own side: the movement of a
  // profit-and-loss account, the closing balance of a balance-sheet one.
  double SpanAmount(const S_KANKAMOKU& kamoku) const;
  // The fiscal month elements the span covers.
  std::vector<int> SpanElements() const;
  // True when a match of an account-mapped item of the list maps the account.
  bool IsMapped(const CArray<_SG_MATCH, _SG_MATCH>& arMatch, short nCode, int nItem) const;
  void Add(CReportModel& model, const char* pszCode, CReportModel::Severity severity, int nItem,
           int nAccount, int nMonth, const CString& strMessage, std::optional<double> dAmount);

  struct Group;

  void CheckMatches(CReportModel& model);
  void CheckMatchClass(CReportModel& model, const _SG_MATCH& match, const _SG_INIT_BODY& body,
                       const S_KANKAMOKU& kamoku, double dAdded);
  void CheckEmptyMonths(CReportModel& model);
  void CheckBalance(CReportModel& model);
  void CheckProfitChain(CReportModel& model);
  void CheckLeftOut(CReportModel& model);
  bool CheckBalanceLeftOut(CReportModel& model, const S_KANKAMOKU& kamoku, double dAmount);
  // The formula item whose total account is nTotal; null when none.
  const _SG_INIT_BODY* TotalBody(short nTotal) const;
  // True when the candidates of some main item take part of nTotal's classes.
  bool IsDivided(short nTotal) const;
  void AddToGroup(std::vector<Group>& arGroup, const _SG_INIT_BODY* pTotal,
                  const S_KANKAMOKU& kamoku, double dAmount);
  void AddGroup(CReportModel& model, const Group& group);
  void CheckMonthlyMain(CReportModel& model);
  void CheckMonthlySales(CReportModel& model);

  const CArray<S_KANKAMOKU, S_KANKAMOKU>& m_arKamoku;
  const CArray<_SG_MATCH, _SG_MATCH>& m_arMatch;
  const CArray<_SG_MATCH, _SG_MATCH>& m_arDefaults;
  const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& m_arInitBody;
  const CFinGaiSum& m_sum;
};
