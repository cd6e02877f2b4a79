#pragma once
// A prepared statement of a CSqlite connection; finalised on destruction.

#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

class CSqliteStmt {
 public:
  CSqliteStmt() = default;
  ~CSqliteStmt();
  CSqliteStmt(const CSqliteStmt&) = delete;
  CSqliteStmt& operator=(const CSqliteStmt&) = delete;

  bool Prepare(sqlite3* pDb, const char* szSql);
  bool IsValid() const { return m_pStmt != nullptr; }
  void Finalize();

  bool Bind(int nIndex, std::int64_t nValue);
  bool Bind(int nIndex, const std::string& strText);
  // SQLITE_ROW, SQLITE_DONE or an error code.
  int Step();
  bool Reset();

  std::int64_t GetInt(int nColumn) const;
  std::string GetText(int nColumn) const;
  bool IsNull(int nColumn) const;

 private:
  sqlite3_stmt* m_pStmt = nullptr;
};
