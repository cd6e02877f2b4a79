#include "CManagementDb.h"

#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "CSqliteStmt.h"
#include "Cp932.h"
#include "OsPath.h"

namespace {

const char* const kSchema =
    "CREATE TABLE ledger_meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE TABLE dataset(data_no INTEGER PRIMARY KEY CHECK(data_no > 0),"
    " name TEXT NOT NULL, folder TEXT NOT NULL UNIQUE, seq INTEGER NOT NULL UNIQUE);"
    "INSERT INTO ledger_meta VALUES('kind', 'management'), ('schema', '1');";

// Lexical only; safe on CP932 bytes, where no trail byte is a "/".
CString Normal(const CString& strPath) {
  return std::filesystem::path(strPath).lexically_normal().string();
}

bool CopyText(const CString& text, char* dest, std::size_t size) {
  if (text.size() >= size) return false;
  std::memset(dest, 0, size);
  std::memcpy(dest, text.data(), text.size());
  return true;
}

}  // namespace

bool CManagementDb::Create(const CString& strPath, short nEdition) {
  CSqlite db;
  if (!db.Open(strPath, CSqlite::OPEN_CREATE)) return false;
  const std::string sql = std::string("BEGIN;") + kSchema +
                          "INSERT INTO ledger_meta VALUES('edition', '" + std::to_string(nEdition) +
                          "');COMMIT;";
  return db.Exec(sql.c_str());
}

bool CManagementDb::Open(const CString& strPath, bool bWrite) {
  Close();
  bool bOpened = m_db.Open(strPath, bWrite ? CSqlite::OPEN_WRITE : CSqlite::OPEN_READ);
  // A journal that a failed write left behind can only be rolled back by a
  // connection that may write; a reader opens the database so once.
  std::string osJournal;
  std::error_code ec;
  if (!bOpened && !bWrite && platform::ToOsPath(strPath + "-journal", osJournal) &&
      std::filesystem::exists(osJournal, ec)) {
    bOpened = m_db.Open(strPath, CSqlite::OPEN_WRITE);
  }
  if (!bOpened) return false;
  // A commit ends with the journal's removal: without a sync of the folder a
  // power loss can bring the journal back and roll a reported change back.
  if (bWrite && !m_db.Exec("PRAGMA synchronous = EXTRA")) {
    Close();
    return false;
  }
  std::string kind;
  if (!m_db.QueryText("SELECT value FROM ledger_meta WHERE key = 'kind'", kind) ||
      kind != "management") {
    Close();
    return false;
  }
  const auto slash = strPath.rfind('/');
  CString strDir = slash == CString::npos ? CString("./") : strPath.substr(0, slash + 1);
  if (strDir[0] != '/') {
    // Anchored now, so that the folders handed out stay right if the working folder changes.
    CString strCwd;
    const auto cwd = std::filesystem::current_path(ec);
    if (!ec && platform::FromOsPath(cwd.string(), strCwd)) strDir = strCwd + "/" + strDir;
  }
  m_strDir = Normal(strDir);
  if (m_strDir.back() != '/') m_strDir += '/';
  return true;
}

void CManagementDb::Close() {
  m_db.Close();
  m_strDir.clear();
  m_bCached = false;
  m_arCached.clear();
  m_mapByNo.clear();
}

bool CManagementDb::ResolveFolder(const CString& strStored, CString& strFolder) const {
  if (strStored.empty()) return false;
  strFolder = strStored[0] == '/' ? strStored : m_strDir + strStored;
  if (strFolder.back() != '/') strFolder += '/';
  return true;
}

CString CManagementDb::StoredFolder(const CString& strFolder) const {
  if (strFolder.empty() || strFolder[0] != '/' || m_strDir.empty() || m_strDir[0] != '/')
    return strFolder;
  CString strNormal = Normal(strFolder);
  while (strNormal.size() > 1 && strNormal.back() == '/') strNormal.pop_back();
  if (strNormal.size() <= m_strDir.size() || strNormal.compare(0, m_strDir.size(), m_strDir) != 0)
    return strFolder;
  return strNormal.substr(m_strDir.size());
}

bool CManagementDb::List(std::vector<LEDGER_DATASET>& arRows) {
  const std::vector<LEDGER_DATASET>* pRows = Rows();
  if (pRows == nullptr) {
    arRows.clear();
    return false;
  }
  arRows = *pRows;
  return true;
}

const std::vector<LEDGER_DATASET>* CManagementDb::Rows() {
  // The data version changes whenever another connection commits a change.
  long long nVersion = 0;
  if (!m_db.QueryInt("PRAGMA data_version", nVersion)) {
    m_bCached = false;
    return nullptr;
  }
  if (m_bCached && nVersion == m_nCachedVersion) return &m_arCached;
  m_bCached = ReadRows(m_arCached);
  m_mapByNo.clear();
  if (!m_bCached) return nullptr;
  m_nCachedVersion = nVersion;
  for (std::size_t i = 0; i < m_arCached.size(); ++i) m_mapByNo[m_arCached[i].nDataNo] = i;
  return &m_arCached;
}

const LEDGER_DATASET* CManagementDb::Find(std::int32_t nDataNo) {
  if (Rows() == nullptr) return nullptr;
  const auto it = m_mapByNo.find(nDataNo);
  return it == m_mapByNo.end() ? nullptr : &m_arCached[it->second];
}

bool CManagementDb::ReadRows(std::vector<LEDGER_DATASET>& arRows) const {
  arRows.clear();
  CSqliteStmt stmt;
  if (!stmt.Prepare(m_db.Handle(), "SELECT data_no, name, folder FROM dataset ORDER BY seq"))
    return false;
  int rc;
  while ((rc = stmt.Step()) == SQLITE_ROW) {
    LEDGER_DATASET row{};
    CString name, stored, folder;
    if (!cp932::FromUtf8(stmt.GetText(1), name) || !cp932::FromUtf8(stmt.GetText(2), stored) ||
        !ResolveFolder(stored, folder) || !CopyText(name, row.szName, sizeof row.szName) ||
        !CopyText(folder, row.szDataPath, sizeof row.szDataPath)) {
      arRows.clear();
      return false;
    }
    row.nDataNo = static_cast<std::int32_t>(stmt.GetInt(0));
    arRows.push_back(row);
  }
  if (rc != SQLITE_DONE) arRows.clear();
  return rc == SQLITE_DONE;
}

bool CManagementDb::Insert(int nDataNo, const CString& strName, const CString& strFolder,
                           int& nAssigned) {
  // This connection's own changes leave the data version as it is.
  m_bCached = false;
  std::string name, folder;
  if (nDataNo < 0 || !cp932::ToUtf8(strName, name) ||
      !cp932::ToUtf8(StoredFolder(strFolder), folder))
    return false;
  long long nNext = 0, nSeq = 0;
  if (!m_db.QueryInt("SELECT coalesce(max(data_no), 0) + 1 FROM dataset", nNext) ||
      !m_db.QueryInt("SELECT coalesce(max(seq), 0) + 1 FROM dataset", nSeq))
    return false;
  CSqliteStmt stmt;
  if (!stmt.Prepare(m_db.Handle(),
                    "INSERT INTO dataset(data_no, name, folder, seq) VALUES(?,?,?,?)"))
    return false;
  const long long nNo = nDataNo == 0 ? nNext : nDataNo;
  if (!stmt.Bind(1, nNo) || !stmt.Bind(2, name) || !stmt.Bind(3, folder) || !stmt.Bind(4, nSeq) ||
      stmt.Step() != SQLITE_DONE)
    return false;
  nAssigned = static_cast<int>(nNo);
  return true;
}
