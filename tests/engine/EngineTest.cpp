#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CFinGaiSum.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "FakeHost.h"
#include "CHostObjects.h"
#include "ProgramResources.h"
#include "WinMessageBox.h"

namespace {

constexpr BYTE kDebit = 1;
constexpr BYTE kCredit = 2;

// Element k is 100 * (k + 1): any slot tells which element it came from.
std::array<double, 14> Elements(double dScale = 1.0) {
  std::array<double, 14> a{};
  for (int k = 0; k < 14; ++k) a[k] = dScale * 100 * (k + 1);
  return a;
}

_SG_INIT_BODY Item(short nNo, BYTE nSide, const char* szSeikaku, const char* szKeisan,
                   const char* szTag = "", BYTE nKubun = 1) {
  _SG_INIT_BODY body{};
  body.nGaiNo = nNo;
  body.nTaisyaku = nSide;
  body.nKubun = nKubun;
  std::strcpy(body.szSeikaku, szSeikaku);
  std::strcpy(body.szKeisan, szKeisan);
  std::strcpy(body.szTag, szTag);
  return body;
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterProgramResources();
    fake::Reset();
    g_pJetAccess = &m_jet;
    g_pKaikei = &m_kaikei;
    m_prevHandler = SetMessageBoxHandler([this](HWND, const CString& text, const CString&, UINT) {
      m_arMessage.push_back(text);
      return IDOK;
    });
    std::strcpy(m_cond.szOutPath, "/tmp/out.xml");
    m_cond.nKikanFrom = 4;
    m_cond.nKikanTo = 3;
  }
  void TearDown() override { SetMessageBoxHandler(m_prevHandler); }

  void SetYear(short nStartMonth, short nStartDay, short nEndMonth) {
    fake::State().kanri.nStartMonth = nStartMonth;
    fake::State().kanri.nStartDay = nStartDay;
    fake::State().kanri.nEndMonth = nEndMonth;
  }

  // Runs the aggregation over the items and returns the computed slots.
  bool Sum(CFinGaiSum& sum) {
    if (!sum.Init(m_cond, &m_arKamoku, &m_arMatch, &m_arBody, 2)) return false;
    return sum.SumAccounts() != FALSE;
  }
  std::vector<double> Slots(CFinGaiSum& sum, std::size_t nIndex) {
    const tag_DATA& d = sum.m_arData.at(nIndex);
    return std::vector<double>(d.dAmount, d.dAmount + 13);
  }

  CJetAccess m_jet;
  CKaikei m_kaikei{nullptr, nullptr, nullptr};
  MessageBoxHandler m_prevHandler;
  std::vector<CString> m_arMessage;
  _SG_CONDITION m_cond{};
  CArray<S_KANKAMOKU, S_KANKAMOKU> m_arKamoku;
  CArray<_SG_MATCH, _SG_MATCH> m_arMatch;
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> m_arBody;
};

TEST_F(EngineTest, TwelveMonthFlagFollowsTheFiscalYear) {
  struct Case {
    short nStartMonth, nStartDay, nEndMonth;
    BOOL bFullYear;
  };
  const Case cases[] = {{4, 1, 3, TRUE},  {1, 1, 12, TRUE}, {4, 1, 12, FALSE},
                        {4, 21, 4, TRUE}, {4, 1, 4, FALSE}, {10, 1, 9, TRUE}};
  for (const Case& c : cases) {
    SetYear(c.nStartMonth, c.nStartDay, c.nEndMonth);
    CFinGaiSum sum(nullptr);
    ASSERT_TRUE(sum.Init(m_cond, &m_arKamoku, &m_arMatch, &m_arBody, 2));
    EXPECT_EQ(sum.m_bFullYear, c.bFullYear)
        << c.nStartMonth << "/" << c.nStartDay << "-" << c.nEndMonth;
  }
}

TEST_F(EngineTest, PeriodFillsItsSlotsAndCarriedForwardOnlyInShortYears) {
  fake::AddAccount(500, kDebit, Elements());
  m_arMatch = {{1, 500, kDebit}};
  m_arBody = {Item(1, kDebit, "ALL", "")};
  {
    CFinGaiSum sum(nullptr);  // April-March, period 4 to 3: 13 slots, no carried forward
    ASSERT_TRUE(Sum(sum));
    EXPECT_EQ(Slots(sum, 0), (std::vector<double>{200, 300, 400, 500, 600, 700, 800, 900, 1000,
                                                  1100, 1200, 1300, 1400}));
  }
  {
    m_cond.nKikanTo = 9;  // a short period leaves the later slots 0
    CFinGaiSum sum(nullptr);
    ASSERT_TRUE(Sum(sum));
    EXPECT_EQ(Slots(sum, 0),
              (std::vector<double>{200, 300, 400, 500, 600, 700, 0, 0, 0, 0, 0, 0, 0}));
  }
  {
    SetYear(4, 1, 12);  // 1 April - 31 December: the carried-forward balance joins slot 0
    m_cond.nKikanTo = 12;
    CFinGaiSum sum(nullptr);
    ASSERT_TRUE(Sum(sum));
    EXPECT_EQ(Slots(sum, 0), (std::vector<double>{100 + 200, 300, 400, 500, 600, 700, 800, 900,
                                                  1000, 0, 0, 0, 0}));
  }
}

TEST_F(EngineTest, PeriodEndingBeforeItsStartStopsAtTheSettlementPeriod) {
  fake::AddAccount(500, kDebit, Elements());
  fake::AddAccount(501, kDebit, Elements(1000));  // lies right behind 500 in the table
  m_arMatch = {{1, 500, kDebit}};
  m_arBody = {Item(1, kDebit, "ALL", "")};
  m_cond.nKikanFrom = 9;  // fiscal month 6 to 2
  m_cond.nKikanTo = 5;
  CFinGaiSum sum(nullptr);
  ASSERT_TRUE(Sum(sum));
  EXPECT_EQ(Slots(sum, 0),
            (std::vector<double>{700, 800, 900, 1000, 1100, 1200, 1300, 1400, 0, 0, 0, 0, 0}));
}

TEST_F(EngineTest, MatchesAddBySideAndUnknownOrRepeatedAccountsAddNothing) {
  fake::AddAccount(500, kCredit, Elements());
  fake::AddAccount(600, kDebit, Elements(10));
  fake::AddAccount(500, kCredit, Elements(1000));  // a second title with the code: never read
  m_arMatch = {
      {1, 500, kCredit}, {1, 600, kDebit}, {1, 777, kCredit}, {2, 500, kCredit}, {2, 500, kCredit}};
  m_arBody = {Item(1, kCredit, "1", ""), Item(2, kCredit, "ALL", "")};
  CFinGaiSum sum(nullptr);
  ASSERT_TRUE(Sum(sum));
  // Item 1: account 500 added, 600 of the other side subtracted, 777 absent.
  EXPECT_DOUBLE_EQ(sum.m_arData[0].dAmount[0], 200 - 2000);
  EXPECT_DOUBLE_EQ(sum.m_arData[0].dAmount[12], 1400 - 14000);
  // Item 2: the account matched twice counts twice.
  EXPECT_DOUBLE_EQ(sum.m_arData[1].dAmount[5], 2 * 700);
}

TEST_F(EngineTest, KindOfItemFollowsItsAccountText) {
  fake::AddAccount(500, kDebit, Elements());
  const char* mapped[] = {"ALL", "1", "-1", " 12abc"};
  const char* formula[] = {"", "0", "abc", "all"};
  for (const char* szSeikaku : mapped) {
    m_arBody.push_back(Item(static_cast<short>(m_arBody.size() + 1), kDebit, szSeikaku, "URIAGE"));
    m_arMatch.push_back({static_cast<short>(m_arBody.size()), 500, kDebit});
  }
  for (const char* szSeikaku : formula) {
    m_arBody.push_back(Item(static_cast<short>(m_arBody.size() + 1), kDebit, szSeikaku, ""));
    m_arMatch.push_back({static_cast<short>(m_arBody.size()), 500, kDebit});
  }
  CFinGaiSum sum(nullptr);
  ASSERT_TRUE(Sum(sum));
  for (std::size_t i = 0; i < 8; ++i) {
    EXPECT_DOUBLE_EQ(sum.m_arData[i].dAmount[0], i < 4 ? 200 : 0) << m_arBody[i].szSeikaku;
  }
}

TEST_F(EngineTest, KeywordsTakeTheHostTotalsAlwaysAdded) {
  const short codes[] = {9160, 9201, 9202, 9241, 9282, 9071, 9111, 9143};
  const char* formulas[] = {"URIAGE+1",   " \tGENKA  ", "URISOURIEKI", "EIGYOSONEKI",
                            "ZEIBIKIMAE", "SHISAN",     "HUSAI",       "SHIHON"};
  for (int i = 0; i < 8; ++i) {
    fake::AddAccount(codes[i], kCredit, Elements(i + 1));
    m_arBody.push_back(Item(static_cast<short>(i + 1), i % 2 ? kDebit : kCredit, "", formulas[i]));
  }
  m_arBody.push_back(Item(9, kDebit, "", "uriage"));
  m_arBody.push_back(_SG_INIT_BODY{});  // the sentinel that ends loaded definitions
  CFinGaiSum sum(nullptr);
  ASSERT_TRUE(Sum(sum));
  ASSERT_EQ(sum.m_arData.size(), 10u);
  for (int i = 0; i < 8; ++i) EXPECT_DOUBLE_EQ(sum.m_arData[i].dAmount[0], 200.0 * (i + 1)) << i;
  EXPECT_EQ(Slots(sum, 8), std::vector<double>(13, 0.0));
  EXPECT_EQ(Slots(sum, 9), std::vector<double>(13, 0.0));
  EXPECT_EQ(sum.m_arData[9].szTag[0], '\0');
}

TEST_F(EngineTest, RangesSumEarlierItemsAndIgnoreWhatIsNotComputedYet) {
  fake::AddAccount(500, kDebit, Elements());
  m_arMatch = {{1, 500, kDebit}, {2, 500, kDebit}, {2, 500, kDebit},
               {3, 500, kDebit}, {3, 500, kDebit}, {3, 500, kDebit}};
  m_arBody = {Item(1, kDebit, "ALL", ""), Item(2, kDebit, "ALL", ""), Item(3, kDebit, "ALL", "")};
  // Slot 0 of items 1, 2, 3 holds 200, 400, 600.
  struct Case {
    const char* szFormula;
    double dSlot0;
  };
  // Each case is the item after the one before it, so a range reaching
  // forward meets the items computed so far.
  const Case cases[] = {
      {"Σ(2:99)", 1000},  // items 2 and 3 are all there is
      {"Σ(9:12)", 0},     // nothing computed there yet
      {"Σ(5)", 2200},     // positions 0 to 5: items 1 to 5
      {"Σ(1:2)", 600},   {"Σ(2:2)", 400}, {"Σ(3:1)", 600}, {" Σ(1:3) ", 1200},
      {"Σ(0:2)", 600},   {"Σ(0:0)", 0},   {"Σ(1:", 200},  // no end: position 1 alone
      {"Σ", 0},          {"Σ(15:15)", 0}};                // itself
  for (const Case& c : cases) {
    m_arBody.push_back(Item(static_cast<short>(m_arBody.size() + 1), kDebit, "", c.szFormula));
  }
  CFinGaiSum sum(nullptr);
  ASSERT_TRUE(Sum(sum));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_DOUBLE_EQ(sum.m_arData[3 + i].dAmount[0], cases[i].dSlot0) << cases[i].szFormula;
    EXPECT_DOUBLE_EQ(sum.m_arData[3 + i].dAmount[12], cases[i].dSlot0 / 200 * 1400);
  }
}

TEST_F(EngineTest, HostFailuresAreReportedOnceEach) {
  struct Case {
    bool fake::Host::*pFlag;
    const char* szMessage;
    bool bInit;
  };
  const Case cases[] = {{&fake::Host::bFailReadKanri, "管理ﾌｧｲﾙの読み込みに失敗しました。", true},
                        {&fake::Host::bFailCount, "勘定科目数の取得に失敗しました。", false},
                        {&fake::Host::bFailReadKamoku, "科目リードエラー", false},
                        {&fake::Host::bFailTukiKan, "科目残高の集計失敗", false}};
  for (const Case& c : cases) {
    fake::Reset();
    fake::State().*c.pFlag = true;
    CFinGaiSum sum(nullptr);
    const BOOL bInit = sum.Init(m_cond, &m_arKamoku, &m_arMatch, &m_arBody, 2);
    EXPECT_EQ(bInit, c.bInit ? FALSE : TRUE);
    if (bInit) {
      EXPECT_FALSE(sum.SumAccounts());
    }
    EXPECT_EQ(sum.GetFailure().Texts(), std::vector<CString>{c.szMessage});
  }
  // The engine shows nothing itself: its caller shows what it returned.
  EXPECT_TRUE(m_arMessage.empty());
}

TEST_F(EngineTest, OnlyTheTitlesReadEnterTheTable) {
  fake::AddAccount(500, kDebit, Elements());
  fake::AddAccount(600, kDebit, Elements());
  fake::State().nCountDelta = 3;
  CFinGaiSum sum(nullptr);
  ASSERT_TRUE(Sum(sum));
  ASSERT_EQ(sum.m_nTukiCount, 2);
  EXPECT_EQ(sum.m_pTukiKan[1].nKamokuCode, 600);
  EXPECT_EQ(static_cast<int>(sum.m_pTukiKan[2].nKamokuNo), 0);
}

TEST_F(EngineTest, FailedBalancesWriteNothingOverAnEarlierReport) {
  const std::filesystem::path earlier =
      std::filesystem::temp_directory_path() / ("engine-" + std::to_string(::getpid()) + ".xml");
  std::ofstream(earlier, std::ios::binary) << "earlier report";
  std::strcpy(m_cond.szOutPath, earlier.c_str());
  fake::AddAccount(500, kDebit, Elements());
  m_arMatch = {{1, 500, kDebit}};
  m_arBody = {Item(1, kDebit, "ALL", "", "A01"), Item(2, kDebit, "ALL", "", "U", 12)};
  fake::State().bFailTukiKan = true;
  CFinGaiSum sum(nullptr);
  ASSERT_TRUE(sum.Init(m_cond, &m_arKamoku, &m_arMatch, &m_arBody, 2));
  EXPECT_FALSE(sum.Run(nullptr));
  EXPECT_EQ(sum.GetFailure().Texts(), std::vector<CString>{"科目残高の集計失敗"});
  EXPECT_TRUE(fake::XmlLines().empty());
  std::ifstream in(earlier, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "earlier report");
  std::filesystem::remove(earlier);
}

}  // namespace
