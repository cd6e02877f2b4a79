#include "ItemRules.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "CFinGaiSum.h"
#include "CKaikei.h"
#include "CReportModel.h"
#include "KAMOKU_CLASS.h"
#include "ReportFormat.h"

namespace report {
namespace {

enum class Kind { ProfitLoss, BalanceSheet, Monthly };

// The classes an item takes by its kind and side when its candidates name
// no account of the books. The closing stock is a credit of cost of sales.
struct ClassRule {
  Kind kind;
  std::uint8_t bySide;
  std::vector<std::uint8_t> arClass;
};
const ClassRule kClassRules[] = {
    {Kind::ProfitLoss, KAMOKU_KARIKATA,
     {KAMOKU_CLASS_COST_OF_SALES, KAMOKU_CLASS_SGA, KAMOKU_CLASS_NON_OPERATING_EXPENSE,
      KAMOKU_CLASS_SPECIAL_LOSS, KAMOKU_CLASS_INCOME_TAX}},
    {Kind::ProfitLoss, KAMOKU_KASIKATA,
     {KAMOKU_CLASS_SALES, KAMOKU_CLASS_COST_OF_SALES, KAMOKU_CLASS_NON_OPERATING_INCOME,
      KAMOKU_CLASS_SPECIAL_GAIN}},
    {Kind::BalanceSheet, KAMOKU_KARIKATA, {KAMOKU_CLASS_ASSETS}},
    {Kind::BalanceSheet, KAMOKU_KASIKATA, {KAMOKU_CLASS_LIABILITIES, KAMOKU_CLASS_NET_ASSETS}},
    {Kind::Monthly, KAMOKU_KARIKATA,
     {KAMOKU_CLASS_COST_OF_SALES, KAMOKU_CLASS_SGA, KAMOKU_CLASS_NON_OPERATING_EXPENSE,
      KAMOKU_CLASS_SPECIAL_LOSS, KAMOKU_CLASS_INCOME_TAX}},
    {Kind::Monthly, KAMOKU_KASIKATA,
     {KAMOKU_CLASS_SALES, KAMOKU_CLASS_NON_OPERATING_INCOME, KAMOKU_CLASS_SPECIAL_GAIN}},
};

// The formula total that keeps what no item of its block takes, by class.
struct ClassTotal {
  std::uint8_t byClass;
  short nTotal;
};
constexpr ClassTotal kClassTotals[] = {
    {KAMOKU_CLASS_ASSETS, CKaikei::CODE_SHISAN},
    {KAMOKU_CLASS_LIABILITIES, CKaikei::CODE_HUSAI},
    {KAMOKU_CLASS_NET_ASSETS, CKaikei::CODE_SHIHON},
    {KAMOKU_CLASS_SALES, CKaikei::CODE_URIAGE},
    {KAMOKU_CLASS_COST_OF_SALES, CKaikei::CODE_GENKA},
    {KAMOKU_CLASS_SGA, CKaikei::CODE_EIGYOSONEKI},
    {KAMOKU_CLASS_NON_OPERATING_INCOME, CKaikei::CODE_ZEIBIKIMAE},
    {KAMOKU_CLASS_NON_OPERATING_EXPENSE, CKaikei::CODE_ZEIBIKIMAE},
    {KAMOKU_CLASS_SPECIAL_GAIN, CKaikei::CODE_ZEIBIKIMAE},
    {KAMOKU_CLASS_SPECIAL_LOSS, CKaikei::CODE_ZEIBIKIMAE},
};

// Totals whose items never fall below zero in a sound year.
constexpr short kNonNegativeTotals[] = {CKaikei::CODE_URIAGE, CKaikei::CODE_GENKA,
                                        CKaikei::CODE_SHISAN};
// Classes of sales, costs and assets: their items do not fall below zero.
constexpr std::uint8_t kNonNegativeClasses[] = {
    KAMOKU_CLASS_ASSETS,    KAMOKU_CLASS_SALES,         KAMOKU_CLASS_COST_OF_SALES,
    KAMOKU_CLASS_SGA,       KAMOKU_CLASS_NON_OPERATING_EXPENSE, KAMOKU_CLASS_SPECIAL_LOSS,
    KAMOKU_CLASS_INCOME_TAX};

Kind KindOf(const _SG_INIT_BODY& body) {
  if (body.nKubun >= SG_MONTHLY_KUBUN) return Kind::Monthly;
  return CReportModel::IsBalanceSheetItem(body) ? Kind::BalanceSheet : Kind::ProfitLoss;
}

// The books' accounts the item's candidate list names, total accounts left out.
std::vector<const S_KANKAMOKU*> Candidates(const _SG_INIT_BODY& body,
                                           const CArray<S_KANKAMOKU, S_KANKAMOKU>& arKamoku) {
  std::vector<const S_KANKAMOKU*> arFound;
  const CString strSpec = FieldText(body.szSeikaku);
  if (strSpec == "ALL") return arFound;
  for (const S_KANKAMOKU& kamoku : arKamoku) {
    if (kamoku.byClass != KAMOKU_CLASS_TOTAL && IsCandidate(body, kamoku.nKamokuNo)) {
      arFound.push_back(&kamoku);
    }
  }
  return arFound;
}

}  // namespace

bool IsCandidate(const _SG_INIT_BODY& body, std::int32_t nNumber) {
  const CString strSpec = FieldText(body.szSeikaku);
  if (strSpec == "ALL") return true;
  // A sign at the very start belongs to the first number.
  if (strSpec.find('+', 1) != CString::npos) {
    for (std::size_t nFrom = 0; nFrom <= strSpec.size();) {
      const std::size_t nEnd = std::min(strSpec.find('+', nFrom + 1), strSpec.size());
      if (std::atoi(strSpec.substr(nFrom, nEnd - nFrom).c_str()) == nNumber) return true;
      nFrom = nEnd + 1;
    }
    return false;
  }
  const std::size_t nDash = strSpec.find('-', 1);
  if (nDash != CString::npos) {
    return std::atoi(strSpec.substr(0, nDash).c_str()) <= nNumber &&
           nNumber <= std::atoi(strSpec.substr(nDash + 1).c_str());
  }
  return std::atoi(strSpec.c_str()) == nNumber;
}

std::vector<std::uint8_t> CandidateClasses(const _SG_INIT_BODY& body,
                                           const CArray<S_KANKAMOKU, S_KANKAMOKU>& arKamoku) {
  std::vector<std::uint8_t> arClass;
  for (const S_KANKAMOKU* pKamoku : Candidates(body, arKamoku)) {
    if (std::find(arClass.begin(), arClass.end(), pKamoku->byClass) == arClass.end()) {
      arClass.push_back(pKamoku->byClass);
    }
  }
  return arClass;
}

std::vector<std::uint8_t> ItemClasses(const _SG_INIT_BODY& body,
                                      const CArray<S_KANKAMOKU, S_KANKAMOKU>& arKamoku) {
  std::vector<std::uint8_t> arClass = CandidateClasses(body, arKamoku);
  if (!arClass.empty()) return arClass;
  for (const ClassRule& rule : kClassRules) {
    if (rule.kind == KindOf(body) && rule.bySide == body.nTaisyaku) return rule.arClass;
  }
  return arClass;
}

short TotalOfClass(std::uint8_t byClass) {
  for (const ClassTotal& entry : kClassTotals) {
    if (entry.byClass == byClass) return entry.nTotal;
  }
  return 0;
}

bool CannotBeNegative(const _SG_INIT_BODY& body,
                      const CArray<S_KANKAMOKU, S_KANKAMOKU>& arKamoku) {
  if (body.nKubun >= SG_MONTHLY_KUBUN) return false;
  if (!CFinGaiSum::IsAccountItem(body)) {
    const short nTotal = CFinGaiSum::FormulaTotalAccount(body);
    return std::find(std::begin(kNonNegativeTotals), std::end(kNonNegativeTotals), nTotal) !=
           std::end(kNonNegativeTotals);
  }
  // Without candidates in the books: the debit items, costs and assets.
  const std::vector<const S_KANKAMOKU*> arCandidate = Candidates(body, arKamoku);
  if (arCandidate.empty()) return body.nTaisyaku == KAMOKU_KARIKATA;
  // Each class also on the item's own side: an allowance of the same class
  // is a contra account, a class only on the other side makes a mixed item.
  for (const S_KANKAMOKU* pCandidate : arCandidate) {
    if (std::find(std::begin(kNonNegativeClasses), std::end(kNonNegativeClasses),
                  pCandidate->byClass) == std::end(kNonNegativeClasses)) {
      return false;
    }
    const bool bOwnSide =
        std::any_of(arCandidate.begin(), arCandidate.end(), [&](const S_KANKAMOKU* pOther) {
          return pOther->byClass == pCandidate->byClass && pOther->byTaisyaku == body.nTaisyaku;
        });
    if (!bOwnSide) return false;
  }
  return true;
}

}  // namespace report
