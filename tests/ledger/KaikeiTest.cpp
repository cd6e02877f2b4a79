// Monthly table figures as the component adds them up: profit-and-loss items
// as totals of the period, balance-sheet items as balances at its end.

#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "CKaikei.h"
#include "CYmd.h"
#include "LedgerFixture.h"
#include "TUKIKAN.h"

using namespace ledgertest;

namespace {

// The table is packed: read its doubles by value.
double K(const TUKIKAN& entry, int k) {
  double d;
  std::memcpy(&d, reinterpret_cast<const char*>(&entry) + offsetof(TUKIKAN, dKingaku) + 8 * k,
              sizeof d);
  return d;
}

// The year's journal; settlement lines are dated on the last day.
std::vector<CBooksDatabase::Journal> Journal(int settlementDate, bool bFullYear) {
  std::vector<CBooksDatabase::Journal> lines = {
      Line(20160410, YOKIN, URIAGE, 1200000), Line(20160515, GENKIN, JUTAKU, 300000),
      Line(20160601, HIRYO, GENKIN, 350000),  Line(20160725, KYURYO, YOKIN, 400000),
      Line(20160930, YOKIN, RISOKU, 1000),    Line(20161031, SHIHARAI, YOKIN, 12000),
      Line(20161105, KARIIRE, YOKIN, 200000),
  };
  if (bFullYear) {
    lines.push_back(Line(20170120, YOKIN, BAIKYAKU, 50000));
    lines.push_back(Line(20170214, SONSHITSU, GENKIN, 30000));
    lines.push_back(Line(20170315, YOKIN, URIAGE, 800000));
  }
  lines.push_back(Line(settlementDate, KISHU, SEIHIN, 300000, true));
  lines.push_back(Line(settlementDate, SEIHIN, KIMATSU, 450000, true));
  lines.push_back(Line(settlementDate, HOJINZEI, YOKIN, 70000, true));
  lines.push_back(Line(settlementDate, GENKIN, URIAGE, 25000, true));
  return lines;
}

class KaikeiTest : public LedgerFixture {
 protected:
  // Table of every account title, as the engine builds it.
  std::vector<TUKIKAN> Table(CJetAccess& jet) {
    short count = 0;
    EXPECT_EQ(0, jet.GetKanKamokuCount(&count));
    std::vector<S_KANKAMOKU> titles(static_cast<std::size_t>(count));
    short read = 0;
    EXPECT_EQ(0, jet.ReadKanKamoku(titles.data(), 0, count, &read, 0));
    std::vector<TUKIKAN> table(static_cast<std::size_t>(read) + 1);
    std::memset(table.data(), 0, table.size() * sizeof(TUKIKAN));
    for (short i = 0; i < read; ++i) {
      table[i].nKamokuCode = titles[i].nKamokuCode;
      table[i].nKamokuNo = titles[i].nKamokuNo;
    }
    return table;
  }

  // The engine's rule: slots of the fiscal months from..to, the settlement
  // with a twelve-month span, the carried-forward balance outside
  // twelve-month years.
  static double PeriodTotal(CKaikei& kaikei, const std::vector<TUKIKAN>& table, short code,
                            short from, short to, bool bTwelveMonthYear) {
    const short s = kaikei.NaibuTuki(from, 1), e = kaikei.NaibuTuki(to, 1);
    int n = e >= s ? e - s + 1 : e - s + 13;
    if (n == 12) n = 13;
    for (const auto& entry : table) {
      if (entry.nKamokuCode != code) continue;
      double sum = bTwelveMonthYear ? 0 : K(entry, 0);
      for (int k = 0; k < n; ++k) sum += K(entry, s + k);
      return sum;
    }
    ADD_FAILURE() << "no entry for " << code;
    return 0;
  }
};

}  // namespace

TEST_F(KaikeiTest, FullYearFiguresAreThePeriodTotalsAndClosingBalances) {
  AddDataSet("full", Company("みどり農産株式会社", 2016, 4, 1, 2017, 3, 31),
             Journal(20170331, true));
  CJetAccess jet;
  Open(jet);
  ASSERT_EQ(0, jet.SelectDataSet(0));
  CKaikei kaikei(&jet, nullptr, nullptr);
  auto table = Table(jet);
  ASSERT_EQ(0, kaikei.TukiKanZanCal(1, 0, 0, table.data(), nullptr));

  const auto total = [&](short code) { return PeriodTotal(kaikei, table, code, 4, 3, true); };
  EXPECT_EQ(2325000, total(CKaikei::CODE_URIAGE));
  EXPECT_EQ(2025000, total(URIAGE));
  EXPECT_EQ(200000, total(CKaikei::CODE_GENKA));
  EXPECT_EQ(450000, total(KIMATSU));  // on its own (credit) side
  EXPECT_EQ(2125000, total(CKaikei::CODE_URISOURIEKI));
  EXPECT_EQ(1725000, total(CKaikei::CODE_EIGYOSONEKI));
  EXPECT_EQ(1734000, total(CKaikei::CODE_ZEIBIKIMAE));
  // Closing balances.
  EXPECT_EQ(445000, total(GENKIN));
  EXPECT_EQ(3369000, total(YOKIN));
  EXPECT_EQ(450000, total(SEIHIN));
  EXPECT_EQ(4264000, total(CKaikei::CODE_SHISAN));
  EXPECT_EQ(600000, total(CKaikei::CODE_HUSAI));
  EXPECT_EQ(3664000, total(CKaikei::CODE_SHIHON));  // 2,000,000 + net result 1,664,000

  // Month by month: April's sale in element 1, the settlement in 13.
  for (const auto& e : table) {
    if (e.nKamokuCode == URIAGE) {
      EXPECT_EQ(0, K(e, 0));
      EXPECT_EQ(1200000, K(e, 1));
      EXPECT_EQ(800000, K(e, 12));
      EXPECT_EQ(25000, K(e, 13));
    }
    if (e.nKamokuCode == YOKIN) {
      EXPECT_EQ(2000000, K(e, 0));
      EXPECT_EQ(2000000 + 1200000, K(e, 1));  // carried forward joins the first month
    }
  }
  // Balance at the end of September (period 4 to 9).
  EXPECT_EQ(2000000 + 1200000 - 400000 + 1000, PeriodTotal(kaikei, table, YOKIN, 4, 9, true));
  EXPECT_EQ(1500000, PeriodTotal(kaikei, table, CKaikei::CODE_URIAGE, 4, 9, true));
}

TEST_F(KaikeiTest, IrregularFirstYearPutsSettlementIntoTheLastMonth) {
  AddDataSet("short", Company("みどり農産株式会社", 2016, 4, 1, 2016, 12, 31),
             Journal(20161231, false));
  CJetAccess jet;
  Open(jet);
  ASSERT_EQ(0, jet.SelectDataSet(0));
  CKaikei kaikei(&jet, nullptr, nullptr);
  auto table = Table(jet);
  ASSERT_EQ(0, kaikei.TukiKanZanCal(1, 0, 0, table.data(), nullptr));

  const auto total = [&](short code) { return PeriodTotal(kaikei, table, code, 4, 12, false); };
  EXPECT_EQ(1525000, total(CKaikei::CODE_URIAGE));
  EXPECT_EQ(200000, total(CKaikei::CODE_GENKA));
  // 1,525,000 - 200,000 - 400,000 + 1,000 - 12,000
  EXPECT_EQ(914000, total(CKaikei::CODE_ZEIBIKIMAE));
  const double cash = 500000 + 300000 - 350000 + 25000;
  const double bank = 2000000 + 1200000 - 400000 + 1000 - 12000 - 200000 - 70000;
  EXPECT_EQ(cash, total(GENKIN));
  EXPECT_EQ(bank, total(YOKIN));
  EXPECT_EQ(cash + bank + 450000, total(CKaikei::CODE_SHISAN));
  EXPECT_EQ(600000, total(CKaikei::CODE_HUSAI));
  EXPECT_EQ(2000000 + 914000 - 70000, total(CKaikei::CODE_SHIHON));
  EXPECT_EQ(total(CKaikei::CODE_SHISAN), total(CKaikei::CODE_HUSAI) + total(CKaikei::CODE_SHIHON));
  for (const auto& e : table) {
    EXPECT_EQ(0, K(e, 13)) << e.nKamokuCode;
    if (e.nKamokuCode == URIAGE) {
      EXPECT_EQ(25000, K(e, 9));
    }
    if (e.nKamokuCode == YOKIN) {
      EXPECT_EQ(2000000, K(e, 0));
      EXPECT_EQ(1200000, K(e, 1));  // the engine adds element 0 itself here
    }
  }
}

TEST_F(KaikeiTest, TotalsBalanceInEveryElement) {
  AddDataSet("full", Company("みどり農産株式会社", 2016, 4, 1, 2017, 3, 31),
             Journal(20170331, true));
  CJetAccess jet;
  Open(jet);
  ASSERT_EQ(0, jet.SelectDataSet(0));
  CKaikei kaikei(&jet, nullptr, nullptr);
  auto table = Table(jet);
  ASSERT_EQ(0, kaikei.TukiKanZanCal(1, 0, 0, table.data(), nullptr));
  const TUKIKAN *assets = nullptr, *liab = nullptr, *capital = nullptr;
  for (const auto& e : table) {
    if (e.nKamokuCode == CKaikei::CODE_SHISAN) assets = &e;
    if (e.nKamokuCode == CKaikei::CODE_HUSAI) liab = &e;
    if (e.nKamokuCode == CKaikei::CODE_SHIHON) capital = &e;
  }
  ASSERT_TRUE(assets && liab && capital);
  for (int k = 0; k < 14; ++k) EXPECT_EQ(K(*assets, k), K(*liab, k) + K(*capital, k)) << k;
}

TEST_F(KaikeiTest, UnknownCodesStayZeroAndBadCallsFail) {
  AddDataSet("full", Company("みどり農産株式会社", 2016, 4, 1, 2017, 3, 31),
             Journal(20170331, true));
  CJetAccess jet;
  Open(jet);
  CKaikei kaikei(&jet, nullptr, nullptr);
  TUKIKAN table[3] = {};
  table[0].nKamokuCode = 1234;
  table[0].nKamokuNo = 1234;
  table[0].dKingaku[5] = 99;
  table[1].nKamokuCode = URIAGE;
  table[1].nKamokuNo = 4000;
  // Nothing chosen yet.
  EXPECT_NE(0, kaikei.TukiKanZanCal(1, 0, 0, table, nullptr));
  EXPECT_EQ(0, K(table[0], 5));
  ASSERT_EQ(0, jet.SelectDataSet(0));
  EXPECT_NE(0, kaikei.TukiKanZanCal(2, 0, 0, table, nullptr));
  EXPECT_NE(0, kaikei.TukiKanZanCal(1, 0, 0, nullptr, nullptr));
  ASSERT_EQ(0, kaikei.TukiKanZanCal(1, 0, 0, table, nullptr));
  for (int k = 0; k < 14; ++k) EXPECT_EQ(0, K(table[0], k));
  EXPECT_EQ(1200000, K(table[1], 1));
}

TEST_F(KaikeiTest, FiscalMonthNumbers) {
  const std::vector<CBooksDatabase::Journal> none;
  AddDataSet("april", Company("四月決算", 2016, 4, 1, 2017, 3, 31), none);
  AddDataSet("january", Company("十二月決算", 2016, 1, 1, 2016, 12, 31), none);
  AddDataSet("day21", Company("二十日締め", 2016, 4, 21, 2017, 4, 20), none);
  CJetAccess jet;
  Open(jet);
  CKaikei kaikei(&jet, nullptr, nullptr);
  EXPECT_EQ(0, kaikei.NaibuTuki(4, 1));  // nothing chosen

  ASSERT_EQ(0, jet.SelectDataSet(0));
  EXPECT_EQ(1, kaikei.NaibuTuki(4, 1));
  EXPECT_EQ(9, kaikei.NaibuTuki(12, 1));
  EXPECT_EQ(12, kaikei.NaibuTuki(3, 1));
  EXPECT_EQ(0, kaikei.NaibuTuki(13, 1));
  EXPECT_EQ(4, kaikei.GatudoGet(4, 1));
  EXPECT_EQ(3, kaikei.GatudoGet(3, 31));
  EXPECT_EQ(0, kaikei.GatudoGet(2, 30));

  ASSERT_EQ(0, jet.SelectDataSet(1));
  EXPECT_EQ(1, kaikei.NaibuTuki(1, 1));
  EXPECT_EQ(12, kaikei.NaibuTuki(12, 1));
  EXPECT_EQ(12, kaikei.GatudoGet(12, 31));

  // 21 April to 20 April: period 4 runs to 20 May, the last period is 3.
  ASSERT_EQ(0, jet.SelectDataSet(2));
  EXPECT_EQ(4, kaikei.GatudoGet(4, 21));
  EXPECT_EQ(4, kaikei.GatudoGet(5, 20));
  EXPECT_EQ(5, kaikei.GatudoGet(5, 21));
  EXPECT_EQ(3, kaikei.GatudoGet(4, 20));
  EXPECT_EQ(12, kaikei.GatudoGet(1, 20));
  EXPECT_EQ(1, kaikei.NaibuTuki(kaikei.GatudoGet(4, 21), 1));
  EXPECT_EQ(12, kaikei.NaibuTuki(kaikei.GatudoGet(4, 20), 1));
}

TEST_F(KaikeiTest, TwentyFirstStartYearFillsPeriodsByTheirFirstDay) {
  const std::vector<CBooksDatabase::Journal> lines = {
      Line(20160520, GENKIN, URIAGE, 100),         // period 4: 21 April - 20 May
      Line(20160521, GENKIN, URIAGE, 20),          // period 5
      Line(20170420, GENKIN, URIAGE, 3),           // period 3, the last
      Line(20170420, GENKIN, URIAGE, 4000, true),  // settlement
  };
  AddDataSet("day21", Company("二十日締め", 2016, 4, 21, 2017, 4, 20), lines);
  CJetAccess jet;
  Open(jet);
  ASSERT_EQ(0, jet.SelectDataSet(0));
  CKaikei kaikei(&jet, nullptr, nullptr);
  auto table = Table(jet);
  ASSERT_EQ(0, kaikei.TukiKanZanCal(1, 0, 0, table.data(), nullptr));
  for (const auto& e : table) {
    if (e.nKamokuCode != URIAGE) continue;
    EXPECT_EQ(100, K(e, 1));
    EXPECT_EQ(20, K(e, 2));
    EXPECT_EQ(3, K(e, 12));
    EXPECT_EQ(4000, K(e, 13));
  }
  EXPECT_EQ(4123, PeriodTotal(kaikei, table, CKaikei::CODE_URIAGE, 4, 3, true));
}

TEST(SuuConvTest, YenToThousandsTruncatesTowardZero) {
  CKaikei kaikei(nullptr, nullptr, nullptr);
  EXPECT_EQ(12345, kaikei.SuuConv(1, 2, 12345678));
  EXPECT_EQ(-1, kaikei.SuuConv(1, 2, -1500));
  EXPECT_EQ(-12345, kaikei.SuuConv(1, 2, -12345999));
  EXPECT_EQ(0, kaikei.SuuConv(1, 2, 999));
  EXPECT_FALSE(std::signbit(kaikei.SuuConv(1, 2, -999)));  // no "-0" in the file
  EXPECT_EQ(2, kaikei.SuuConv(2, 2, 1500));
  EXPECT_EQ(1500, kaikei.SuuConv(1, 1, 1500));
}
