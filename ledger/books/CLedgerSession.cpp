#include "CLedgerSession.h"

#include <sqlite3.h>

#include "CBooksDatabase.h"
#include "CSqliteStmt.h"
#include "Cp932.h"

namespace {

bool ToCp932(const std::string& utf8, std::size_t nMax, CString& out) {
  return cp932::FromUtf8(utf8, out) && out.size() <= nMax && out.find('\0') == CString::npos;
}

// A read that SQLite refused: busy or locked books are in use by another
// connection; a missing file is missing; anything else is damage.
CLedgerSession::Fault FaultOf(int nError) {
  switch (nError) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return CLedgerSession::Fault::InUse;
    case SQLITE_CANTOPEN:
      return CLedgerSession::Fault::Missing;
    default:
      return CLedgerSession::Fault::Damaged;
  }
}

void SplitYmd(long long ymd, int out[3]) {
  out[0] = static_cast<int>(ymd / 10000);
  out[1] = static_cast<int>(ymd / 100 % 100);
  out[2] = static_cast<int>(ymd % 100);
}

}  // namespace

bool CLedgerSession::Open() {
  Close();
  if (!m_install.Load()) return false;
  return m_mgmt.Open(m_install.GetManagementDb(), false);
}

void CLedgerSession::Close() {
  m_mgmt.Close();
  m_bYearCached = false;
}

const std::vector<LEDGER_DATASET>* CLedgerSession::Rows() {
  return IsOpen() ? m_mgmt.Rows() : nullptr;
}

bool CLedgerSession::Select(const LEDGER_DATASET& row) {
  m_strSelected = row.szDataPath;
  m_nSelectedNo = row.nDataNo;
  m_bYearCached = false;
  return true;
}

void CLedgerSession::ClearSelection() {
  m_strSelected.clear();
  m_nSelectedNo = 0;
  m_bYearCached = false;
}

bool CLedgerSession::OpenBooks(CSqlite& db) {
  m_eFault = Fault::None;
  if (!IsOpen() || m_strSelected.empty()) return false;
  // The data set must still be listed under the same number and folder.
  const LEDGER_DATASET* pRow = m_mgmt.Find(m_nSelectedNo);
  if (pRow == nullptr || m_strSelected != pRow->szDataPath) return false;
  if (!db.Open(BooksFile(), CSqlite::OPEN_READ)) {
    m_eFault = FaultOf(db.LastError());
    return false;
  }
  std::string kind;
  if (!db.QueryText("SELECT value FROM ledger_meta WHERE key = 'kind'", kind) || kind != "books") {
    m_eFault = db.LastError() == SQLITE_BUSY ? Fault::InUse : Fault::Damaged;
    db.Close();
    return false;
  }
  return true;
}

CString CLedgerSession::BooksFile() const {
  return m_strSelected.empty() ? CString() : m_strSelected + CBooksDatabase::BOOKS_FILE;
}

bool CLedgerSession::ReadKanri(CSqlite& db, Kanri& kanri) {
  kanri = Kanri();
  CSqliteStmt stmt;
  if (!stmt.Prepare(db.Handle(),
                    "SELECT name, start_date, end_date, keiei, alt_folder, net_assets, data_id"
                    " FROM kanri WHERE id = 1") ||
      stmt.Step() != SQLITE_ROW) {
    m_eFault = FaultOf(db.LastError());
    return false;
  }
  Kanri k;
  if (!ToCp932(stmt.GetText(0), CBooksDatabase::MAX_NAME, k.strName) ||
      !ToCp932(stmt.GetText(4), CBooksDatabase::MAX_ALT_FOLDER, k.strAltFolder) ||
      !ToCp932(stmt.GetText(6), CBooksDatabase::MAX_DATA_ID, k.strDataID)) {
    m_eFault = Fault::Damaged;
    return false;
  }
  SplitYmd(stmt.GetInt(1), k.nStart);
  SplitYmd(stmt.GetInt(2), k.nEnd);
  const long long nKeiei = stmt.GetInt(3);
  if (nKeiei < -32768 || nKeiei > 32767) return false;
  k.nKeiei = static_cast<short>(nKeiei);
  k.bNetAssets = stmt.GetInt(5) != 0;
  k.year = CFiscalYear(k.nStart[0], k.nStart[1], k.nStart[2], k.nEnd[0], k.nEnd[1], k.nEnd[2]);
  if (!k.year.IsValid()) {
    m_eFault = Fault::Damaged;
    return false;
  }
  kanri = k;
  return true;
}

bool CLedgerSession::ReadKanri(Kanri& kanri) {
  CSqlite db;
  return OpenBooks(db) && ReadKanri(db, kanri);
}

bool CLedgerSession::ReadKamoku(CSqlite& db, std::vector<Kamoku>& arKamoku) {
  arKamoku.clear();
  CSqliteStmt stmt;
  if (!stmt.Prepare(db.Handle(),
                    "SELECT code, name, disp_name, kamoku_no, hide, side, class FROM kamoku"
                    " ORDER BY seq"))
    return false;
  int rc;
  while ((rc = stmt.Step()) == SQLITE_ROW) {
    Kamoku k;
    const long long nCode = stmt.GetInt(0), nNo = stmt.GetInt(3);
    const long long nSide = stmt.GetInt(5), nClass = stmt.GetInt(6);
    if (nCode < 1 || nCode > 32767 || nNo < INT32_MIN || nNo > INT32_MAX || nNo == 0 || nSide < 1 ||
        nSide > 2 || nClass < 0 || nClass > 255 ||
        !ToCp932(stmt.GetText(1), CBooksDatabase::MAX_KAMOKU_NAME, k.strName) ||
        !ToCp932(stmt.GetText(2), CBooksDatabase::MAX_DISP_NAME, k.strDispName)) {
      arKamoku.clear();
      return false;
    }
    k.nCode = static_cast<short>(nCode);
    k.nNo = static_cast<std::int32_t>(nNo);
    k.bHide = stmt.GetInt(4) != 0;
    k.bySide = static_cast<std::uint8_t>(nSide);
    k.byClass = static_cast<std::uint8_t>(nClass);
    arKamoku.push_back(k);
  }
  if (rc != SQLITE_DONE) arKamoku.clear();
  return rc == SQLITE_DONE;
}

bool CLedgerSession::GetFiscalYear(CFiscalYear& year) {
  if (!m_bYearCached) {
    Kanri kanri;
    if (!ReadKanri(kanri)) return false;
    m_year = kanri.year;
    m_bYearCached = true;
  }
  year = m_year;
  return true;
}
