#pragma once
// Accounting calculations over the books of the chosen data set.
//
// The monthly table, as TukiKanZanCal(1, 0, 0, table, nullptr) fills it for
// every entry before the one whose account number is 0 (amounts in yen,
// each account on its own side, debit or credit as its title says):
//  - profit-and-loss account: element 0 is 0, elements 1-12 the net movement
//    of the fiscal months 1-12 (NaibuTuki), element 13 the settlement period;
//  - balance-sheet account: element 0 the balance carried forward, elements
//    1-13 the movements, except that in a twelve-month year element 1 also
//    holds the balance carried forward. A twelve-month year is one whose
//    start month S, start day D and end month E satisfy S = 1 and E = 12,
//    or S != 1 and E = S - 1, or S = E and D != 1. Other years add element 0
//    themselves, so both ways the sum of a period's elements is the balance
//    at the period's end;
//  - in a year shorter than twelve months the settlement period's movements
//    are added to the year's last month and element 13 stays 0;
//  - the total accounts, titles of the books with the hidden flag set, are
//    filled from the account classes: 9071 assets, 9111 liabilities, 9143
//    capital including the period's net result (so 9071 = 9111 + 9143
//    element by element), 9160 sales, 9201 cost of sales, 9202 gross profit,
//    9241 operating profit, 9282 profit before tax; 9071 and 9201 on the
//    debit side, the others on the credit side;
//  - an entry whose code is not an account of the books stays 0.
// Month periods (月度) are named after the calendar month in which they
// begin: in a year from 21 April to 20 April period 4 runs from 21 April to
// 20 May and the last period is 3.

#include "TUKIKAN.h"
#include "WinTypes.h"

class CJetAccess;
class CYmd;
class CKumiSen;
class CDenModify;

class CKaikei {
 public:
  inline static constexpr short CODE_SHISAN = 9071;       // total assets
  inline static constexpr short CODE_HUSAI = 9111;        // total liabilities
  inline static constexpr short CODE_SHIHON = 9143;       // total capital
  inline static constexpr short CODE_URIAGE = 9160;       // sales
  inline static constexpr short CODE_GENKA = 9201;        // cost of sales
  inline static constexpr short CODE_URISOURIEKI = 9202;  // gross profit
  inline static constexpr short CODE_EIGYOSONEKI = 9241;  // operating profit
  inline static constexpr short CODE_ZEIBIKIMAE = 9282;   // profit before tax

  CKaikei(CJetAccess* pJetAccess, CYmd* pYmd, CKumiSen* pKumiSen);
  virtual ~CKaikei();

  void SetDenModClass(CDenModify* pDenModify);

  // nMode 1 with both options 0 fills the table as described above; 0 on
  // success. Any other mode, a null table or unreadable books: non-zero, and
  // the amounts are left zero.
  short TukiKanZanCal(short nMode, short nOption1, short nOption2, TUKIKAN* pTukiKan, HWND hWnd);
  // Fiscal month number (1 = first month of the fiscal year) of the month
  // period named nMonth; 0 for a month outside 1-12 or unreadable books.
  short NaibuTuki(short nMonth, short nOption);
  // Month period (named after its calendar month, 1-12) that holds the date
  // nMonth/nDay; 0 for an impossible date or unreadable books.
  short GatudoGet(short nMonth, short nDay);
  // SuuConv(1, 2, x): yen to thousands of yen, truncated toward zero.
  // nKind 1 truncates, 2 rounds half away from zero; nUnit 1 keeps yen,
  // 2 thousands, 3 millions. Other codes return the amount unchanged.
  double SuuConv(short nKind, short nUnit, double dAmount);

 private:
  CJetAccess* m_pJetAccess;
  CYmd* m_pYmd;
  // Part of the host's layout; no calculation here needs the grouping.
  [[maybe_unused]] CKumiSen* m_pKumiSen;
  CDenModify* m_pDenModify = nullptr;
};
