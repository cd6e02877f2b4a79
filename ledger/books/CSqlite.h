#pragma once
// A SQLite connection opened by a CP932 path; closed on destruction. A file
// locked by another connection is waited for up to BUSY_TIMEOUT_MS, then
// the statement fails.

#include <string>

#include "WinTypes.h"

struct sqlite3;

class CSqlite {
 public:
  enum OpenMode { OPEN_READ, OPEN_WRITE, OPEN_CREATE };
  inline static constexpr int BUSY_TIMEOUT_MS = 1500;

  CSqlite() = default;
  ~CSqlite();
  CSqlite(const CSqlite&) = delete;
  CSqlite& operator=(const CSqlite&) = delete;

  // OPEN_READ and OPEN_WRITE need an existing file; OPEN_CREATE refuses one.
  bool Open(const CString& strPath, OpenMode eMode);
  void Close();
  bool IsOpen() const { return m_pDb != nullptr; }
  sqlite3* Handle() const { return m_pDb; }
  // The primary SQLite result code of the last failure: of Open when it
  // failed, else of the connection's last statement; SQLITE_CANTOPEN for a
  // file that is missing or not a regular file.
  int LastError() const;

  bool Exec(const char* szSql);
  // The single integer or text a query gives; false when it gives no row.
  bool QueryInt(const char* szSql, long long& nValue);
  bool QueryText(const char* szSql, std::string& strValue);

 private:
  sqlite3* m_pDb = nullptr;
  int m_nOpenError = 0;
};
