#pragma once
// Reads the books database of one data set back into BooksData, leaving
// out the total accounts the ledger adds by itself.

#include <string>

#include "BooksData.h"
#include "WinTypes.h"

class BooksDbReader {
 public:
  // strFolder: the data set's folder (CP932).
  bool Read(const CString& strFolder, BooksData& data);

  std::string m_strError;
};
