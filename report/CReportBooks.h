#pragma once
// The books of one data set, opened for reading only: the start-up of the
// use given (CStartUp; by default the report's, which takes no guard), the
// host objects the aggregation reaches the books through, and the records
// of the chosen data set. Writes nothing.
//
// Use: Open(), then SelectDataID() (or SelectIndex() over ListDataSets()),
// then ReadBooks(). A false result leaves its reason in GetError().
// While the object lives it owns the process's host objects (g_pJetAccess,
// g_pKaikei …); one object at a time.

#include <vector>

#include "CStartUp.h"
#include "LEDGER_DATASET.h"
#include "S_KANKAMOKU.h"
#include "S_KANRI.h"
#include "S_KANRI2.h"
#include "WinTypes.h"

class CReportBooks {
 public:
  explicit CReportBooks(StartUpUse use = StartUpUse::Read);
  CReportBooks(const CReportBooks&) = delete;
  CReportBooks& operator=(const CReportBooks&) = delete;

  // The start-up: the program folder becomes the current folder, the
  // management database is checked and the data access opened, the
  // installation files (host program, SUPPORT.INF, the common initial-data
  // file) are checked.
  bool Open();
  // Ends the data access and deletes the host objects; the start-up's guards
  // stay while the object lives.
  void Close() { m_startUp.CloseBooks(); }
  bool IsCooperative() const { return CStartUp::IsCooperative(); }

  // The data sets of the management database in list order.
  bool ListDataSets(std::vector<LEDGER_DATASET>& arRows);
  bool SelectIndex(short nIndex);
  bool SelectDataID(const CString& strDataID);

  // Reads the management records of the chosen data set (business name,
  // fiscal year, management form, data ID) alone.
  bool ReadRecords();
  // After ReadRecords: the account titles; refuses the books of an
  // individual business.
  bool ReadAccounts();
  // ReadRecords, then ReadAccounts.
  bool ReadBooks();

  const CString& GetError() const { return m_strError; }
  const CString& GetProgramFolder() const { return m_startUp.ProgramFolder(); }
  const CString& GetDataPath() const { return m_strDataPath; }
  const S_KANRI& Kanri() const { return m_kanri; }
  const S_KANRI2& Kanri2() const { return m_kanri2; }
  CArray<S_KANKAMOKU, S_KANKAMOKU>& Kamoku() { return m_arKamoku; }

 private:
  bool Fail(const CString& strError);
  CJetAccess& Jet() const { return m_startUp.JetAccess(); }

  CStartUp m_startUp;
  CString m_strDataPath;
  CString m_strError;
  S_KANRI m_kanri{};
  S_KANRI2 m_kanri2{};
  CArray<S_KANKAMOKU, S_KANKAMOKU> m_arKamoku;
};
