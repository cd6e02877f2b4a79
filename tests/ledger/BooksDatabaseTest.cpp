// Adding a data set is all or nothing, and the books refuse what the host
// records or the monthly table could not carry.

#include <filesystem>
#include <vector>

#include "LedgerFixture.h"

using namespace ledgertest;

namespace {

class BooksDatabaseTest : public LedgerFixture {
 protected:
  // Everything in the root but the settings and the management database.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(m_root)) {
      const std::string name = e.path().filename().string();
      if (name != CInstallation::SETTINGS_FILE && name != "kanri.db") names.push_back(name);
    }
    return names;
  }
  short Listed() {
    CJetAccess jet;
    Open(jet);
    short n = -1;
    EXPECT_EQ(0, jet.GetDataSetCount(&n));
    return n;
  }
  const CBooksDatabase::Company m_company = Company("Ａ農園", 2016, 4, 1, 2017, 3, 31);
};

}  // namespace

TEST_F(BooksDatabaseTest, FailedCommitLeavesNothingBehind) {
  {
    CBooksDatabase books;
    ASSERT_TRUE(books.Begin(m_root + "/a", m_company));
    AddChart(books);
    ASSERT_TRUE(books.SetOpeningBalance(GENKIN, 1000));  // nothing on the other side
    EXPECT_FALSE(books.Commit(m_root + "/kanri.db", "", 0, nullptr));
    EXPECT_EQ("the opening balances do not balance", books.GetError());
  }
  EXPECT_TRUE(Leftovers().empty());
  EXPECT_EQ(0, Listed());
  {
    CBooksDatabase books;
    ASSERT_TRUE(books.Begin(m_root + "/a", m_company));
    AddChart(books);
    EXPECT_FALSE(books.Commit(m_root + "/missing.db", "", 0, nullptr));
  }
  EXPECT_TRUE(Leftovers().empty());
  {
    CBooksDatabase books;  // dropped before Commit
    ASSERT_TRUE(books.Begin(m_root + "/a", m_company));
    EXPECT_EQ(1u, Leftovers().size());
  }
  EXPECT_TRUE(Leftovers().empty());

  int no = 0;
  {
    CBooksDatabase books;
    ASSERT_TRUE(books.Begin(m_root + "/a", m_company));
    AddChart(books);
    ASSERT_TRUE(books.Commit(m_root + "/kanri.db", "", 7, &no));
  }
  EXPECT_EQ(7, no);
  EXPECT_EQ(std::vector<std::string>{"a"}, Leftovers());
  // The same number again: refused, the first data set untouched.
  {
    CBooksDatabase books;
    ASSERT_TRUE(books.Begin(m_root + "/b", m_company));
    AddChart(books);
    EXPECT_FALSE(books.Commit(m_root + "/kanri.db", "", 7, nullptr));
  }
  EXPECT_EQ(std::vector<std::string>{"a"}, Leftovers());
  EXPECT_EQ(1, Listed());
  // The folder of an existing data set is never reused.
  CBooksDatabase books;
  EXPECT_FALSE(books.Begin(m_root + "/a", m_company));
}

TEST_F(BooksDatabaseTest, RefusesYearsAndTextsTheRecordsCannotHold) {
  CBooksDatabase books;
  EXPECT_FALSE(books.Begin("relative", m_company));
  EXPECT_FALSE(books.Begin(m_root + "/a", Company("Ａ", 2016, 4, 1, 2017, 4, 30)));  // 13 periods
  EXPECT_FALSE(books.Begin(m_root + "/a", Company("Ａ", 2016, 4, 1, 2016, 3, 31)));
  EXPECT_FALSE(books.Begin(m_root + "/a", Company("Ａ", 2016, 4, 29, 2017, 4, 28)));
  EXPECT_FALSE(books.Begin(m_root + "/a", Company("Ａ", 2016, 2, 30, 2017, 1, 31)));
  EXPECT_FALSE(books.Begin(m_root + "/a", Company("", 2016, 4, 1, 2017, 3, 31)));
  std::string longName(81, 'x');
  EXPECT_FALSE(books.Begin(m_root + "/a", Company(longName.c_str(), 2016, 4, 1, 2017, 3, 31)));
  EXPECT_TRUE(Leftovers().empty());

  ASSERT_TRUE(books.Begin(m_root + "/a", m_company));
  AddChart(books);
  EXPECT_FALSE(books.AddAccount(Acc(GENKIN, "重複", KAMOKU_CLASS_ASSETS, KAMOKU_KARIKATA)));
  EXPECT_FALSE(books.AddAccount(Acc(9999, "合計", KAMOKU_CLASS_TOTAL, KAMOKU_KARIKATA)));
  EXPECT_FALSE(books.AddAccount(Acc(9071, "資産", KAMOKU_CLASS_ASSETS, KAMOKU_KARIKATA)));
  EXPECT_FALSE(books.AddAccount(Acc(120, "とても長い勘定科目名", KAMOKU_CLASS_SGA, 1)));
  EXPECT_FALSE(books.AddAccount(Acc(121, "雑費", KAMOKU_CLASS_SGA, 3)));
  EXPECT_FALSE(books.AddAccount(Acc(122, "雑費", 99, KAMOKU_KARIKATA)));
  auto zero = Acc(123, "雑費", KAMOKU_CLASS_SGA, KAMOKU_KARIKATA);
  zero.nNo = 0;  // would end the monthly table early
  EXPECT_FALSE(books.AddAccount(zero));
  ASSERT_TRUE(books.AddAccount(Acc(9071, "資産の部合計", KAMOKU_CLASS_TOTAL, KAMOKU_KARIKATA)));

  EXPECT_FALSE(books.SetOpeningBalance(URIAGE, 100));  // not a balance-sheet account
  EXPECT_FALSE(books.SetOpeningBalance(555, 100));
  EXPECT_FALSE(books.AddJournal(Line(20160331, GENKIN, URIAGE, 1)));
  EXPECT_FALSE(books.AddJournal(Line(20170401, GENKIN, URIAGE, 1)));
  EXPECT_FALSE(books.AddJournal(Line(20160230, GENKIN, URIAGE, 1)));
  EXPECT_FALSE(books.AddJournal(Line(20160401, GENKIN, 555, 1)));
  EXPECT_FALSE(books.AddJournal(Line(20160401, GENKIN, GENKIN, 1)));
  EXPECT_FALSE(books.AddJournal(Line(20160401, 9071, URIAGE, 1)));
  EXPECT_FALSE(books.AddJournal(Line(20160401, GENKIN, URIAGE, 1000000000000000LL)));
  EXPECT_TRUE(books.AddJournal(Line(20160401, GENKIN, URIAGE, 1)));
  EXPECT_TRUE(books.Commit(m_root + "/kanri.db", "一覧名", 0, nullptr)) << books.GetError();

  CJetAccess jet;
  Open(jet);
  LEDGER_DATASET row;
  ASSERT_EQ(0, jet.GetDataSetInfo(0, &row));
  EXPECT_STREQ("一覧名", row.szName);
  ASSERT_EQ(0, jet.SelectDataSet(0));
  short count = 0;
  ASSERT_EQ(0, jet.GetKanKamokuCount(&count));
  std::vector<S_KANKAMOKU> titles(static_cast<std::size_t>(count));
  short read = 0;
  ASSERT_EQ(0, jet.ReadKanKamoku(titles.data(), 0, count, &read, 0));
  int totals = 0;
  for (const auto& t : titles) {
    if (t.byClass != KAMOKU_CLASS_TOTAL) continue;
    ++totals;
    EXPECT_EQ(1, +t.byHide);
    if (t.nKamokuCode == 9071) {
      EXPECT_STREQ("資産の部合計", t.szKamokuName);
    }
  }
  EXPECT_EQ(8, totals);  // the one given and the seven added
}
