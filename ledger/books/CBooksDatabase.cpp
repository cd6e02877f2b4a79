#include "CBooksDatabase.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "CKaikei.h"
#include "CManagementDb.h"
#include "Cp932.h"
#include "FolderOps.h"
#include "KAMOKU_CLASS.h"
#include "OsPath.h"
#include "S_KANKAMOKU.h"
#include "StaleTemps.h"

namespace {

const char* const kSchema =
    "CREATE TABLE ledger_meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE TABLE kanri(id INTEGER PRIMARY KEY CHECK(id = 1), name TEXT NOT NULL,"
    " start_date INTEGER NOT NULL, end_date INTEGER NOT NULL, keiei INTEGER NOT NULL,"
    " alt_folder TEXT NOT NULL, net_assets INTEGER NOT NULL, data_id TEXT NOT NULL);"
    "CREATE TABLE kamoku(code INTEGER PRIMARY KEY CHECK(code BETWEEN 1 AND 32767),"
    " seq INTEGER NOT NULL UNIQUE, name TEXT NOT NULL, disp_name TEXT NOT NULL,"
    " kamoku_no INTEGER NOT NULL, hide INTEGER NOT NULL, side INTEGER NOT NULL CHECK(side IN (1, "
    "2)),"
    " class INTEGER NOT NULL);"
    "CREATE TABLE opening(code INTEGER PRIMARY KEY REFERENCES kamoku(code),"
    " amount INTEGER NOT NULL);"
    "CREATE TABLE siwake(id INTEGER PRIMARY KEY, date INTEGER NOT NULL, debit INTEGER NOT NULL,"
    " credit INTEGER NOT NULL, amount INTEGER NOT NULL, settlement INTEGER NOT NULL,"
    " tuki INTEGER NOT NULL CHECK(tuki BETWEEN 1 AND 13), description TEXT NOT NULL);"
    "INSERT INTO ledger_meta VALUES('kind', 'books'), ('schema', '2');";

const char* const kIndexes =
    "CREATE INDEX siwake_debit ON siwake(debit, tuki, amount);"
    "CREATE INDEX siwake_credit ON siwake(credit, tuki, amount);"
    "ANALYZE;";

struct TotalAccount {
  short nCode;
  const char* szName;
  std::uint8_t bySide;
};

const TotalAccount kTotals[] = {
    {CKaikei::CODE_SHISAN, "資産合計", KAMOKU_KARIKATA},
    {CKaikei::CODE_HUSAI, "負債合計", KAMOKU_KASIKATA},
    {CKaikei::CODE_SHIHON, "資本合計", KAMOKU_KASIKATA},
    {CKaikei::CODE_URIAGE, "売上高合計", KAMOKU_KASIKATA},
    {CKaikei::CODE_GENKA, "売上原価", KAMOKU_KARIKATA},
    {CKaikei::CODE_URISOURIEKI, "売上総利益", KAMOKU_KASIKATA},
    {CKaikei::CODE_EIGYOSONEKI, "営業利益", KAMOKU_KASIKATA},
    {CKaikei::CODE_ZEIBIKIMAE, "税引前当期純利益", KAMOKU_KASIKATA},
};

bool IsTotalCode(short nCode) {
  for (const auto& total : kTotals)
    if (total.nCode == nCode) return true;
  return false;
}

bool IsKnownClass(std::uint8_t byClass) {
  return IsBalanceSheetClass(byClass) || IsProfitLossClass(byClass) ||
         byClass == KAMOKU_CLASS_TOTAL;
}

// CP932 text of at most nMax bytes, to UTF-8.
bool Field(const CString& text, std::size_t nMax, std::string& utf8) {
  return text.size() <= nMax && text.find('\0') == CString::npos && cp932::ToUtf8(text, utf8);
}

int YmdOf(int y, int m, int d) { return (y * 100 + m) * 100 + d; }

std::atomic<int> g_nTempCounter{0};

}  // namespace

CBooksDatabase::~CBooksDatabase() { Abort(); }

bool CBooksDatabase::Fail(const char* szWhy) {
  m_strError = szWhy;
  return false;
}

bool CBooksDatabase::Begin(const CString& strFolder, const Company& company) {
  Abort();
  m_strError.clear();
  std::string name, alt, dataId, osFolder;
  if (strFolder.empty() || strFolder[0] != '/' || strFolder.size() > MAX_DATA_PATH)
    return Fail("the data-set folder must be an absolute path of at most 258 bytes");
  if (!platform::ToOsPath(strFolder, osFolder)) return Fail("the data-set folder is not CP932");
  if (!Field(company.strName, MAX_NAME, name) || company.strName.empty())
    return Fail("business name empty, too long or not CP932");
  if (!Field(company.strAltFolder, MAX_ALT_FOLDER, alt))
    return Fail("alternative folder too long or not CP932");
  if (!Field(company.strDataID, MAX_DATA_ID, dataId)) return Fail("data ID too long or not CP932");
  const CFiscalYear year(company.nStartYear, company.nStartMonth, company.nStartDay,
                         company.nEndYear, company.nEndMonth, company.nEndDay);
  if (!year.IsValid()) return Fail("the fiscal year is not a valid year of at most twelve periods");

  CString strFinal = strFolder;
  while (strFinal.size() > 1 && strFinal.back() == '/') strFinal.pop_back();
  const auto slash = strFinal.rfind('/');
  const CString strParent = strFinal.substr(0, slash + 1);
  const CString strBase = strFinal.substr(slash + 1);
  struct stat st;
  if (::stat(osFolder.c_str(), &st) == 0) return Fail("the data-set folder exists already");
  std::string osParent;
  // Work folders an add that died left beside the data sets.
  if (platform::ToOsPath(strParent, osParent)) platform::RemoveStaleTemps(osParent, ".", ".tmp-");
  const CString strWork = strParent + platform::TempName(strBase, std::to_string(g_nTempCounter++));
  std::string osWork;
  if (!platform::ToOsPath(strWork, osWork) || ::mkdir(osWork.c_str(), 0777) != 0)
    return Fail("cannot create the data-set folder");
  m_strWork = strWork;
  m_strFolder = strFinal;
  m_strBusiness = company.strName;
  m_bNetAssets = company.bNetAssets;
  m_year = year;
  if (!m_db.Open(m_strWork + "/" + BOOKS_FILE, CSqlite::OPEN_CREATE) ||
      !m_db.Exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN;") ||
      !m_db.Exec(kSchema)) {
    Abort();
    return Fail("cannot create the books database");
  }
  CSqliteStmt stmt;
  if (!stmt.Prepare(m_db.Handle(), "INSERT INTO kanri VALUES(1, ?, ?, ?, ?, ?, ?, ?)") ||
      !stmt.Bind(1, name) ||
      !stmt.Bind(2, YmdOf(company.nStartYear, company.nStartMonth, company.nStartDay)) ||
      !stmt.Bind(3, YmdOf(company.nEndYear, company.nEndMonth, company.nEndDay)) ||
      !stmt.Bind(4, company.nKeiei) || !stmt.Bind(5, alt) ||
      !stmt.Bind(6, company.bNetAssets ? 1 : 0) || !stmt.Bind(7, dataId) ||
      stmt.Step() != SQLITE_DONE ||
      !m_stmtJournal.Prepare(m_db.Handle(),
                             "INSERT INTO siwake(date, debit, credit, amount, settlement, tuki,"
                             " description) VALUES(?, ?, ?, ?, ?, ?, ?)")) {
    Abort();
    return Fail("cannot write the management record");
  }
  return true;
}

bool CBooksDatabase::AddAccount(const Account& account) {
  if (!m_db.IsOpen()) return Fail("no data set begun");
  std::string name, disp;
  const CString& strDisp = account.strDispName.empty() ? account.strName : account.strDispName;
  if (account.nCode <= 0) return Fail("account code must be 1 to 32767");
  if (m_accounts.count(account.nCode) != 0) return Fail("account code given twice");
  if (account.strName.empty() || !Field(account.strName, MAX_KAMOKU_NAME, name))
    return Fail("account name empty, longer than 16 bytes or not CP932");
  if (!Field(strDisp, MAX_DISP_NAME, disp))
    return Fail("display name longer than 31 bytes or not CP932");
  if (account.bySide != KAMOKU_KARIKATA && account.bySide != KAMOKU_KASIKATA)
    return Fail("side must be debit or credit");
  if (!IsKnownClass(account.byClass)) return Fail("unknown account class");
  if (account.nNo == 0) return Fail("account number 0 is reserved: it ends the monthly table");
  if (IsTotalCode(account.nCode) != (account.byClass == KAMOKU_CLASS_TOTAL))
    return Fail("total accounts are exactly the codes 9071 9111 9143 9160 9201 9202 9241 9282");
  const bool bHide = account.bHide || account.byClass == KAMOKU_CLASS_TOTAL;
  CSqliteStmt stmt;
  if (!stmt.Prepare(m_db.Handle(), "INSERT INTO kamoku VALUES(?, ?, ?, ?, ?, ?, ?, ?)") ||
      !stmt.Bind(1, account.nCode) || !stmt.Bind(2, ++m_nSeq) || !stmt.Bind(3, name) ||
      !stmt.Bind(4, disp) || !stmt.Bind(5, account.nNo) || !stmt.Bind(6, bHide ? 1 : 0) ||
      !stmt.Bind(7, account.bySide) || !stmt.Bind(8, account.byClass) || stmt.Step() != SQLITE_DONE)
    return Fail("cannot write the account");
  m_accounts[account.nCode] = account;
  return true;
}

bool CBooksDatabase::SetOpeningBalance(short nCode, long long llAmount) {
  if (!m_db.IsOpen()) return Fail("no data set begun");
  const auto it = m_accounts.find(nCode);
  if (it == m_accounts.end() || !IsBalanceSheetClass(it->second.byClass))
    return Fail("opening balances belong to balance-sheet accounts");
  if (llAmount > MAX_AMOUNT || llAmount < -MAX_AMOUNT) return Fail("amount out of range");
  CSqliteStmt stmt;
  if (!stmt.Prepare(m_db.Handle(), "INSERT OR REPLACE INTO opening VALUES(?, ?)") ||
      !stmt.Bind(1, nCode) || !stmt.Bind(2, llAmount) || stmt.Step() != SQLITE_DONE)
    return Fail("cannot write the opening balance");
  return true;
}

bool CBooksDatabase::AddJournal(const Journal& line) {
  if (!m_db.IsOpen()) return Fail("no data set begun");
  const auto debit = m_accounts.find(line.nDebit);
  const auto credit = m_accounts.find(line.nCredit);
  if (debit == m_accounts.end() || credit == m_accounts.end())
    return Fail("journal line names an unknown account");
  if (line.nDebit == line.nCredit) return Fail("journal line with the same account on both sides");
  if (debit->second.byClass == KAMOKU_CLASS_TOTAL || credit->second.byClass == KAMOKU_CLASS_TOTAL)
    return Fail("journal line posts to a total account");
  if (line.llAmount > MAX_AMOUNT || line.llAmount < -MAX_AMOUNT) return Fail("amount out of range");
  std::string description;
  if (line.strDescription.find('\0') != CString::npos ||
      !cp932::ToUtf8(line.strDescription, description))
    return Fail("journal description not CP932");
  const int no =
      m_year.FiscalNoOfDate(line.nDate / 10000, line.nDate / 100 % 100, line.nDate % 100);
  if (no == 0) return Fail("journal date outside the fiscal year");
  if (!m_stmtJournal.Reset() || !m_stmtJournal.Bind(1, line.nDate) ||
      !m_stmtJournal.Bind(2, line.nDebit) || !m_stmtJournal.Bind(3, line.nCredit) ||
      !m_stmtJournal.Bind(4, line.llAmount) || !m_stmtJournal.Bind(5, line.bSettlement ? 1 : 0) ||
      !m_stmtJournal.Bind(6, line.bSettlement ? 13 : no) || !m_stmtJournal.Bind(7, description) ||
      m_stmtJournal.Step() != SQLITE_DONE)
    return Fail("cannot write the journal line");
  return true;
}

bool CBooksDatabase::AddMissingTotals() {
  for (const auto& total : kTotals) {
    if (m_accounts.count(total.nCode) != 0) continue;
    Account account;
    account.nCode = total.nCode;
    account.strName =
        total.nCode == CKaikei::CODE_SHIHON && m_bNetAssets ? "純資産合計" : total.szName;
    account.nNo = total.nCode;
    account.bHide = true;
    account.bySide = total.bySide;
    account.byClass = KAMOKU_CLASS_TOTAL;
    if (!AddAccount(account)) return false;
  }
  return true;
}

bool CBooksDatabase::Commit(const CString& strManagementDb, const CString& strListName, int nDataNo,
                            int* pnDataNo) {
  if (!m_db.IsOpen()) return Fail("no data set begun");
  std::string osWork, osFinal;
  platform::ToOsPath(m_strWork, osWork);
  platform::ToOsPath(m_strFolder, osFinal);
  if (!CompleteBooks(osWork)) return false;
  int nAssigned = 0;
  if (!RecordDataSet(strManagementDb, strListName, nDataNo, osWork, osFinal, nAssigned))
    return false;
  m_strWork.clear();
  m_accounts.clear();
  if (pnDataNo != nullptr) *pnDataNo = nAssigned;
  return true;
}

bool CBooksDatabase::CompleteBooks(const std::string& osWork) {
  if (!AddMissingTotals()) {
    const CString why = m_strError;
    Abort();
    return Fail(why.c_str());
  }
  // Debit-positive opening balances of all accounts must sum to zero.
  long long nImbalance = 0;
  if (!m_db.QueryInt("SELECT coalesce(sum(CASE k.side WHEN 1 THEN o.amount ELSE -o.amount END), 0)"
                     " FROM opening o JOIN kamoku k USING(code)",
                     nImbalance)) {
    Abort();
    return Fail("cannot read the opening balances");
  }
  if (nImbalance != 0) {
    Abort();
    return Fail("the opening balances do not balance");
  }
  m_stmtJournal.Finalize();
  if (!m_db.Exec(kIndexes) || !m_db.Exec("COMMIT")) {
    Abort();
    return Fail("cannot complete the books database");
  }
  m_db.Close();
  // The books were written without a journal: they must be on the disk, and
  // their folder with them, before the management database lists them, or a
  // power loss could leave a listed data set with half a books file.
  if (!platform::SyncOsPath(osWork + "/" + BOOKS_FILE) || !platform::SyncOsPath(osWork)) {
    Abort();
    return Fail("cannot write the books to the disk");
  }
  return true;
}

bool CBooksDatabase::RecordDataSet(const CString& strManagementDb, const CString& strListName,
                                   int nDataNo, const std::string& osWork,
                                   const std::string& osFinal, int& nAssigned) {
  CManagementDb mgmt;
  if (!mgmt.Open(strManagementDb, true) || !mgmt.Db().Exec("BEGIN IMMEDIATE")) {
    Abort();
    return Fail("cannot open the management database for writing");
  }
  if (!mgmt.Insert(nDataNo, strListName.empty() ? m_strBusiness : strListName, m_strFolder,
                   nAssigned)) {
    mgmt.Db().Exec("ROLLBACK");
    Abort();
    return Fail("cannot record the data set (number or folder in use)");
  }
  if (::renameat2(AT_FDCWD, osWork.c_str(), AT_FDCWD, osFinal.c_str(), RENAME_NOREPLACE) != 0) {
    mgmt.Db().Exec("ROLLBACK");
    Abort();
    return Fail("cannot move the data-set folder into place");
  }
  // The folder's name too, before the data set is recorded.
  if (!platform::SyncOsPath(osFinal.substr(0, osFinal.rfind('/') + 1))) {
    ::rename(osFinal.c_str(), osWork.c_str());
    mgmt.Db().Exec("ROLLBACK");
    Abort();
    return Fail("cannot write the data-set folder to the disk");
  }
  if (!mgmt.Db().Exec("COMMIT")) {
    mgmt.Db().Exec("ROLLBACK");
    // A commit fails after it took effect when the sync of the journal's
    // removal fails: the data set is then recorded, and its folder stays.
    CManagementDb check;
    if (check.Open(strManagementDb, false) && check.Find(nAssigned) != nullptr) {
      m_strWork.clear();
      Abort();
      return Fail("the data set was recorded, but the record may not survive a power loss");
    }
    ::rename(osFinal.c_str(), osWork.c_str());
    Abort();
    return Fail("cannot record the data set");
  }
  return true;
}

void CBooksDatabase::Abort() {
  m_stmtJournal.Finalize();
  m_db.Close();
  if (!m_strWork.empty()) {
    std::string osWork;
    if (platform::ToOsPath(m_strWork, osWork)) {
      std::error_code ec;
      std::filesystem::remove_all(osWork, ec);
    }
  }
  m_strWork.clear();
  m_accounts.clear();
  m_nSeq = 0;
}
