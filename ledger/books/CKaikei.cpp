#include "CKaikei.h"

#include <sqlite3.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "CJetAccess.h"
#include "CLedgerSession.h"
#include "CSqliteStmt.h"
#include "CYmd.h"
#include "KAMOKU_CLASS.h"
#include "S_KANKAMOKU.h"

namespace {

constexpr short kOk = 0;
constexpr short kFailed = 1;
constexpr int kCodes = 32768;

// Debit-positive amounts: element 0 the opening balance, 1-12 the fiscal
// months, 13 the settlement period.
using Amounts = std::array<long long, 14>;

void Add(Amounts& sum, const Amounts& part) {
  for (std::size_t k = 0; k < sum.size(); ++k) sum[k] += part[k];
}

// One account's (or total's) entry of the monthly table, on its own side.
void Fill(const Amounts& debitPositive, bool bDebitSide, bool bBalanceSheet,
          const CFiscalYear& year, double dOut[14]) {
  const long long sign = bDebitSide ? 1 : -1;
  for (int k = 1; k <= 13; ++k) dOut[k] = static_cast<double>(sign * debitPositive[k]);
  if (!year.IsTwelveMonth()) {
    // Only twelve-month spans read element 13: the settlement belongs to the last month.
    dOut[year.PeriodCount()] += dOut[13];
    dOut[13] = 0;
  }
  dOut[0] = 0;
  if (bBalanceSheet) {
    dOut[0] = static_cast<double>(sign * debitPositive[0]);
    // The engine adds element 0 only outside twelve-month years.
    if (year.IsTwelveMonth()) dOut[1] += dOut[0];
  }
}

bool SumSide(CSqlite& db, const char* szSql, long long nSign, std::vector<Amounts>& byCode,
             const std::vector<bool>& known) {
  CSqliteStmt stmt;
  if (!stmt.Prepare(db.Handle(), szSql)) return false;
  int rc;
  while ((rc = stmt.Step()) == SQLITE_ROW) {
    const long long code = stmt.GetInt(0), tuki = stmt.GetInt(1);
    if (code < 1 || code >= kCodes || !known[static_cast<std::size_t>(code)] || tuki < 1 ||
        tuki > 13)
      return false;  // a line the books should never hold
    byCode[static_cast<std::size_t>(code)][static_cast<std::size_t>(tuki)] +=
        nSign * stmt.GetInt(2);
  }
  return rc == SQLITE_DONE;
}

using Kamoku = CLedgerSession::Kamoku;

// The opening balances, debit-positive, into element 0 of each account.
bool ReadOpening(CSqlite& db, const std::vector<const Kamoku*>& byCode,
                 const std::vector<bool>& known, std::vector<Amounts>& amounts) {
  CSqliteStmt stmt;
  if (!stmt.Prepare(db.Handle(), "SELECT code, amount FROM opening")) return false;
  int rc;
  while ((rc = stmt.Step()) == SQLITE_ROW) {
    const long long code = stmt.GetInt(0);
    if (code < 1 || code >= kCodes || !known[static_cast<std::size_t>(code)]) return false;
    const Kamoku* k = byCode[static_cast<std::size_t>(code)];
    amounts[static_cast<std::size_t>(code)][0] =
        k->bySide == KAMOKU_KARIKATA ? stmt.GetInt(1) : -stmt.GetInt(1);
  }
  return rc == SQLITE_DONE;
}

// Every account's opening balance and monthly movements, debit-positive.
bool SumAccounts(CSqlite& db, const std::vector<const Kamoku*>& byCode,
                 std::vector<Amounts>& amounts) {
  std::vector<bool> known(kCodes, false);
  for (std::size_t code = 0; code < byCode.size(); ++code) {
    known[code] = byCode[code] != nullptr && byCode[code]->byClass != KAMOKU_CLASS_TOTAL;
  }
  // Each side in the order of its index: no sort, one pass.
  return ReadOpening(db, byCode, known, amounts) &&
         SumSide(db,
                 "SELECT debit, tuki, sum(amount) FROM siwake INDEXED BY siwake_debit"
                 " GROUP BY debit, tuki",
                 1, amounts, known) &&
         SumSide(db,
                 "SELECT credit, tuki, sum(amount) FROM siwake INDEXED BY siwake_credit"
                 " GROUP BY credit, tuki",
                 -1, amounts, known);
}

// The sums behind the total lines of the chart, debit-positive.
struct Totals {
  Amounts assets, liabilities, capital, sales, cost, gross, operating, preTax;
};

Totals SumTotals(const std::vector<Kamoku>& arKamoku, const std::vector<Amounts>& amounts) {
  std::array<Amounts, 256> byClass{};
  for (const Kamoku& k : arKamoku) {
    if (k.byClass != KAMOKU_CLASS_TOTAL) {
      Add(byClass[k.byClass], amounts[static_cast<std::size_t>(k.nCode)]);
    }
  }
  const auto sumOf = [&](std::initializer_list<std::uint8_t> classes) {
    Amounts sum{};
    for (auto c : classes) Add(sum, byClass[c]);
    return sum;
  };
  Totals totals;
  totals.assets = byClass[KAMOKU_CLASS_ASSETS];
  totals.liabilities = byClass[KAMOKU_CLASS_LIABILITIES];
  totals.sales = sumOf({KAMOKU_CLASS_SALES});
  totals.cost = sumOf({KAMOKU_CLASS_COST_OF_SALES});
  totals.gross = sumOf({KAMOKU_CLASS_SALES, KAMOKU_CLASS_COST_OF_SALES});
  totals.operating = sumOf({KAMOKU_CLASS_SALES, KAMOKU_CLASS_COST_OF_SALES, KAMOKU_CLASS_SGA});
  totals.preTax = sumOf({KAMOKU_CLASS_SALES, KAMOKU_CLASS_COST_OF_SALES, KAMOKU_CLASS_SGA,
                         KAMOKU_CLASS_NON_OPERATING_INCOME, KAMOKU_CLASS_NON_OPERATING_EXPENSE,
                         KAMOKU_CLASS_SPECIAL_GAIN, KAMOKU_CLASS_SPECIAL_LOSS});
  totals.capital = sumOf({KAMOKU_CLASS_NET_ASSETS});
  Amounts result = totals.preTax;
  Add(result, byClass[KAMOKU_CLASS_INCOME_TAX]);
  result[0] = 0;  // the period's result starts from nothing
  Add(totals.capital, result);
  return totals;
}

// A total line of the chart: which sum it shows, on which side.
struct TotalLine {
  short nCode;
  Amounts Totals::*pSum;
  bool bDebitSide;
  bool bBalanceSheet;
};

constexpr TotalLine kTotalLines[] = {
    {CKaikei::CODE_SHISAN, &Totals::assets, true, true},
    {CKaikei::CODE_HUSAI, &Totals::liabilities, false, true},
    {CKaikei::CODE_SHIHON, &Totals::capital, false, true},
    {CKaikei::CODE_URIAGE, &Totals::sales, false, false},
    {CKaikei::CODE_GENKA, &Totals::cost, true, false},
    {CKaikei::CODE_URISOURIEKI, &Totals::gross, false, false},
    {CKaikei::CODE_EIGYOSONEKI, &Totals::operating, false, false},
    {CKaikei::CODE_ZEIBIKIMAE, &Totals::preTax, false, false},
};

// One entry of the monthly table: an account's own amounts, or a total
// line's sum; a total line the books do not compute stays at zero.
void FillEntry(const Kamoku& k, const std::vector<Amounts>& amounts, const Totals& totals,
               const CFiscalYear& year, double dKingaku[14]) {
  if (k.byClass != KAMOKU_CLASS_TOTAL) {
    Fill(amounts[static_cast<std::size_t>(k.nCode)], k.bySide == KAMOKU_KARIKATA,
         IsBalanceSheetClass(k.byClass), year, dKingaku);
    return;
  }
  for (const TotalLine& line : kTotalLines) {
    if (line.nCode == k.nCode) {
      Fill(totals.*line.pSum, line.bDebitSide, line.bBalanceSheet, year, dKingaku);
      return;
    }
  }
}

}  // namespace

CKaikei::CKaikei(CJetAccess* pJetAccess, CYmd* pYmd, CKumiSen* pKumiSen)
    : m_pJetAccess(pJetAccess), m_pYmd(pYmd), m_pKumiSen(pKumiSen) {}

CKaikei::~CKaikei() = default;

void CKaikei::SetDenModClass(CDenModify* pDenModify) { m_pDenModify = pDenModify; }

short CKaikei::TukiKanZanCal(short nMode, short nOption1, short nOption2, TUKIKAN* pTukiKan,
                             HWND /*hWnd*/) {
  if (nMode != 1 || nOption1 != 0 || nOption2 != 0 || pTukiKan == nullptr ||
      m_pJetAccess == nullptr)
    return kFailed;
  std::size_t nEntries = 0;
  while (pTukiKan[nEntries].nKamokuNo != 0) ++nEntries;
  // The table is packed: its doubles are reached by copying, never by reference.
  for (std::size_t i = 0; i < nEntries; ++i)
    std::memset(pTukiKan[i].dKingaku, 0, sizeof pTukiKan[i].dKingaku);

  CLedgerSession* pSession = m_pJetAccess->GetSession();
  CSqlite db;
  CLedgerSession::Kanri kanri;
  std::vector<Kamoku> arKamoku;
  if (!pSession->OpenBooks(db) || !pSession->ReadKanri(db, kanri) ||
      !pSession->ReadKamoku(db, arKamoku))
    return kFailed;
  std::vector<const Kamoku*> byCode(kCodes, nullptr);
  for (const Kamoku& k : arKamoku) byCode[static_cast<std::size_t>(k.nCode)] = &k;
  std::vector<Amounts> amounts(kCodes, Amounts{});
  if (!SumAccounts(db, byCode, amounts)) return kFailed;
  db.Close();

  const Totals totals = SumTotals(arKamoku, amounts);
  for (std::size_t i = 0; i < nEntries; ++i) {
    const short nCode = pTukiKan[i].nKamokuCode;
    if (nCode < 1 || byCode[static_cast<std::size_t>(nCode)] == nullptr) continue;
    double dKingaku[14] = {};
    FillEntry(*byCode[static_cast<std::size_t>(nCode)], amounts, totals, kanri.year, dKingaku);
    std::memcpy(pTukiKan[i].dKingaku, dKingaku, sizeof dKingaku);
  }
  return kOk;
}

short CKaikei::NaibuTuki(short nMonth, short nOption) {
  CFiscalYear year;
  if (nOption != 1 || m_pJetAccess == nullptr || !m_pJetAccess->GetSession()->GetFiscalYear(year))
    return 0;
  return static_cast<short>(year.FiscalNo(nMonth));
}

short CKaikei::GatudoGet(short nMonth, short nDay) {
  CFiscalYear year;
  const CYmd fallback;
  const CYmd& ymd = m_pYmd != nullptr ? *m_pYmd : fallback;
  // Any year: February may have 29 days.
  if (nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > ymd.GetMonthDays(2000, nMonth) ||
      m_pJetAccess == nullptr || !m_pJetAccess->GetSession()->GetFiscalYear(year))
    return 0;
  return static_cast<short>(year.PeriodOf(nMonth, nDay));
}

double CKaikei::SuuConv(short nKind, short nUnit, double dAmount) {
  double dDivisor;
  switch (nUnit) {
    case 1:
      dDivisor = 1;
      break;
    case 2:
      dDivisor = 1000;
      break;
    case 3:
      dDivisor = 1000000;
      break;
    default:
      return dAmount;
  }
  const double dScaled = dAmount / dDivisor;
  double dResult;
  if (nKind == 1)
    dResult = std::trunc(dScaled);
  else if (nKind == 2)
    dResult = std::round(dScaled);
  else
    return dAmount;
  return dResult == 0 ? 0.0 : dResult;  // no "-0"
}
