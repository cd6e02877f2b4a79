#pragma once
// The books of one data set, opened for reading only: the start-up checks
// that matter for reading (installation files, management database, books),
// the host objects the aggregation reaches the books through, and the
// records of the chosen data set. Takes no guard and writes nothing.
//
// Use: Open(), then SelectDataID() (or SelectIndex() over ListDataSets()),
// then ReadBooks(). A false result leaves its reason in GetError().
// While the object lives it is the process's data access (g_pJetAccess,
// g_pKaikei); one object at a time.

#include <memory>
#include <vector>

#include "LEDGER_DATASET.h"
#include "S_KANKAMOKU.h"
#include "S_KANRI.h"
#include "S_KANRI2.h"
#include "WinTypes.h"

class CJetAccess;
class CKaikei;
class CKumiSen;
class CYmd;
class CDenModify;

class CReportBooks {
 public:
  CReportBooks();
  ~CReportBooks();
  CReportBooks(const CReportBooks&) = delete;
  CReportBooks& operator=(const CReportBooks&) = delete;

  // Makes the program folder the current folder and checks the installation
  // files (host program, SUPPORT.INF, the common initial-data file).
  bool OpenInstallation();
  // OpenInstallation, then checks the management database and opens the
  // data access.
  bool Open();
  bool IsCooperative() const { return m_bCooperative; }

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
  const CString& GetProgramFolder() const { return m_strProgramFolder; }
  const CString& GetDataPath() const { return m_strDataPath; }
  const S_KANRI& Kanri() const { return m_kanri; }
  const S_KANRI2& Kanri2() const { return m_kanri2; }
  CArray<S_KANKAMOKU, S_KANKAMOKU>& Kamoku() { return m_arKamoku; }

 private:
  bool Fail(const CString& strError);

  std::unique_ptr<CJetAccess> m_pJetAccess;
  std::unique_ptr<CYmd> m_pYmd;
  std::unique_ptr<CKumiSen> m_pKumiSen;
  std::unique_ptr<CKaikei> m_pKaikei;
  std::unique_ptr<CDenModify> m_pDenModify;
  bool m_bOpen = false;
  bool m_bCooperative = false;
  CString m_strProgramFolder;
  CString m_strDataPath;
  CString m_strError;
  S_KANRI m_kanri{};
  S_KANRI2 m_kanri2{};
  CArray<S_KANKAMOKU, S_KANKAMOKU> m_arKamoku;
};
