#pragma once
// Builds one data set: its folder with the books database, added to the
// management database all or nothing.
//
// Begin creates the folder under a temporary name beside its final place
// (".NAME.tmp-PID-N"); AddAccount, SetOpeningBalance and AddJournal fill the
// books; Commit completes them (missing total accounts added, checks,
// indexes), records the data set in the management database and renames the
// folder into place inside that database's transaction. Any failure, Abort
// or destruction before Commit removes the temporary folder and leaves the
// management database as it was. Texts and paths are CP932; GetError tells
// why the last call failed (ASCII).
//
// Books schema (UTF-8 texts; one fiscal year per data set):
//   ledger_meta(key, value)      kind = "books", schema = "2"
//   kanri(name, start_date, end_date, keiei, alt_folder, net_assets, data_id)
//                                dates as YYYYMMDD integers, a single row
//   kamoku(code, seq, name, disp_name, kamoku_no, hide, side, class)
//                                side 1 debit / 2 credit, class KAMOKU_CLASS;
//                                listed by seq
//   opening(code, amount)        balance carried forward, on the account's side
//   siwake(id, date, debit, credit, amount, settlement, tuki, description)
//                                tuki = fiscal number of the date's period
//                                (1-12), 13 for the settlement period;
//                                books of schema 1 have no description
//   indexes siwake_debit(debit, tuki, amount), siwake_credit(credit, tuki,
//   amount): the monthly aggregation reads each side in one ordered pass.
// Amounts are whole yen.

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "CFiscalYear.h"
#include "CSqlite.h"
#include "CSqliteStmt.h"
#include "WinTypes.h"

class CBooksDatabase {
 public:
  inline static constexpr const char* BOOKS_FILE = "books.db";
  // Field limits in CP932 bytes, without the NUL.
  inline static constexpr std::size_t MAX_NAME = 80;
  inline static constexpr std::size_t MAX_ALT_FOLDER = 120;
  inline static constexpr std::size_t MAX_DATA_ID = 40;
  inline static constexpr std::size_t MAX_KAMOKU_NAME = 16;
  inline static constexpr std::size_t MAX_DISP_NAME = 31;
  inline static constexpr std::size_t MAX_DATA_PATH = 258;  // 259 with the trailing "/"
  inline static constexpr long long MAX_AMOUNT = 999999999999999LL;

  struct Company {
    CString strName;
    short nStartYear = 0, nStartMonth = 0, nStartDay = 0;
    short nEndYear = 0, nEndMonth = 0, nEndDay = 0;
    short nKeiei = 1;  // 2: 'individual'
    CString strAltFolder;
    bool bNetAssets = false;
    CString strDataID;
  };
  struct Account {
    short nCode = 0;
    CString strName;
    CString strDispName;  // empty: the name
    std::int32_t nNo = 0;
    bool bHide = false;
    std::uint8_t bySide = 1;   // KAMOKU_KARIKATA or KAMOKU_KASIKATA
    std::uint8_t byClass = 0;  // KAMOKU_CLASS
  };
  struct Journal {
    int nDate = 0;  // YYYYMMDD, within the fiscal year
    short nDebit = 0;
    short nCredit = 0;
    long long llAmount = 0;
    bool bSettlement = false;
    CString strDescription;
  };

  CBooksDatabase() = default;
  ~CBooksDatabase();
  CBooksDatabase(const CBooksDatabase&) = delete;
  CBooksDatabase& operator=(const CBooksDatabase&) = delete;

  // strFolder: the data set's final folder (absolute, must not exist; its
  // parent must).
  bool Begin(const CString& strFolder, const Company& company);
  // Accounts in list order. Codes 9071, 9111, 9143, 9160, 9201, 9202, 9241,
  // 9282 are total accounts (class KAMOKU_CLASS_TOTAL, always hidden) and no
  // other code may have that class; Commit adds those not given.
  bool AddAccount(const Account& account);
  // Balance-sheet accounts only, amount on the account's own side.
  bool SetOpeningBalance(short nCode, long long llAmount);
  // Both accounts must exist, differ and not be totals.
  bool AddJournal(const Journal& line);
  // The temporary folder, for files that should travel with the data set.
  const CString& GetWorkFolder() const { return m_strWork; }
  // Checks that the opening balances balance, records the data set in the
  // management database under strListName (empty: the business name) with
  // number nDataNo (0: the next free one) and moves the folder into place.
  // The folder is recorded as given to Begin.
  bool Commit(const CString& strManagementDb, const CString& strListName, int nDataNo,
              int* pnDataNo);
  void Abort();
  const CString& GetError() const { return m_strError; }

 private:
  bool Fail(const char* szWhy);
  bool AddMissingTotals();
  // The books file closed and on the disk with its folder.
  bool CompleteBooks(const std::string& osWork);
  // The data set listed in the management database and its folder moved
  // into place, both durable; nAssigned its number.
  bool RecordDataSet(const CString& strManagementDb, const CString& strListName, int nDataNo,
                     const std::string& osWork, const std::string& osFinal, int& nAssigned);

  CString m_strFolder;
  CString m_strWork;
  CString m_strBusiness;
  bool m_bNetAssets = false;
  CFiscalYear m_year;
  CSqlite m_db;
  CSqliteStmt m_stmtJournal;
  std::map<short, Account> m_accounts;
  long long m_nSeq = 0;
  CString m_strError;
};
