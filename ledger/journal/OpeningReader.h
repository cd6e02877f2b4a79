#pragma once
// Reads the opening-balance export that goes with a journal export:
// columns 期首日, 勘定科目, 貸借区分, 補助科目, 部門, 前期繰越残高, a
// header row optional. Sub-accounts and departments fold into their
// account. 期首日 is the first day of the fiscal year.

#include <string>
#include <vector>

#include "BooksData.h"
#include "InterchangeCsvReader.h"

class AccountNames;

class OpeningReader {
 public:
  struct Balance {
    int m_nId = 0;           // AccountNames number
    bool m_bCredit = false;  // the side the balance stands on, as written
    long long m_nAmount = 0;
    int m_nLine = 0;
  };

  bool Read(InterchangeCsvReader& reader, const std::string& strFile, AccountNames& names,
            const BooksData::Date& start);

  std::vector<Balance> m_arBalance;
  std::vector<std::string> m_arError;
};
