#include "CSqliteStmt.h"

#include <sqlite3.h>

CSqliteStmt::~CSqliteStmt() { sqlite3_finalize(m_pStmt); }

bool CSqliteStmt::Prepare(sqlite3* pDb, const char* szSql) {
  sqlite3_finalize(m_pStmt);
  m_pStmt = nullptr;
  return pDb != nullptr && sqlite3_prepare_v2(pDb, szSql, -1, &m_pStmt, nullptr) == SQLITE_OK;
}

void CSqliteStmt::Finalize() {
  sqlite3_finalize(m_pStmt);
  m_pStmt = nullptr;
}

bool CSqliteStmt::Bind(int nIndex, std::int64_t nValue) {
  return sqlite3_bind_int64(m_pStmt, nIndex, nValue) == SQLITE_OK;
}

bool CSqliteStmt::Bind(int nIndex, const std::string& strText) {
  return sqlite3_bind_text(m_pStmt, nIndex, strText.data(), static_cast<int>(strText.size()),
                           SQLITE_TRANSIENT) == SQLITE_OK;
}

int CSqliteStmt::Step() { return m_pStmt == nullptr ? SQLITE_MISUSE : sqlite3_step(m_pStmt); }

bool CSqliteStmt::Reset() {
  return sqlite3_reset(m_pStmt) == SQLITE_OK && sqlite3_clear_bindings(m_pStmt) == SQLITE_OK;
}

std::int64_t CSqliteStmt::GetInt(int nColumn) const {
  return sqlite3_column_int64(m_pStmt, nColumn);
}

std::string CSqliteStmt::GetText(int nColumn) const {
  const unsigned char* p = sqlite3_column_text(m_pStmt, nColumn);
  if (p == nullptr) return std::string();
  return std::string(reinterpret_cast<const char*>(p),
                     static_cast<std::size_t>(sqlite3_column_bytes(m_pStmt, nColumn)));
}

bool CSqliteStmt::IsNull(int nColumn) const {
  return sqlite3_column_type(m_pStmt, nColumn) == SQLITE_NULL;
}
