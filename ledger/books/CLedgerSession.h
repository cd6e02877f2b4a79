#pragma once
// State shared by the parts of one CJetAccess and the accounting objects
// built on it: the installation, the open management database and the
// chosen data set. Every read checks afresh that the data set is still
// listed and its books readable.

#include <cstdint>
#include <vector>

#include "CFiscalYear.h"
#include "CInstallation.h"
#include "CManagementDb.h"
#include "CSqlite.h"
#include "LEDGER_DATASET.h"
#include "MAXDATACOUNT.h"
#include "WinTypes.h"

class CLedgerSession {
 public:
  struct Kanri {
    CString strName;
    int nStart[3] = {};  // year, month, day
    int nEnd[3] = {};
    short nKeiei = 0;
    CString strAltFolder;
    bool bNetAssets = false;
    CString strDataID;
    CFiscalYear year;
  };
  struct Kamoku {
    short nCode = 0;
    CString strName;
    CString strDispName;
    std::int32_t nNo = 0;
    bool bHide = false;
    std::uint8_t bySide = 0;
    std::uint8_t byClass = 0;
  };

  bool m_bMasterInit = false;
  MAXDATACOUNT m_first{};
  MAXDATACOUNT m_second{};

  bool Open();
  void Close();
  bool IsOpen() const { return m_mgmt.IsOpen(); }
  const CInstallation& Installation() const { return m_install; }

  // Why the last opening or read of the chosen books failed.
  enum class Fault { None, Missing, InUse, Damaged };

  // The management database's rows; null when it cannot be read. Valid
  // until the next call.
  const std::vector<LEDGER_DATASET>* Rows();
  bool Select(const LEDGER_DATASET& row);
  void ClearSelection();
  const CString& SelectedPath() const { return m_strSelected; }
  std::int32_t SelectedNo() const { return m_nSelectedNo; }

  // Opens the chosen data set's books read-only.
  bool OpenBooks(CSqlite& db);
  Fault LastFault() const { return m_eFault; }
  // The chosen data set's books file.
  CString BooksFile() const;
  // The management record of the chosen books, with CP932 texts.
  bool ReadKanri(CSqlite& db, Kanri& kanri);
  bool ReadKanri(Kanri& kanri);
  // Account titles in list order.
  bool ReadKamoku(CSqlite& db, std::vector<Kamoku>& arKamoku);
  // The chosen books' fiscal year, kept until the choice changes.
  bool GetFiscalYear(CFiscalYear& year);

 private:
  CInstallation m_install;
  CManagementDb m_mgmt;
  CString m_strSelected;
  std::int32_t m_nSelectedNo = 0;
  bool m_bYearCached = false;
  CFiscalYear m_year;
  Fault m_eFault = Fault::None;
};
