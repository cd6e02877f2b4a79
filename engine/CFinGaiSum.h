#pragma once
// The aggregation: turns the host's monthly account balances into one
// computed item per report-item definition and hands them to the XML writer.

#include <memory>

#include "CFailure.h"
#include "S_KANKAMOKU.h"
#include "SettingsRecords.h"
#include "TUKIKAN.h"
#include "WinTypes.h"
#include "tag_DATA.h"

class CFinGaiSum {
 public:
  explicit CFinGaiSum(HWND hWnd);
  ~CFinGaiSum();
  CFinGaiSum(const CFinGaiSum&) = delete;
  CFinGaiSum& operator=(const CFinGaiSum&) = delete;

  // Stores the conditions and the arrays and derives the twelve-month flag
  // from the fiscal year of the books; FALSE when the books cannot be read.
  BOOL Init(_SG_CONDITION cond, CArray<S_KANKAMOKU, S_KANKAMOKU>* pKamokuArray,
            CArray<_SG_MATCH, _SG_MATCH>* pMatchArray,
            CArray<_SG_INIT_BODY, _SG_INIT_BODY>* pInitBodyArray, short nFunctionNo);
  // Aggregates and, when that succeeded, writes the file; TRUE only when
  // both succeeded.
  BOOL Run(HWND hWnd);
  // What the last of Init, Run and SumAccounts that returned FALSE failed on.
  const CFailure& GetFailure() const { return m_failure; }

  BOOL SumAccounts();
  // Adds (same side) or subtracts the account's amounts of the period into
  // the item's slots. An account the books do not have adds nothing.
  BOOL AddAccount(const _SG_MATCH& match, tag_DATA& data, BYTE nSide) const;
  // A keyword total account or a range of items computed before this one.
  bool CalcFormula(const _SG_INIT_BODY& body, tag_DATA& data);

  // True when the item adds up the accounts mapped to it; otherwise its
  // formula computes it.
  static bool IsAccountItem(const _SG_INIT_BODY& body);
  // The host total account the item's formula names first; 0 when none.
  static short FormulaTotalAccount(const _SG_INIT_BODY& body);

  _SG_CONDITION m_cond{};
  CArray<S_KANKAMOKU, S_KANKAMOKU>* m_pKamokuArray = nullptr;
  CArray<_SG_MATCH, _SG_MATCH>* m_pMatchArray = nullptr;
  CArray<_SG_INIT_BODY, _SG_INIT_BODY>* m_pInitBodyArray = nullptr;
  short m_nFunctionNo = 0;
  short m_nStartMonth = 0;
  short m_nEndMonth = 0;
  short m_nTukiCount = 0;
  // The monthly table: m_nTukiCount entries and the zero entry that ends it.
  std::unique_ptr<TUKIKAN[]> m_hTukiKan;
  TUKIKAN* m_pTukiKan = nullptr;
  CArray<tag_DATA, tag_DATA> m_arData;
  BOOL m_bFullYear = FALSE;
  // The window the caller shows the failures over.
  HWND m_hWnd;

 private:
  BOOL Fail(LPCSTR pszText);
  void ComputeItem(const _SG_INIT_BODY& body, tag_DATA& data);
  void AddRange(const char* szFormula, tag_DATA& data);

  CFailure m_failure;
};
