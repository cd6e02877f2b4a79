#include <gtest/gtest.h>

#include <fstream>

#include "BooksFolderReader.h"
#include "Cp932.h"
#include "CsvReader.h"
#include "SmallBooks.h"
#include "TempFolder.h"

using smallbooks::U8;

namespace {

// Reads the small folder with one file replaced; returns the problems found.
// With bBare the journal is empty and there is no opening.csv, so that a
// changed company or chart is checked on its own.
std::vector<std::string> ReadWith(const std::string& file, const std::string& text,
                                  bool bBare = false) {
  TempFolder tmp;
  smallbooks::WriteFolder(tmp, "b");
  if (bBare) {
    std::filesystem::remove(tmp.Path() / "b/opening.csv");
    tmp.Write("b/journal.csv", "date,debit,credit,amount,settlement\n");
  }
  tmp.Write("b/" + file, text);
  BooksFolderReader reader;
  BooksData data;
  const bool bOk = reader.Read(tmp.Path() / "b", data);
  EXPECT_EQ(bOk, reader.m_arError.empty());
  return reader.m_arError;
}

std::string Only(const std::vector<std::string>& errors) {
  EXPECT_EQ(errors.size(), 1u) << (errors.empty() ? "" : errors.back());
  return errors.empty() ? "" : errors.front();
}

const std::string kJournalHead = "date,debit,credit,amount,settlement\n";
const std::string kCompanyHead =
    "name,fiscal_start,fiscal_end,management_form,net_assets,data_id\n";

}  // namespace

TEST(CsvReader, QuotedFieldsLineNumbersAndBlankLines) {
  CsvReader csv;
  ASSERT_TRUE(
      csv.Parse("x.csv", "a,b\r\n\r\n\"1,2\",\"say \"\"hi\"\"\"\r\n\"multi\nline\", x \n  3 ,4"));
  ASSERT_EQ(csv.m_arRow.size(), 3u);
  EXPECT_EQ(csv.m_arRow[0].m_nLine, 3);
  EXPECT_EQ(csv.m_arRow[0].m_arField, (std::vector<std::string>{"1,2", "say \"hi\""}));
  EXPECT_EQ(csv.m_arRow[1].m_arField, (std::vector<std::string>{"multi\nline", "x"}));
  EXPECT_EQ(csv.m_arRow[2].m_nLine, 6);
  EXPECT_EQ(csv.m_arRow[2].m_arField, (std::vector<std::string>{"3", "4"}));
}

TEST(CsvReader, DetectsCp932AndUtf8WithMark) {
  std::string cp932;
  ASSERT_TRUE(cp932::FromUtf8(U8(u8"名前\n表示～\n"), cp932));
  CsvReader csv;
  ASSERT_TRUE(csv.Parse("x.csv", cp932));
  EXPECT_EQ(csv.m_strEncoding, "CP932");
  EXPECT_EQ(csv.m_arHeader.front(), U8(u8"名前"));
  EXPECT_EQ(csv.m_arRow.front().m_arField.front(), U8(u8"表示～"));

  ASSERT_TRUE(csv.Parse("x.csv", "\xEF\xBB\xBF" + U8(u8"名前\n表\n")));
  EXPECT_EQ(csv.m_strEncoding, "UTF-8");
  EXPECT_EQ(csv.m_arHeader.front(), U8(u8"名前"));
}

TEST(CsvReader, RefusesBrokenText) {
  CsvReader csv;
  EXPECT_FALSE(csv.Parse("x.csv", "a\n\"open\n\n"));
  EXPECT_EQ(csv.m_strError, "x.csv line 2: quoted field is not closed before the end of the file");
  EXPECT_FALSE(csv.Parse("x.csv", "a\n\"ab\"c\n"));
  EXPECT_EQ(csv.m_strError, "x.csv line 2: text after the closing quotation mark of a field");
  EXPECT_FALSE(csv.Parse("x.csv", "a\nab\"c\"\n"));
  EXPECT_FALSE(csv.Parse("x.csv", "a\n\x80\xFF\n"));
  EXPECT_EQ(csv.m_strError, "x.csv: the text is neither UTF-8 nor CP932");
  EXPECT_FALSE(csv.Parse("x.csv", "\n\n"));
  EXPECT_EQ(csv.m_strError, "x.csv: the header row is missing");
}

TEST(BooksFolderReader, ReadsTheSmallFolder) {
  TempFolder tmp;
  smallbooks::WriteFolder(tmp, "b");
  BooksFolderReader reader;
  BooksData data;
  ASSERT_TRUE(reader.Read(tmp.Path() / "b", data)) << reader.m_arError.front();
  EXPECT_EQ(data.m_strName, U8(u8"テスト農園, 株式会社"));
  EXPECT_EQ(data.m_start, (BooksData::Date{2024, 4, 1}));
  EXPECT_EQ(data.m_end, (BooksData::Date{2025, 3, 31}));
  EXPECT_EQ(data.m_nKeieiKeitai, 1);
  EXPECT_TRUE(data.m_bNetAssets);
  EXPECT_EQ(data.m_strDataId, "T001");
  EXPECT_EQ(data.m_strAltFolder, U8(u8"/srv/旧データ/"));
  ASSERT_EQ(data.m_arAccount.size(), 7u);
  EXPECT_EQ(data.m_arAccount[2].m_nNumber, 2010);
  EXPECT_TRUE(data.m_arAccount[2].m_bCredit);
  EXPECT_EQ(data.m_arAccount[2].m_strClass, "liabilities");
  EXPECT_TRUE(data.m_arAccount[6].m_bHidden);
  EXPECT_EQ(data.m_arOpening.size(), 4u);
  ASSERT_EQ(data.m_arEntry.size(), 6u);
  EXPECT_EQ(data.m_arEntry[3].m_strDescription, U8(u8"賞与, 冬"));
  EXPECT_EQ(data.m_arEntry[4].m_strDescription, U8(u8"\"特選\" 米, 三月"));
  EXPECT_TRUE(data.m_arEntry[5].m_bSettlement);
  EXPECT_EQ(data.m_arEntry[5].m_nAmount, 50000);
}

TEST(BooksFolderReader, OptionalColumnsAndFile) {
  TempFolder tmp;
  smallbooks::WriteFolder(tmp, "b");
  std::filesystem::remove(tmp.Path() / "b/opening.csv");
  tmp.Write(
      "b/accounts.csv",
      U8(u8"CLASS,Side, name ,number,code\nassets,貸方,現金,1000,1\nsales,credit,売上,4000,2\n"));
  tmp.Write("b/journal.csv", kJournalHead + "2024-04-01,1,2,5,\n");
  BooksFolderReader reader;
  BooksData data;
  ASSERT_TRUE(reader.Read(tmp.Path() / "b", data)) << reader.m_arError.front();
  EXPECT_EQ(data.m_arAccount.front().m_strDispName, U8(u8"現金"));
  EXPECT_TRUE(data.m_arAccount.front().m_bCredit);
  EXPECT_FALSE(data.m_arAccount.front().m_bHidden);
  EXPECT_FALSE(data.m_arEntry.front().m_bSettlement);
  EXPECT_TRUE(data.m_arOpening.empty());
}

TEST(BooksFolderReader, MissingFilesAndColumns) {
  TempFolder tmp;
  std::filesystem::create_directories(tmp.Path() / "empty");
  BooksFolderReader reader;
  BooksData data;
  EXPECT_FALSE(reader.Read(tmp.Path() / "empty", data));
  EXPECT_EQ(reader.m_arError,
            (std::vector<std::string>{"company.csv: file not found or not readable",
                                      "accounts.csv: file not found or not readable",
                                      "journal.csv: file not found or not readable"}));

  // A folder where a file should be is refused like a missing file.
  std::filesystem::create_directories(tmp.Path() / "dir/journal.csv");
  smallbooks::WriteFolder(tmp, "dir-ok");
  for (const char* f : {"company.csv", "accounts.csv"}) {
    std::filesystem::copy(tmp.Path() / "dir-ok" / f, tmp.Path() / "dir" / f);
  }
  EXPECT_FALSE(reader.Read(tmp.Path() / "dir", data));
  EXPECT_EQ(reader.m_arError,
            std::vector<std::string>{"journal.csv: file not found or not readable"});

  EXPECT_EQ(Only(ReadWith("journal.csv", "date,debit,credit,settlement\n")),
            "journal.csv line 1: missing column \"amount\"");
  EXPECT_EQ(Only(ReadWith("opening.csv", "code,balance,memo\n")),
            "opening.csv line 1, field \"memo\": unknown column");
  EXPECT_EQ(Only(ReadWith("accounts.csv", "code,number,name,side,class,code\n", true)),
            "accounts.csv line 1, field \"code\": column given twice");
  EXPECT_EQ(Only(ReadWith("journal.csv", kJournalHead + "2024-04-01,1,2,5\n")),
            "journal.csv line 2: 4 fields where the header has 5");
}

TEST(BooksFolderReader, CompanyProblems) {
  auto company = [](const std::string& row) {
    return ReadWith("company.csv", kCompanyHead + row, true);
  };
  EXPECT_EQ(Only(company("A,2024-04-01,2025-04-01,corporation,0,X1\n")),
            "company.csv line 2, field fiscal_end: the fiscal year is longer than twelve months "
            "(it must end by 2025-03-31)");
  EXPECT_EQ(Only(company("A,2024-02-29,2025-03-01,corporation,0,X1\n")),
            "company.csv line 2, field fiscal_end: the fiscal year is longer than twelve months "
            "(it must end by 2025-02-28)");
  EXPECT_TRUE(company("A,2024-04-21,2025-04-20,2,0,X1\n").empty());
  EXPECT_TRUE(company("A,2024-04-01,2024-12-31,individual,0,X1\n").empty());
  EXPECT_EQ(Only(company("A,2024-04-29,2025-04-28,corporation,0,X1\n")),
            "company.csv line 2, field fiscal_start: a fiscal year must start on day 1 to 28 of a "
            "month");
  EXPECT_EQ(Only(company("A,2024-04-15,2025-03-10,corporation,0,X1\n")),
            "company.csv line 2, field fiscal_end: a year ending in month 3 counts as twelve "
            "months, but it does not cover twelve month periods starting on day 15");
  EXPECT_EQ(Only(company("A,2024-04-01,2024-03-31,corporation,0,X1\n")),
            "company.csv line 2, field fiscal_end: the fiscal year ends before it starts");
  EXPECT_EQ(Only(company("A,2024-02-30,2025-01-31,corporation,0,X1\n")),
            "company.csv line 2, field fiscal_start: \"2024-02-30\" is not a date YYYY-MM-DD");
  EXPECT_EQ(Only(company("A,2024-04-01,2025-03-31,farm,0,X1\n")),
            "company.csv line 2, field management_form: \"farm\" is neither corporation, "
            "individual nor a number 0-32767");
  EXPECT_EQ(Only(company("A,2024-04-01,2025-03-31,1,yes,X1\n")),
            "company.csv line 2, field net_assets: \"yes\" is not 0 or 1");
  EXPECT_EQ(Only(company("A,2024-04-01,2025-03-31,1,0,a/b\n")),
            "company.csv line 2, field data_id: \"a/b\" may hold only letters, digits, - and _");
  EXPECT_EQ(Only(company(std::string(81, 'A') + ",2024-04-01,2025-03-31,1,0,X1\n")),
            "company.csv line 2, field name: longer than 80 bytes in CP932");
  EXPECT_EQ(Only(company("A,2024-04-01,2025-03-31,1,0,\n")),
            "company.csv line 2, field data_id: the data ID is empty");
  EXPECT_EQ(Only(company("A,2024-04-01,2025-03-31,1,0," + std::string(41, '7') + "\n")),
            "company.csv line 2, field data_id: longer than 40 characters");
  EXPECT_EQ(Only(ReadWith("company.csv",
                          "name,fiscal_start,fiscal_end,management_form,net_assets,data_id,"
                          "alt_folder\nA,2024-04-01,2025-03-31,1,0,X1,/" +
                              std::string(120, 'f') + "\n",
                          true)),
            "company.csv line 2, field alt_folder: longer than 120 bytes in CP932");
  EXPECT_EQ(Only(company(",2024-04-01,2025-03-31,1,0,X1\n")),
            "company.csv line 2, field name: the business name is empty");
  EXPECT_EQ(Only(company(U8(u8"A\U0001F600,2024-04-01,2025-03-31,1,0,X1\n"))),
            "company.csv line 2, field name: has a character with no Shift_JIS (CP932) form");
  EXPECT_EQ(Only(company("A,2024-04-01,2025-03-31,1,0,X1\nB,2024-04-01,2025-03-31,1,0,X2\n")),
            "company.csv line 3: only one data row is allowed");
  EXPECT_EQ(Only(ReadWith("company.csv", kCompanyHead)),
            "company.csv: no data row; one row describes the business");
}

TEST(BooksFolderReader, AccountProblems) {
  const std::string head = "code,number,name,side,class\n";
  EXPECT_EQ(
      Only(ReadWith("accounts.csv", head + "1,1000,a,debit,assets\n1,1001,b,debit,assets\n", true)),
      "accounts.csv line 3, field code: duplicate account code 1 (first on line 2)");
  EXPECT_EQ(
      Only(ReadWith("accounts.csv", head + "1,1000,a,debit,assets\n2,1000,b,debit,assets\n", true)),
      "accounts.csv line 3, field number: duplicate account number 1000 (first on line 2)");
  EXPECT_EQ(Only(ReadWith("accounts.csv", head + "9143,1000,a,debit,assets\n", true)),
            "accounts.csv line 2, field code: 9143 is kept for the ledger's total accounts");
  EXPECT_EQ(Only(ReadWith("accounts.csv", head + "1,9282,a,debit,assets\n", true)),
            "accounts.csv line 2, field number: 9282 is kept for the ledger's total accounts");
  EXPECT_EQ(Only(ReadWith("accounts.csv", head + "1,1000,,debit,assets\n", true)),
            "accounts.csv line 2, field name: the account name is empty");
  EXPECT_EQ(Only(ReadWith("accounts.csv",
                          "code,number,name,display_name,side,class\n" +
                              U8(u8"1,1000,a,b\u00E9\U0001F33E,debit,assets\n"),
                          true)),
            "accounts.csv line 2, field display_name: has a character with no Shift_JIS (CP932) "
            "form");
  EXPECT_EQ(Only(ReadWith("accounts.csv", head + "1,0,a,debit,assets\n", true)),
            "accounts.csv line 2, field number: \"0\" is not an account number 1-2147483647");
  EXPECT_EQ(Only(ReadWith("accounts.csv", head + "40000,1000,a,debit,assets\n", true)),
            "accounts.csv line 2, field code: \"40000\" is not an account code 1-32767");
  EXPECT_EQ(Only(ReadWith("accounts.csv", head + "1,1000,a,left,assets\n", true)),
            "accounts.csv line 2, field side: \"left\" is neither debit nor credit");
  EXPECT_NE(Only(ReadWith("accounts.csv", head + "1,1000,a,debit,stock\n", true))
                .find("accounts.csv line 2, field class: \"stock\" is not one of assets,"),
            std::string::npos);
  EXPECT_EQ(
      Only(ReadWith("accounts.csv", head + U8(u8"1,1000,減価償却累計額合計,debit,assets\n"), true)),
      U8(u8"accounts.csv line 2, field name: \"減価償却累計額合計\" is longer than 16 bytes "
         u8"in CP932"));
  EXPECT_EQ(Only(ReadWith("accounts.csv",
                          "code,number,name,side,class,hidden\n"
                          "1,1000,a,debit,assets,2\n")),
            "accounts.csv line 2, field hidden: \"2\" is not 0 or 1");
  EXPECT_EQ(Only(ReadWith("accounts.csv", head, true)), "accounts.csv: no accounts");
}

TEST(BooksFolderReader, OpeningProblems) {
  const std::string head = "code,balance\n";
  EXPECT_EQ(Only(ReadWith("opening.csv", head + "99,5\n")),
            "opening.csv line 2, field code: unknown account code 99");
  EXPECT_EQ(Only(ReadWith("opening.csv", head + "1,5\n1,5\n3,10\n")),
            "opening.csv line 3, field code: duplicate account code 1 (first on line 2)");
  EXPECT_EQ(Only(ReadWith("opening.csv", head + "cash,5\n")),
            "opening.csv line 2, field code: \"cash\" is not an account code");
  EXPECT_EQ(Only(ReadWith("opening.csv", head + "1,1.5\n")),
            "opening.csv line 2, field balance: \"1.5\" is not an amount in whole yen");
  EXPECT_EQ(Only(ReadWith("opening.csv", head + "5,100\n")),
            "opening.csv line 2, field code: account 5 is a profit-and-loss account (sales) and "
            "carries no opening balance");
  EXPECT_EQ(Only(ReadWith("opening.csv", head + "1,100\n3,90\n")),
            "opening.csv, field balance: the balances do not balance: debit side 100, credit "
            "side 90");
}

TEST(BooksFolderReader, JournalProblems) {
  EXPECT_EQ(Only(ReadWith("journal.csv", kJournalHead + "2024-04-01,1,77,5,0\n")),
            "journal.csv line 2, field credit: unknown account code 77");
  EXPECT_EQ(Only(ReadWith("journal.csv", kJournalHead + "2024-04-01,3,3,5,0\n")),
            "journal.csv line 2, field credit: the same account 3 on both sides");
  EXPECT_EQ(Only(ReadWith("journal.csv", kJournalHead + "2024-04-01,x,1,5,0\n")),
            "journal.csv line 2, field debit: \"x\" is not an account code");
  EXPECT_EQ(Only(ReadWith("journal.csv", kJournalHead + "2025-04-01,1,2,5,0\n")),
            "journal.csv line 2, field date: 2025-04-01 is outside the fiscal year 2024-04-01 "
            "to 2025-03-31");
  EXPECT_EQ(Only(ReadWith("journal.csv", kJournalHead + "2024-03-31,1,2,5,0\n")),
            "journal.csv line 2, field date: 2024-03-31 is outside the fiscal year 2024-04-01 "
            "to 2025-03-31");
  EXPECT_EQ(Only(ReadWith("journal.csv", kJournalHead + "24-4-1,1,2,5,0\n")),
            "journal.csv line 2, field date: \"24-4-1\" is not a date YYYY-MM-DD");
  for (const char* amount : {"1,000", "12a", "", "1e5", "1000000000000000"}) {
    const std::string quoted = std::string("\"") + amount + "\"";
    EXPECT_EQ(Only(ReadWith("journal.csv", kJournalHead + "2024-04-01,1,2," + quoted + ",0\n")),
              "journal.csv line 2, field amount: " + quoted + " is not an amount in whole yen");
  }
  EXPECT_EQ(Only(ReadWith("journal.csv", kJournalHead + "2024-04-01,1,2,5,y\n")),
            "journal.csv line 2, field settlement: \"y\" is not 0 or 1");
  EXPECT_TRUE(ReadWith("journal.csv", kJournalHead + "2025/3/31,1,2,-5,1\n").empty());
  EXPECT_EQ(Only(ReadWith("journal.csv", U8(u8"date,debit,credit,amount,settlement,description\n"
                                            u8"2024-04-01,1,2,5,0,\U0001F33E\n"))),
            "journal.csv line 2, field description: has a character with no Shift_JIS (CP932) "
            "form");
}

TEST(BooksFolderReader, ListsEveryProblemUpToALimit) {
  std::string text = kJournalHead;
  for (int i = 0; i < 60; ++i) text += "2024-04-01,1,99,5,0\n";
  const auto errors = ReadWith("journal.csv", text);
  ASSERT_EQ(errors.size(), BooksFolderReader::kErrorMax + 1);
  EXPECT_EQ(errors[1], "journal.csv line 3, field credit: unknown account code 99");
  EXPECT_EQ(errors.back(), "... and 10 more problems");
}

TEST(BooksFolderReader, ShippedSampleBooksRead) {
  for (const char* list : {"regular.list", "cooperative.list"}) {
    std::ifstream in(std::filesystem::path(RX16_SOURCE_DIR) / "data/books" / list);
    std::string folder;
    int n = 0;
    while (std::getline(in, folder)) {
      BooksFolderReader reader;
      BooksData data;
      EXPECT_TRUE(reader.Read(std::filesystem::path(RX16_SOURCE_DIR) / "data/books" / folder, data))
          << folder << ": " << reader.m_arError.front();
      EXPECT_GT(data.m_arEntry.size(), 150u) << folder;
      ++n;
    }
    EXPECT_GE(n, 3) << list;
  }
}
