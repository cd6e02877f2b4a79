#pragma once
// Reads the books database of one data set back into BooksData, leaving
// out the total accounts the ledger adds by itself.

#include <string>

#include "BooksData.h"
#include "WinTypes.h"

class CSqlite;

class BooksDbReader {
 public:
  // strFolder: the data set's folder (CP932).
  bool Read(const CString& strFolder, BooksData& data);

  std::string m_strError;

 private:
  bool ReadKanri(CSqlite& db, BooksData& data);
  bool ReadAccounts(CSqlite& db, BooksData& data);
  bool ReadOpening(CSqlite& db, BooksData& data);
  bool ReadJournal(CSqlite& db, BooksData& data);
};
