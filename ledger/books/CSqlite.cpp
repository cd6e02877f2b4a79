#include "CSqlite.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include "CSqliteStmt.h"
#include "OsPath.h"

CSqlite::~CSqlite() { Close(); }

bool CSqlite::Open(const CString& strPath, OpenMode eMode) {
  Close();
  m_nOpenError = SQLITE_CANTOPEN;
  std::string os;
  if (!platform::ToOsPath(strPath, os)) return false;
  struct stat st;
  const bool bExists = ::stat(os.c_str(), &st) == 0;
  if (eMode == OPEN_CREATE ? bExists : !(bExists && S_ISREG(st.st_mode))) return false;
  int nFlags = SQLITE_OPEN_NOMUTEX;
  if (eMode == OPEN_READ)
    nFlags |= SQLITE_OPEN_READONLY;
  else if (eMode == OPEN_WRITE)
    nFlags |= SQLITE_OPEN_READWRITE;
  else
    nFlags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  if (sqlite3_open_v2(os.c_str(), &m_pDb, nFlags, nullptr) != SQLITE_OK) {
    m_nOpenError = sqlite3_errcode(m_pDb) & 0xff;
    Close();
    return false;
  }
  sqlite3_extended_result_codes(m_pDb, 1);
  // The host may be writing the books: wait a moment for its lock instead
  // of failing at once.
  sqlite3_busy_timeout(m_pDb, BUSY_TIMEOUT_MS);
  // A file that is not a database only shows itself at the first read.
  long long nVersion = 0;
  if (!QueryInt("PRAGMA schema_version", nVersion)) {
    m_nOpenError = sqlite3_errcode(m_pDb) & 0xff;
    Close();
    return false;
  }
  m_nOpenError = 0;
  return true;
}

int CSqlite::LastError() const {
  return m_pDb != nullptr ? sqlite3_errcode(m_pDb) & 0xff : m_nOpenError;
}

void CSqlite::Close() {
  if (m_pDb != nullptr) sqlite3_close_v2(m_pDb);
  m_pDb = nullptr;
}

bool CSqlite::Exec(const char* szSql) {
  return m_pDb != nullptr && sqlite3_exec(m_pDb, szSql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool CSqlite::QueryInt(const char* szSql, long long& nValue) {
  CSqliteStmt stmt;
  if (!stmt.Prepare(m_pDb, szSql) || stmt.Step() != SQLITE_ROW) return false;
  nValue = stmt.GetInt(0);
  return true;
}

bool CSqlite::QueryText(const char* szSql, std::string& strValue) {
  CSqliteStmt stmt;
  if (!stmt.Prepare(m_pDb, szSql) || stmt.Step() != SQLITE_ROW) return false;
  strValue = stmt.GetText(0);
  return true;
}
