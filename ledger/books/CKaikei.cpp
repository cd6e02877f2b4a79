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
  std::vector<CLedgerSession::Kamoku> arKamoku;
  if (!pSession->OpenBooks(db) || !pSession->ReadKanri(db, kanri) ||
      !pSession->ReadKamoku(db, arKamoku))
    return kFailed;

  std::vector<bool> known(kCodes, false);
  std::vector<const CLedgerSession::Kamoku*> byCode(kCodes, nullptr);
  for (const auto& k : arKamoku) {
    known[static_cast<std::size_t>(k.nCode)] = k.byClass != KAMOKU_CLASS_TOTAL;
    byCode[static_cast<std::size_t>(k.nCode)] = &k;
  }

  std::vector<Amounts> amounts(kCodes, Amounts{});
  {
    CSqliteStmt stmt;
    if (!stmt.Prepare(db.Handle(), "SELECT code, amount FROM opening")) return kFailed;
    int rc;
    while ((rc = stmt.Step()) == SQLITE_ROW) {
      const long long code = stmt.GetInt(0);
      if (code < 1 || code >= kCodes || !known[static_cast<std::size_t>(code)]) return kFailed;
      const auto* k = byCode[static_cast<std::size_t>(code)];
      amounts[static_cast<std::size_t>(code)][0] =
          k->bySide == KAMOKU_KARIKATA ? stmt.GetInt(1) : -stmt.GetInt(1);
    }
    if (rc != SQLITE_DONE) return kFailed;
  }
  // Each side in the order of its index: no sort, one pass.
  if (!SumSide(db,
               "SELECT debit, tuki, sum(amount) FROM siwake INDEXED BY siwake_debit"
               " GROUP BY debit, tuki",
               1, amounts, known) ||
      !SumSide(db,
               "SELECT credit, tuki, sum(amount) FROM siwake INDEXED BY siwake_credit"
               " GROUP BY credit, tuki",
               -1, amounts, known))
    return kFailed;
  db.Close();

  // Totals by class, debit-positive.
  std::array<Amounts, 256> byClass{};
  for (const auto& k : arKamoku)
    if (k.byClass != KAMOKU_CLASS_TOTAL)
      Add(byClass[k.byClass], amounts[static_cast<std::size_t>(k.nCode)]);
  const auto sumOf = [&](std::initializer_list<std::uint8_t> classes) {
    Amounts sum{};
    for (auto c : classes) Add(sum, byClass[c]);
    return sum;
  };
  const Amounts sales = sumOf({KAMOKU_CLASS_SALES});
  const Amounts cost = sumOf({KAMOKU_CLASS_COST_OF_SALES});
  const Amounts gross = sumOf({KAMOKU_CLASS_SALES, KAMOKU_CLASS_COST_OF_SALES});
  const Amounts operating =
      sumOf({KAMOKU_CLASS_SALES, KAMOKU_CLASS_COST_OF_SALES, KAMOKU_CLASS_SGA});
  const Amounts preTax =
      sumOf({KAMOKU_CLASS_SALES, KAMOKU_CLASS_COST_OF_SALES, KAMOKU_CLASS_SGA,
             KAMOKU_CLASS_NON_OPERATING_INCOME, KAMOKU_CLASS_NON_OPERATING_EXPENSE,
             KAMOKU_CLASS_SPECIAL_GAIN, KAMOKU_CLASS_SPECIAL_LOSS});
  Amounts capital = sumOf({KAMOKU_CLASS_NET_ASSETS});
  Amounts result = preTax;
  Add(result, byClass[KAMOKU_CLASS_INCOME_TAX]);
  result[0] = 0;  // the period's result starts from nothing
  Add(capital, result);

  const CFiscalYear& year = kanri.year;
  for (std::size_t i = 0; i < nEntries; ++i) {
    const short nCode = pTukiKan[i].nKamokuCode;
    if (nCode < 1) continue;
    const auto* k = byCode[static_cast<std::size_t>(nCode)];
    if (k == nullptr) continue;
    double dKingaku[14] = {};
    if (k->byClass != KAMOKU_CLASS_TOTAL) {
      Fill(amounts[static_cast<std::size_t>(k->nCode)], k->bySide == KAMOKU_KARIKATA,
           IsBalanceSheetClass(k->byClass), year, dKingaku);
      std::memcpy(pTukiKan[i].dKingaku, dKingaku, sizeof dKingaku);
      continue;
    }
    switch (k->nCode) {
      case CODE_SHISAN:
        Fill(byClass[KAMOKU_CLASS_ASSETS], true, true, year, dKingaku);
        break;
      case CODE_HUSAI:
        Fill(byClass[KAMOKU_CLASS_LIABILITIES], false, true, year, dKingaku);
        break;
      case CODE_SHIHON:
        Fill(capital, false, true, year, dKingaku);
        break;
      case CODE_URIAGE:
        Fill(sales, false, false, year, dKingaku);
        break;
      case CODE_GENKA:
        Fill(cost, true, false, year, dKingaku);
        break;
      case CODE_URISOURIEKI:
        Fill(gross, false, false, year, dKingaku);
        break;
      case CODE_EIGYOSONEKI:
        Fill(operating, false, false, year, dKingaku);
        break;
      case CODE_ZEIBIKIMAE:
        Fill(preTax, false, false, year, dKingaku);
        break;
      default:
        break;
    }
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
