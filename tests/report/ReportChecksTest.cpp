// The books' checks on small monthly tables of a host stand-in: what a
// year-end span and a balance carried forward read as, double mappings,
// balances left out, and the half-yen tolerance of whole-yen amounts.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>
#include <tuple>

#include "CFinGaiSum.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CReportChecks.h"
#include "FakeHost.h"
#include "CHostObjects.h"
#include "KAMOKU_CLASS.h"

namespace {

constexpr BYTE kDebit = KAMOKU_KARIKATA;
constexpr BYTE kCredit = KAMOKU_KASIKATA;

_SG_INIT_BODY Item(short nNo, BYTE nSide, BYTE nKubun, const char* szSeikaku,
                   const char* szKeisan = "") {
  _SG_INIT_BODY body{};
  body.nGaiNo = nNo;
  body.nTaisyaku = nSide;
  body.nKubun = nKubun;
  std::strcpy(body.szSeikaku, szSeikaku);
  std::strcpy(body.szKeisan, szKeisan);
  return body;
}

_SG_MATCH Match(short nItem, short nCode, BYTE nSide) { return {nItem, nCode, nSide}; }

using Findings = std::multiset<std::tuple<std::string, int, int, int>>;

class ReportChecks : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    g_pJetAccess = &m_jet;
    g_pKaikei = &m_kaikei;
    // The form in small: sales, a cost item, two asset items, the totals of
    // assets, liabilities and capital, monthly sales.
    m_arBody = {Item(1, kCredit, 1, "", "URIAGE"),    Item(5, kDebit, 1, "5100"),
                Item(20, kDebit, 2, "", "SHISAN"),    Item(21, kDebit, 2, "1000-1030"),
                Item(26, kDebit, 2, "1500+1510"),     Item(30, kCredit, 2, "", "HUSAI"),
                Item(35, kCredit, 2, "", "SHIHON"),   Item(36, kCredit, 12, "4000-4099"),
                _SG_INIT_BODY{}};
    m_cond.nKikanFrom = 4;
    m_cond.nKikanTo = 3;
  }

  void Account(short nCode, int nNumber, BYTE nSide, std::uint8_t byClass,
               const std::array<double, 14>& amounts) {
    fake::AddAccount(nCode, nSide, amounts);
    fake::State().arKamoku.back().nKamokuNo = nNumber;
    fake::State().arKamoku.back().byClass = byClass;
  }

  // The checks' findings as (code, item, account, month); amounts by code.
  Findings Run() {
    m_arKamoku.assign(fake::State().arKamoku.begin(), fake::State().arKamoku.end());
    m_arMatch.push_back({});
    CFinGaiSum sum(nullptr);
    EXPECT_TRUE(sum.Init(m_cond, &m_arKamoku, &m_arMatch, &m_arBody, 2));
    EXPECT_TRUE(sum.SumAccounts());
    m_model = CReportModel();
    for (int nMonth : {4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3}) m_model.m_arMonth.push_back(nMonth);
    CReportModel::Item monthly;
    monthly.nNumber = 36;
    monthly.bMonthly = true;
    monthly.arMonth = m_arMonthlySales;
    m_model.m_arItem.push_back(monthly);
    CReportChecks(m_arKamoku, m_arMatch, m_arDefaults, m_arBody, sum).Run(m_model);
    Findings findings;
    for (const CReportModel::Finding& f : m_model.m_arFinding) {
      findings.emplace(f.strCode, f.nItem, f.nAccount, f.nMonth);
    }
    return findings;
  }
  double Amount(const char* pszCode) const {
    for (const CReportModel::Finding& f : m_model.m_arFinding) {
      if (f.strCode == pszCode) return f.dAmount.value_or(-1);
    }
    return -1;
  }

  CJetAccess m_jet;
  CKaikei m_kaikei{nullptr, nullptr, nullptr};
  _SG_CONDITION m_cond{};
  CArray<S_KANKAMOKU, S_KANKAMOKU> m_arKamoku;
  CArray<_SG_MATCH, _SG_MATCH> m_arMatch;
  CArray<_SG_MATCH, _SG_MATCH> m_arDefaults;
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> m_arBody;
  std::vector<double> m_arMonthlySales = std::vector<double>(12, 100.0);
  CReportModel m_model;
};

// Sales of 100 yen in every fiscal month, nothing in the settlement period.
std::array<double, 14> MonthlySales() {
  std::array<double, 14> a{};
  for (int k = 1; k <= 12; ++k) a[k] = 100;
  return a;
}

TEST_F(ReportChecks, CarriedForwardBalanceIsNoMovementAndCountsOnceAtTheYearEnd) {
  // A twelve-month year holds the balance carried forward in month 1 too:
  // the building has a balance of 500 and no movement at all; the cash moves
  // with the sales, the settlement period adds 7 to it.
  Account(101, 1000, kDebit, KAMOKU_CLASS_ASSETS,
          {50, 150, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 7});
  Account(114, 1500, kDebit, KAMOKU_CLASS_ASSETS, {500, 500});
  Account(301, 3000, kCredit, KAMOKU_CLASS_NET_ASSETS, {550, 550, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  Account(401, 4000, kCredit, KAMOKU_CLASS_SALES, MonthlySales());
  // The host's totals: sales, assets, capital.
  Account(CKaikei::CODE_URIAGE, 9160, kCredit, KAMOKU_CLASS_TOTAL, MonthlySales());
  Account(CKaikei::CODE_SHISAN, 9071, kDebit, KAMOKU_CLASS_TOTAL,
          {550, 650, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 7});
  Account(CKaikei::CODE_SHIHON, 9143, kCredit, KAMOKU_CLASS_TOTAL, {550, 550});
  m_arMatch = {Match(21, 101, kDebit), Match(36, 401, kCredit)};
  m_arDefaults = {Match(21, 101, kDebit), Match(26, 114, kDebit), Match(36, 401, kCredit)};
  // Dropped from its item, the building is left out by its balance, once.
  EXPECT_EQ(Run(), (Findings{{"balance-left-out", 26, 114, 0},
                             {"balance-sheet-unbalanced", 20, 0, 0}}));
  EXPECT_EQ(Amount("balance-left-out"), 500);
  // Assets 1,757 (cash 50 + 1,200 + 7, building 500: each balance carried
  // forward counted once) against capital 550.
  EXPECT_EQ(Amount("balance-sheet-unbalanced"), 1757 - 550);

  // An irregular year of the same table adds the carried-forward element
  // once more, as the engine does; a month with no movement is empty.
  fake::State().kanri.nEndMonth = 2;
  m_arMatch.push_back(Match(26, 114, kDebit));
  for (std::array<double, 14>& amounts : fake::State().arAmounts) amounts[6] = 0;  // September
  const Findings irregular = Run();
  EXPECT_EQ(irregular.count({"empty-month", 0, 0, 9}), 1u);
  EXPECT_EQ(irregular.count({"balance-left-out", 26, 114, 0}), 0u);
}

TEST_F(ReportChecks, DoubleMappingsClassesAndTheHalfYenTolerance) {
  // A sales account on the cost item whose candidate (5100) is a cost of sales.
  Account(101, 1000, kDebit, KAMOKU_CLASS_ASSETS, {0, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 0});
  Account(301, 3000, kCredit, KAMOKU_CLASS_NET_ASSETS, {});
  Account(401, 4000, kCredit, KAMOKU_CLASS_SALES, MonthlySales());
  Account(502, 5100, kDebit, KAMOKU_CLASS_COST_OF_SALES, {});
  Account(CKaikei::CODE_URIAGE, 9160, kCredit, KAMOKU_CLASS_TOTAL, MonthlySales());
  m_arMatch = {Match(21, 101, kDebit), Match(21, 101, kDebit), Match(5, 401, kCredit),
               Match(36, 401, kCredit)};
  // The monthly sales a fraction of a yen off item 1 agree with it.
  m_arMonthlySales[0] += 0.4;
  const Findings findings = Run();
  EXPECT_EQ(findings.count({"duplicate-mapping", 21, 101, 0}), 1u);
  EXPECT_EQ(findings.count({"class-mismatch", 5, 401, 0}), 1u);
  EXPECT_EQ(findings.count({"monthly-sales-differ", 36, 0, 0}), 0u);
  // What the second mapping adds twice.
  EXPECT_EQ(Amount("duplicate-mapping"), 1200);
  // A yen off is a difference.
  m_arMonthlySales[0] += 0.6;
  EXPECT_EQ(Run().count({"monthly-sales-differ", 36, 0, 0}), 1u);
  EXPECT_EQ(Amount("monthly-sales-differ"), 1);
}

}  // namespace
