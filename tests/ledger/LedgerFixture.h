#pragma once
// A scratch installation for the ledger tests: program folder with the host
// settings, a management database and data sets built with CBooksDatabase.
// QT10_PROGRAM_DIR points at it for the life of the fixture.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "CBooksDatabase.h"
#include "CInstallation.h"
#include "CJetAccess.h"
#include "CManagementDb.h"
#include "KAMOKU_CLASS.h"
#include "S_KANKAMOKU.h"
#include "ScopedEnv.h"

namespace ledgertest {

using testsupport::ScopedEnv;

inline CBooksDatabase::Account Acc(short code, const char* name, std::uint8_t byClass,
                                   std::uint8_t side, int no = 0) {
  CBooksDatabase::Account a;
  a.nCode = code;
  a.strName = name;
  a.nNo = no != 0 ? no : code;
  a.bySide = side;
  a.byClass = byClass;
  return a;
}

inline CBooksDatabase::Journal Line(int date, short debit, short credit, long long amount,
                                    bool settlement = false) {
  CBooksDatabase::Journal j;
  j.nDate = date;
  j.nDebit = debit;
  j.nCredit = credit;
  j.llAmount = amount;
  j.bSettlement = settlement;
  return j;
}

// Small chart used by most tests.
enum : short {
  GENKIN = 101,     // cash
  YOKIN = 102,      // deposits
  SEIHIN = 103,     // stock of produce
  KARIIRE = 201,    // loans
  SHIHONKIN = 301,  // share capital
  KURIKOSI = 302,   // retained earnings
  URIAGE = 401,     // sales
  JUTAKU = 402,     // contract work income
  KISHU = 501,      // opening stock
  HIRYO = 502,      // fertiliser
  KIMATSU = 509,    // closing stock
  KYURYO = 601,     // wages (SG&A)
  RISOKU = 701,     // interest received
  SHIHARAI = 711,   // interest paid
  BAIKYAKU = 801,   // gain on sale
  SONSHITSU = 811,  // loss
  HOJINZEI = 901,   // income taxes
};

class LedgerFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "rx16-ledger-XXXXXX").string();
    m_root = ::mkdtemp(pattern.data());
    m_env.emplace(CInstallation::ENV_PROGRAM_DIR, m_root);
    ASSERT_TRUE(CInstallation::WriteSettings(m_root, 0, "kanri.db", "ハルモア１０"));
    ASSERT_TRUE(CManagementDb::Create(m_root + "/kanri.db", 0));
  }
  void TearDown() override {
    m_env.reset();
    std::error_code ec;
    std::filesystem::remove_all(m_root, ec);
  }

  static CBooksDatabase::Company Company(const char* name, short sy, short sm, short sd, short ey,
                                         short em, short ed) {
    CBooksDatabase::Company c;
    c.strName = name;
    c.nStartYear = sy;
    c.nStartMonth = sm;
    c.nStartDay = sd;
    c.nEndYear = ey;
    c.nEndMonth = em;
    c.nEndDay = ed;
    c.strDataID = "D0001";
    return c;
  }

  static void AddChart(CBooksDatabase& books) {
    using namespace ledgertest;
    const CBooksDatabase::Account chart[] = {
        Acc(GENKIN, "現金", KAMOKU_CLASS_ASSETS, KAMOKU_KARIKATA, 1000),
        Acc(YOKIN, "普通預金", KAMOKU_CLASS_ASSETS, KAMOKU_KARIKATA, 1020),
        Acc(SEIHIN, "農産物", KAMOKU_CLASS_ASSETS, KAMOKU_KARIKATA, 1200),
        Acc(KARIIRE, "短期借入金", KAMOKU_CLASS_LIABILITIES, KAMOKU_KASIKATA, 2100),
        Acc(SHIHONKIN, "資本金", KAMOKU_CLASS_NET_ASSETS, KAMOKU_KASIKATA, 3000),
        Acc(KURIKOSI, "繰越利益剰余金", KAMOKU_CLASS_NET_ASSETS, KAMOKU_KASIKATA, 3200),
        Acc(URIAGE, "農産物売上高", KAMOKU_CLASS_SALES, KAMOKU_KASIKATA, 4000),
        Acc(JUTAKU, "作業受託収入", KAMOKU_CLASS_SALES, KAMOKU_KASIKATA, 4020),
        Acc(KISHU, "期首製品棚卸高", KAMOKU_CLASS_COST_OF_SALES, KAMOKU_KARIKATA, 5000),
        Acc(HIRYO, "肥料費", KAMOKU_CLASS_COST_OF_SALES, KAMOKU_KARIKATA, 5110),
        Acc(KIMATSU, "期末製品棚卸高", KAMOKU_CLASS_COST_OF_SALES, KAMOKU_KASIKATA, 5900),
        Acc(KYURYO, "給料手当", KAMOKU_CLASS_SGA, KAMOKU_KARIKATA, 6010),
        Acc(RISOKU, "受取利息", KAMOKU_CLASS_NON_OPERATING_INCOME, KAMOKU_KASIKATA, 7000),
        Acc(SHIHARAI, "支払利息", KAMOKU_CLASS_NON_OPERATING_EXPENSE, KAMOKU_KARIKATA, 7500),
        Acc(BAIKYAKU, "固定資産売却益", KAMOKU_CLASS_SPECIAL_GAIN, KAMOKU_KASIKATA, 8000),
        Acc(SONSHITSU, "災害損失", KAMOKU_CLASS_SPECIAL_LOSS, KAMOKU_KARIKATA, 8100),
        Acc(HOJINZEI, "法人税等", KAMOKU_CLASS_INCOME_TAX, KAMOKU_KARIKATA, 8900),
    };
    for (const auto& a : chart) ASSERT_TRUE(books.AddAccount(a)) << books.GetError();
  }

  // Adds a data set in folder NAME with the small chart, opening balances and
  // the given journal; returns its folder ending in "/".
  template <class Lines>
  std::string AddDataSet(const char* folder, const CBooksDatabase::Company& company,
                         const Lines& lines) {
    CBooksDatabase books;
    const std::string path = m_root + "/" + folder;
    EXPECT_TRUE(books.Begin(path, company)) << books.GetError();
    AddChart(books);
    EXPECT_TRUE(books.SetOpeningBalance(GENKIN, 500000));
    EXPECT_TRUE(books.SetOpeningBalance(YOKIN, 2000000));
    EXPECT_TRUE(books.SetOpeningBalance(SEIHIN, 300000));
    EXPECT_TRUE(books.SetOpeningBalance(KARIIRE, 800000));
    EXPECT_TRUE(books.SetOpeningBalance(SHIHONKIN, 1000000));
    EXPECT_TRUE(books.SetOpeningBalance(KURIKOSI, 1000000));
    for (const auto& l : lines) EXPECT_TRUE(books.AddJournal(l)) << books.GetError();
    EXPECT_TRUE(books.Commit(m_root + "/kanri.db", "", 0, nullptr)) << books.GetError();
    return path + "/";
  }

  // A data access opened and set on the data set with that folder.
  void Open(CJetAccess& jet) {
    MAXDATACOUNT limits{};
    ASSERT_EQ(0, jet.MasterInit(&limits, &limits));
    ASSERT_EQ(0, jet.Init("TOKA", 0, 0, nullptr));
  }

  std::string m_root;
  std::optional<ScopedEnv> m_env;
};

}  // namespace ledgertest
