#include "BooksDbReader.h"

#include <sqlite3.h>

#include "CBooksDatabase.h"
#include "CSqlite.h"
#include "CSqliteStmt.h"
#include "KAMOKU_CLASS.h"
#include "S_KANKAMOKU.h"

namespace {

const char* ClassName(std::int64_t n) {
  switch (n) {
    case KAMOKU_CLASS_ASSETS:
      return "assets";
    case KAMOKU_CLASS_LIABILITIES:
      return "liabilities";
    case KAMOKU_CLASS_NET_ASSETS:
      return "net_assets";
    case KAMOKU_CLASS_SALES:
      return "sales";
    case KAMOKU_CLASS_COST_OF_SALES:
      return "cost_of_sales";
    case KAMOKU_CLASS_SGA:
      return "sga";
    case KAMOKU_CLASS_NON_OPERATING_INCOME:
      return "non_operating_income";
    case KAMOKU_CLASS_NON_OPERATING_EXPENSE:
      return "non_operating_expense";
    case KAMOKU_CLASS_SPECIAL_GAIN:
      return "special_gain";
    case KAMOKU_CLASS_SPECIAL_LOSS:
      return "special_loss";
    case KAMOKU_CLASS_INCOME_TAX:
      return "income_tax";
    default:
      return nullptr;
  }
}

BooksData::Date DateOf(std::int64_t n) {
  return {static_cast<int>(n / 10000), static_cast<int>(n / 100 % 100), static_cast<int>(n % 100)};
}

}  // namespace

bool BooksDbReader::Read(const CString& strFolder, BooksData& data) {
  data = BooksData{};
  m_strError.clear();
  CString strPath = strFolder;
  if (strPath.empty() || strPath.back() != '/') strPath += '/';
  strPath += CBooksDatabase::BOOKS_FILE;
  CSqlite db;
  if (!db.Open(strPath, CSqlite::OPEN_READ)) {
    m_strError = "cannot open the books database";
    return false;
  }
  return ReadKanri(db, data) && ReadAccounts(db, data) && ReadOpening(db, data) &&
         ReadJournal(db, data);
}

bool BooksDbReader::ReadKanri(CSqlite& db, BooksData& data) {
  CSqliteStmt stmt;
  if (!stmt.Prepare(
          db.Handle(),
          "SELECT name, start_date, end_date, keiei, net_assets, data_id, alt_folder FROM kanri") ||
      stmt.Step() != SQLITE_ROW) {
    m_strError = "the books hold no management record";
    return false;
  }
  data.m_strName = stmt.GetText(0);
  data.m_start = DateOf(stmt.GetInt(1));
  data.m_end = DateOf(stmt.GetInt(2));
  data.m_nKeieiKeitai = static_cast<std::int16_t>(stmt.GetInt(3));
  data.m_bNetAssets = stmt.GetInt(4) != 0;
  data.m_strDataId = stmt.GetText(5);
  data.m_strAltFolder = stmt.GetText(6);
  return true;
}

bool BooksDbReader::ReadAccounts(CSqlite& db, BooksData& data) {
  CSqliteStmt stmt;
  if (!stmt.Prepare(db.Handle(),
                    "SELECT code, kamoku_no, name, disp_name, side, class, hide FROM kamoku"
                    " ORDER BY seq")) {
    m_strError = "cannot read the accounts";
    return false;
  }
  int rc = 0;
  while ((rc = stmt.Step()) == SQLITE_ROW) {
    if (stmt.GetInt(5) == KAMOKU_CLASS_TOTAL) continue;
    const char* szClass = ClassName(stmt.GetInt(5));
    if (szClass == nullptr) {
      m_strError = "account " + std::to_string(stmt.GetInt(0)) + " has an unknown class";
      return false;
    }
    BooksData::Account a;
    a.m_nCode = static_cast<std::int16_t>(stmt.GetInt(0));
    a.m_nNumber = static_cast<std::int32_t>(stmt.GetInt(1));
    a.m_strName = stmt.GetText(2);
    a.m_strDispName = stmt.GetText(3);
    a.m_bCredit = stmt.GetInt(4) == KAMOKU_KASIKATA;
    a.m_strClass = szClass;
    a.m_bHidden = stmt.GetInt(6) != 0;
    data.m_arAccount.push_back(std::move(a));
  }
  if (rc != SQLITE_DONE) {
    m_strError = "cannot read the accounts";
    return false;
  }
  return true;
}

bool BooksDbReader::ReadOpening(CSqlite& db, BooksData& data) {
  CSqliteStmt stmt;
  int rc = SQLITE_ERROR;
  if (stmt.Prepare(db.Handle(), "SELECT code, amount FROM opening ORDER BY code")) {
    while ((rc = stmt.Step()) == SQLITE_ROW) {
      data.m_arOpening.push_back({static_cast<std::int16_t>(stmt.GetInt(0)), stmt.GetInt(1)});
    }
  }
  if (rc != SQLITE_DONE) {
    m_strError = "cannot read the opening balances";
    return false;
  }
  return true;
}

bool BooksDbReader::ReadJournal(CSqlite& db, BooksData& data) {
  // Books written before the journal kept descriptions read with empty ones.
  long long nDescription = 0;
  CSqliteStmt stmt;
  int rc = SQLITE_ERROR;
  if (db.QueryInt("SELECT count(*) FROM pragma_table_info('siwake') WHERE name = 'description'",
                  nDescription) &&
      stmt.Prepare(db.Handle(), nDescription != 0 ? "SELECT date, debit, credit, amount,"
                                                    " settlement, description FROM siwake"
                                                    " ORDER BY id"
                                                  : "SELECT date, debit, credit, amount,"
                                                    " settlement, '' FROM siwake ORDER BY id")) {
    while ((rc = stmt.Step()) == SQLITE_ROW) {
      BooksData::Entry e;
      e.m_date = DateOf(stmt.GetInt(0));
      e.m_nDebit = static_cast<std::int16_t>(stmt.GetInt(1));
      e.m_nCredit = static_cast<std::int16_t>(stmt.GetInt(2));
      e.m_nAmount = stmt.GetInt(3);
      e.m_bSettlement = stmt.GetInt(4) != 0;
      e.m_strDescription = stmt.GetText(5);
      data.m_arEntry.push_back(std::move(e));
    }
  }
  if (rc != SQLITE_DONE) {
    m_strError = "cannot read the journal";
    return false;
  }
  return true;
}
