#include "CReportChecks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "CFinGaiFigures.h"
#include "CFinGaiSum.h"
#include "CKaikei.h"
#include "CHostObjects.h"
#include "ItemRules.h"
#include "KAMOKU_CLASS.h"
#include "ReportFormat.h"

using report::FieldText;

namespace {

// Amounts are whole yen held in doubles: anything from half a yen apart differs.
constexpr double kYenTolerance = 0.5;

CString Number(int nValue) { return std::to_string(nValue); }

CString Quoted(const CString& strName) { return "「" + strName + "」"; }

CString SideName(int nSide) { return nSide == KAMOKU_KASIKATA ? "貸方" : "借方"; }

CString ItemText(const _SG_INIT_BODY& body) {
  return "項目" + Number(body.nGaiNo) + Quoted(FieldText(body.szGaiName));
}

CString AccountText(const S_KANKAMOKU& kamoku) {
  return "科目" + Number(kamoku.nKamokuCode) + Quoted(FieldText(kamoku.szKamokuName));
}

// Income and profit count positive, costs negative.
double CreditPositive(const S_KANKAMOKU& kamoku, double dAmount) {
  return kamoku.byTaisyaku == KAMOKU_KASIKATA ? dAmount : -dAmount;
}

}  // namespace

CReportChecks::CReportChecks(const CArray<S_KANKAMOKU, S_KANKAMOKU>& arKamoku,
                             const CArray<_SG_MATCH, _SG_MATCH>& arMatch,
                             const CArray<_SG_MATCH, _SG_MATCH>& arDefaults,
                             const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
                             const CFinGaiSum& sum)
    : m_arKamoku(arKamoku),
      m_arMatch(arMatch),
      m_arDefaults(arDefaults),
      m_arInitBody(arInitBody),
      m_sum(sum) {}

void CReportChecks::Run(CReportModel& model) {
  CheckMatches(model);
  CheckEmptyMonths(model);
  CheckBalance(model);
  CheckProfitChain(model);
  CheckLeftOut(model);
  CheckMonthlyMain(model);
  CheckMonthlySales(model);
}

const S_KANKAMOKU* CReportChecks::FindKamoku(short nCode) const {
  for (const S_KANKAMOKU& kamoku : m_arKamoku) {
    if (kamoku.nKamokuCode == nCode) return &kamoku;
  }
  return nullptr;
}

const _SG_INIT_BODY* CReportChecks::FindBody(int nItem) const {
  for (const _SG_INIT_BODY& body : m_arInitBody) {
    if (body.nGaiNo == nItem) return &body;
  }
  return nullptr;
}

double CReportChecks::Movement(short nCode, int nElement) const {
  const S_KANKAMOKU* pKamoku = FindKamoku(nCode);
  if (pKamoku == nullptr || m_sum.m_pTukiKan == nullptr) return 0.0;
  for (short i = 0; i < m_sum.m_nTukiCount; ++i) {
    const TUKIKAN& entry = m_sum.m_pTukiKan[i];
    if (entry.nKamokuCode != nCode) continue;
    double dMove = entry.dKingaku[nElement];
    // A twelve-month year holds the balance carried forward in month 1 too.
    if (nElement == 1 && m_sum.m_bFullYear && IsBalanceSheetClass(pKamoku->byClass)) {
      dMove -= entry.dKingaku[0];
    }
    return dMove;
  }
  return 0.0;
}

std::vector<int> CReportChecks::SpanElements() const {
  const int nFrom = g_pKaikei->NaibuTuki(m_sum.m_nStartMonth, 1);
  const int nSpan = (m_sum.m_nEndMonth - m_sum.m_nStartMonth + 12) % 12 + 1;
  std::vector<int> arElement;
  for (int k = 0; k < nSpan && nFrom >= 1 && nFrom + k <= 12; ++k) arElement.push_back(nFrom + k);
  return arElement;
}

double CReportChecks::SpanAmount(const S_KANKAMOKU& kamoku) const {
  _SG_MATCH match{};
  match.nBokiCode = kamoku.nKamokuCode;
  match.nTaisyaku = kamoku.byTaisyaku;
  tag_DATA data{};
  m_sum.AddAccount(match, data, kamoku.byTaisyaku);
  return CFinGaiFigures::Total(data);
}

bool CReportChecks::IsMapped(const CArray<_SG_MATCH, _SG_MATCH>& arMatch, short nCode,
                             int nItem) const {
  for (const _SG_MATCH& match : arMatch) {
    if (match.nBokiCode != nCode || match.nGaiNo == 0) continue;
    if (nItem != 0 && match.nGaiNo != nItem) continue;
    const _SG_INIT_BODY* pBody = FindBody(match.nGaiNo);
    if (pBody != nullptr && CFinGaiSum::IsAccountItem(*pBody)) return true;
  }
  return false;
}

void CReportChecks::Add(CReportModel& model, const char* pszCode, CReportModel::Severity severity,
                        int nItem, int nAccount, int nMonth, const CString& strMessage,
                        std::optional<double> dAmount) {
  model.m_arFinding.push_back(
      {pszCode, severity, nItem, nAccount, nMonth, strMessage, dAmount});
}

void CReportChecks::CheckMatches(CReportModel& model) {
  constexpr auto kWarning = CReportModel::Severity::Warning;
  // Main item of each account already seen, to tell a second mapping.
  std::map<short, int> mapMainItem;
  for (const _SG_MATCH& match : m_arMatch) {
    const _SG_INIT_BODY* pBody = FindBody(match.nGaiNo);
    // Matches of formula items and the sentinel feed nothing.
    if (match.nGaiNo == 0 || pBody == nullptr || !CFinGaiSum::IsAccountItem(*pBody)) continue;
    const CString strItem = ItemText(*pBody);
    const S_KANKAMOKU* pKamoku = FindKamoku(match.nBokiCode);
    if (pKamoku == nullptr) {
      Add(model, "unknown-account", kWarning, match.nGaiNo, match.nBokiCode, 0,
          strItem + "に対応付けられた科目コード" + Number(match.nBokiCode) +
              "は帳簿にありません。この対応は何も集計しません。",
          std::nullopt);
      continue;
    }
    tag_DATA one{};
    m_sum.AddAccount(match, one, pBody->nTaisyaku);
    const double dAdded = CFinGaiFigures::Total(one);
    const CString strAccount = AccountText(*pKamoku);
    if (match.nTaisyaku != pKamoku->byTaisyaku) {
      Add(model, "side-mismatch", kWarning, match.nGaiNo, match.nBokiCode, 0,
          strItem + "の" + strAccount + "は、対応付けの貸借区分（" + SideName(match.nTaisyaku) +
              "）が帳簿の貸借区分（" + SideName(pKamoku->byTaisyaku) +
              "）と異なります。符号が逆に集計されます。",
          dAdded);
    }
    CheckMatchClass(model, match, *pBody, *pKamoku, dAdded);
    if (match.nGaiNo > SG_MAIN_ITEM_COUNT) continue;
    // Copies: the packed record's fields cannot be bound to references.
    const short nCode = match.nBokiCode;
    const int nItem = match.nGaiNo;
    const auto [it, bFirst] = mapMainItem.emplace(nCode, nItem);
    if (bFirst) continue;
    const CString strText =
        it->second == match.nGaiNo
            ? strAccount + "が" + strItem + "に二度対応付けられています。二重に集計されます。"
            : strAccount + "が項目" + Number(it->second) + "と" + strItem +
                  "の両方に対応付けられています。二重に集計されます。";
    Add(model, "duplicate-mapping", kWarning, match.nGaiNo, match.nBokiCode, 0, strText, dAdded);
  }
}

// An account of a class its item does not take, or a balance-sheet account
// on a monthly item.
void CReportChecks::CheckMatchClass(CReportModel& model, const _SG_MATCH& match,
                                    const _SG_INIT_BODY& body, const S_KANKAMOKU& kamoku,
                                    double dAdded) {
  const CString strItem = ItemText(body);
  const CString strAccount = AccountText(kamoku);
  if (body.nKubun >= SG_MONTHLY_KUBUN && IsBalanceSheetClass(kamoku.byClass)) {
    Add(model, "balance-sheet-monthly", CReportModel::Severity::Warning, match.nGaiNo,
        match.nBokiCode, 0,
        "月別の" + strItem + "に貸借対照表の" + strAccount +
            "が対応付けられています。繰越残高が最初の月に入ります。",
        dAdded);
    return;
  }
  const std::vector<std::uint8_t> arClass = report::ItemClasses(body, m_arKamoku);
  if (std::find(arClass.begin(), arClass.end(), kamoku.byClass) != arClass.end()) return;
  CString strClasses;
  for (std::uint8_t byClass : arClass) {
    strClasses += (strClasses.empty() ? "" : "・") + report::ClassName(byClass);
  }
  Add(model, "class-mismatch", CReportModel::Severity::Warning, match.nGaiNo, match.nBokiCode, 0,
      strItem + "は" + strClasses + "の科目の項目ですが、" + report::ClassName(kamoku.byClass) +
          "の" + strAccount + "が対応付けられています（" + report::Grouped(dAdded) + "円）。",
      dAdded);
}

void CReportChecks::CheckEmptyMonths(CReportModel& model) {
  const std::vector<int> arElement = SpanElements();
  for (std::size_t k = 0; k < arElement.size() && k < model.m_arMonth.size(); ++k) {
    bool bMoved = false;
    for (const S_KANKAMOKU& kamoku : m_arKamoku) {
      if (kamoku.byClass == KAMOKU_CLASS_TOTAL) continue;
      if (std::fabs(Movement(kamoku.nKamokuCode, arElement[k])) >= kYenTolerance) {
        bMoved = true;
        break;
      }
    }
    if (bMoved) continue;
    const int nMonth = model.m_arMonth[k];
    Add(model, "empty-month", CReportModel::Severity::Warning, 0, 0, nMonth,
        Number(nMonth) + "月度には仕訳が一件もありません。", std::nullopt);
  }
}

void CReportChecks::CheckBalance(CReportModel& model) {
  const CArray<tag_DATA, tag_DATA>& arData = m_sum.m_arData;
  int nIndex[3] = {-1, -1, -1};
  const short nCodes[3] = {CKaikei::CODE_SHISAN, CKaikei::CODE_HUSAI, CKaikei::CODE_SHIHON};
  for (std::size_t i = 0; i < m_arInitBody.size() && i < arData.size(); ++i) {
    const short nCode = CFinGaiSum::FormulaTotalAccount(m_arInitBody[i]);
    for (int j = 0; j < 3; ++j) {
      if (nCode == nCodes[j] && nIndex[j] < 0) nIndex[j] = static_cast<int>(i);
    }
  }
  if (nIndex[0] < 0 || nIndex[1] < 0 || nIndex[2] < 0) return;
  const double dAssets = CFinGaiFigures::Total(arData[nIndex[0]]);
  const double dOther =
      CFinGaiFigures::Total(arData[nIndex[1]]) + CFinGaiFigures::Total(arData[nIndex[2]]);
  if (std::fabs(dAssets - dOther) < kYenTolerance) return;
  const _SG_INIT_BODY& assets = m_arInitBody[nIndex[0]];
  Add(model, "balance-sheet-unbalanced", CReportModel::Severity::Warning, assets.nGaiNo, 0, 0,
      ItemText(assets) + "（" + report::Grouped(dAssets) + "円）が項目" +
          Number(m_arInitBody[nIndex[1]].nGaiNo) + "と項目" +
          Number(m_arInitBody[nIndex[2]].nGaiNo) + "の和（" + report::Grouped(dOther) + "円）と" +
          report::Grouped(dAssets - dOther) + "円異なります。",
      dAssets - dOther);
}

void CReportChecks::CheckProfitChain(CReportModel& model) {
  // From the gross profit down, each next formula item of the main items is
  // the profit above it plus the classes between them.
  struct Step {
    std::vector<std::uint8_t> arClass;
    const char* pszBetween;
  };
  const Step kSteps[] = {
      {{KAMOKU_CLASS_SGA}, "販売費及び一般管理費"},
      {{KAMOKU_CLASS_NON_OPERATING_INCOME, KAMOKU_CLASS_NON_OPERATING_EXPENSE,
        KAMOKU_CLASS_SPECIAL_GAIN, KAMOKU_CLASS_SPECIAL_LOSS},
       "営業外損益・特別損益"},
  };
  const std::size_t nCount = std::min(m_arInitBody.size(), m_sum.m_arData.size());
  const auto isFormula = [this](std::size_t i) {
    const _SG_INIT_BODY& body = m_arInitBody[i];
    return body.nGaiNo != 0 && body.nKubun < SG_MONTHLY_KUBUN && !CFinGaiSum::IsAccountItem(body);
  };
  std::size_t nAbove = 0;
  while (nAbove < nCount && !(isFormula(nAbove) && CFinGaiSum::FormulaTotalAccount(
                                                      m_arInitBody[nAbove]) == CKaikei::CODE_URISOURIEKI)) {
    ++nAbove;
  }
  for (const Step& step : kSteps) {
    std::size_t nTotal = nAbove + 1;
    while (nTotal < nCount && !isFormula(nTotal)) ++nTotal;
    if (nAbove >= nCount || nTotal >= nCount) return;
    double dBetween = 0.0;
    for (const S_KANKAMOKU& kamoku : m_arKamoku) {
      if (std::find(step.arClass.begin(), step.arClass.end(), kamoku.byClass) !=
          step.arClass.end()) {
        dBetween += CreditPositive(kamoku, SpanAmount(kamoku));
      }
    }
    const double dAbove = CFinGaiFigures::Total(m_sum.m_arData[nAbove]);
    const double dTotal = CFinGaiFigures::Total(m_sum.m_arData[nTotal]);
    const double dDiff = dTotal - (dAbove + dBetween);
    if (std::fabs(dDiff) >= kYenTolerance) {
      const _SG_INIT_BODY& total = m_arInitBody[nTotal];
      Add(model, "subtotal-mismatch", CReportModel::Severity::Warning, total.nGaiNo, 0, 0,
          ItemText(total) + "（" + report::Grouped(dTotal) + "円）が" +
              ItemText(m_arInitBody[nAbove]) + "と帳簿の" + step.pszBetween + "の和（" +
              report::Grouped(dAbove + dBetween) + "円）と" + report::Grouped(dDiff) +
              "円異なります。計算式を確かめてください。",
          dDiff);
    }
    nAbove = nTotal;
  }
}

// The remainder ("other") an account falls into: the total's item when the
// candidates of some item take part of that total's classes, else its class
// alone. A total that no item divides (net assets) has no remainder.
struct CReportChecks::Group {
  const _SG_INIT_BODY* pTotal = nullptr;
  std::uint8_t byClass = 0;
  std::vector<std::pair<const S_KANKAMOKU*, double>> arAccount;
  double dSum = 0.0;
};

void CReportChecks::CheckLeftOut(CReportModel& model) {
  std::vector<Group> arGroup;
  for (const S_KANKAMOKU& kamoku : m_arKamoku) {
    const short nCode = kamoku.nKamokuCode;
    if (kamoku.byClass == KAMOKU_CLASS_TOTAL || IsMapped(m_arMatch, nCode, 0)) continue;
    // Shown when it moves in the span or ends it with a balance.
    const double dAmount = SpanAmount(kamoku);
    bool bShown = std::fabs(dAmount) >= kYenTolerance;
    for (int nElement : SpanElements()) {
      bShown = bShown || std::fabs(Movement(nCode, nElement)) >= kYenTolerance;
    }
    if (!bShown) continue;
    if (IsBalanceSheetClass(kamoku.byClass) && std::fabs(dAmount) >= kYenTolerance &&
        CheckBalanceLeftOut(model, kamoku, dAmount)) {
      continue;
    }
    const short nTotal = report::TotalOfClass(kamoku.byClass);
    const _SG_INIT_BODY* pTotal = TotalBody(nTotal);
    if (pTotal != nullptr && !IsDivided(nTotal)) continue;
    AddToGroup(arGroup, pTotal, kamoku, dAmount);
  }
  for (const Group& group : arGroup) AddGroup(model, group);
}

// A balance-sheet account with a closing balance that the initial data maps
// to an item: reported on its own, true.
bool CReportChecks::CheckBalanceLeftOut(CReportModel& model, const S_KANKAMOKU& kamoku,
                                        double dAmount) {
  const short nCode = kamoku.nKamokuCode;
  const _SG_INIT_BODY* pDefault = nullptr;
  for (const _SG_MATCH& match : m_arDefaults) {
    if (match.nBokiCode == nCode && IsMapped(m_arDefaults, nCode, match.nGaiNo)) {
      pDefault = FindBody(match.nGaiNo);
      break;
    }
  }
  if (pDefault == nullptr) return false;
  Add(model, "balance-left-out", CReportModel::Severity::Warning, pDefault->nGaiNo, nCode, 0,
      "貸借対照表の" + AccountText(kamoku) + "には期末残高 " + report::Grouped(dAmount) +
          "円がありますが、どの項目にも対応付けられていません（初期データでは" +
          ItemText(*pDefault) + "の科目です）。",
      dAmount);
  return true;
}

const _SG_INIT_BODY* CReportChecks::TotalBody(short nTotal) const {
  for (const _SG_INIT_BODY& body : m_arInitBody) {
    if (nTotal != 0 && !CFinGaiSum::IsAccountItem(body) &&
        CFinGaiSum::FormulaTotalAccount(body) == nTotal) {
      return &body;
    }
  }
  return nullptr;
}

bool CReportChecks::IsDivided(short nTotal) const {
  for (const _SG_INIT_BODY& body : m_arInitBody) {
    if (body.nGaiNo == 0 || body.nGaiNo > SG_MAIN_ITEM_COUNT || !CFinGaiSum::IsAccountItem(body)) {
      continue;
    }
    for (std::uint8_t byClass : report::CandidateClasses(body, m_arKamoku)) {
      if (report::TotalOfClass(byClass) == nTotal) return true;
    }
  }
  return false;
}

void CReportChecks::AddToGroup(std::vector<Group>& arGroup, const _SG_INIT_BODY* pTotal,
                               const S_KANKAMOKU& kamoku, double dAmount) {
  auto it = std::find_if(arGroup.begin(), arGroup.end(), [&](const Group& group) {
    return pTotal != nullptr ? group.pTotal == pTotal
                             : group.pTotal == nullptr && group.byClass == kamoku.byClass;
  });
  if (it == arGroup.end()) {
    arGroup.push_back({pTotal, kamoku.byClass, {}, 0.0});
    it = arGroup.end() - 1;
  }
  // Signed as the total adds it; a class alone on the side of its first account.
  const std::uint8_t bySide =
      pTotal != nullptr ? pTotal->nTaisyaku
                        : (it->arAccount.empty() ? kamoku.byTaisyaku
                                                 : it->arAccount.front().first->byTaisyaku);
  const double dSigned = kamoku.byTaisyaku == bySide ? dAmount : -dAmount;
  it->arAccount.emplace_back(&kamoku, dSigned);
  it->dSum += dSigned;
}

void CReportChecks::AddGroup(CReportModel& model, const Group& group) {
  CString strList;
  for (const auto& [pKamoku, dAmount] : group.arAccount) {
    strList += (strList.empty() ? "" : "、") + Number(pKamoku->nKamokuCode) +
               Quoted(FieldText(pKamoku->szKamokuName)) + " " + report::Grouped(dAmount) + "円";
  }
  const CString strHead =
      group.pTotal != nullptr
          ? ItemText(*group.pTotal) + "の内訳のどの項目にも対応付けられていない科目（その他）"
          : "どの項目にも入らない" + report::ClassName(group.byClass) + "の科目";
  const int nAccount = group.arAccount.size() == 1 ? group.arAccount.front().first->nKamokuCode : 0;
  Add(model, "unmapped-account", CReportModel::Severity::Information,
      group.pTotal != nullptr ? group.pTotal->nGaiNo : 0, nAccount, 0,
      strHead + "が" + Number(static_cast<int>(group.arAccount.size())) + "科目、計 " +
          report::Grouped(group.dSum) + "円あります: " + strList + "。",
      group.dSum);
}

void CReportChecks::CheckMonthlyMain(CReportModel& model) {
  // A monthly item and a main item mean the same where the initial data maps
  // one account to both; an account the settings map to only one of such a
  // pair is left out of the other.
  const auto isMonthly = [this](int nItem) {
    const _SG_INIT_BODY* pBody = FindBody(nItem);
    return pBody != nullptr && pBody->nKubun >= SG_MONTHLY_KUBUN;
  };
  std::map<int, std::vector<int>> mapRelated;  // monthly item: its main items
  for (const _SG_MATCH& monthly : m_arDefaults) {
    if (!isMonthly(monthly.nGaiNo) || !IsMapped(m_arDefaults, monthly.nBokiCode, monthly.nGaiNo)) {
      continue;
    }
    for (const _SG_MATCH& main : m_arDefaults) {
      if (main.nBokiCode != monthly.nBokiCode || main.nGaiNo < 1 ||
          main.nGaiNo > SG_MAIN_ITEM_COUNT || !IsMapped(m_arDefaults, main.nBokiCode, main.nGaiNo)) {
        continue;
      }
      std::vector<int>& arMain = mapRelated[monthly.nGaiNo];
      const int nMain = main.nGaiNo;
      if (std::find(arMain.begin(), arMain.end(), nMain) == arMain.end()) arMain.push_back(nMain);
    }
  }
  for (const auto& [nMonthly, arMain] : mapRelated) {
    const _SG_INIT_BODY& monthly = *FindBody(nMonthly);
    for (const S_KANKAMOKU& kamoku : m_arKamoku) {
      const short nCode = kamoku.nKamokuCode;
      const bool bInMonthly = IsMapped(m_arMatch, nCode, nMonthly);
      int nMainNow = 0;
      int nMainDefault = 0;
      for (int nMain : arMain) {
        if (nMainNow == 0 && IsMapped(m_arMatch, nCode, nMain)) nMainNow = nMain;
        if (nMainDefault == 0 && IsMapped(m_arDefaults, nCode, nMain)) nMainDefault = nMain;
      }
      const double dAmount = SpanAmount(kamoku);
      if (bInMonthly && nMainNow == 0 && nMainDefault != 0) {
        const _SG_INIT_BODY& main = *FindBody(nMainDefault);
        Add(model, "monthly-main-mismatch", CReportModel::Severity::Warning, nMainDefault, nCode,
            0,
            AccountText(kamoku) + "は月別の" + ItemText(monthly) + "に対応付けられていますが、" +
                "同じ内容の" + ItemText(main) + "には対応付けられていません（" +
                report::Grouped(dAmount) + "円）。",
            dAmount);
      } else if (!bInMonthly && nMainNow != 0 && IsMapped(m_arDefaults, nCode, nMonthly)) {
        const _SG_INIT_BODY& main = *FindBody(nMainNow);
        Add(model, "monthly-main-mismatch", CReportModel::Severity::Warning, nMonthly, nCode, 0,
            AccountText(kamoku) + "は" + ItemText(main) + "に対応付けられていますが、" +
                "同じ内容の月別の" + ItemText(monthly) + "には対応付けられていません（" +
                report::Grouped(dAmount) + "円）。",
            dAmount);
      }
    }
  }
}

void CReportChecks::CheckMonthlySales(CReportModel& model) {
  const CReportModel::Item* pSales = nullptr;
  for (const CReportModel::Item& item : model.m_arItem) {
    if (item.bMonthly) {
      pSales = &item;
      break;
    }
  }
  const CArray<tag_DATA, tag_DATA>& arData = m_sum.m_arData;
  if (pSales == nullptr || arData.empty() || m_arInitBody.empty()) return;
  double dMonthly = 0.0;
  for (double dMonth : pSales->arMonth) dMonthly += dMonth;
  const double dFirst = CFinGaiFigures::Total(arData[0]);
  if (std::fabs(dMonthly - dFirst) < kYenTolerance) return;
  Add(model, "monthly-sales-differ", CReportModel::Severity::Information, pSales->nNumber, 0, 0,
      "項目" + Number(pSales->nNumber) + Quoted(pSales->strName) + "の月別合計（" +
          report::Grouped(dMonthly) + "円）が" + ItemText(m_arInitBody[0]) + "（" +
          report::Grouped(dFirst) + "円）と異なります。",
      dMonthly - dFirst);
}
