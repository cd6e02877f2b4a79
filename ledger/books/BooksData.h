#pragma once
// One data set's books as read from or written to a books folder: the
// management fields, the chart of accounts, opening balances and journal.
// Texts are UTF-8 here; they are CP932 only in the host records.

#include <cstdint>
#include <string>
#include <vector>

struct BooksData {
  struct Date {
    int m_nYear = 0;
    int m_nMonth = 0;
    int m_nDay = 0;
    int Serial() const { return m_nYear * 10000 + m_nMonth * 100 + m_nDay; }
    bool operator==(const Date&) const = default;
  };

  struct Account {
    std::int16_t m_nCode = 0;
    std::int32_t m_nNumber = 0;
    std::string m_strName;
    std::string m_strDispName;
    bool m_bCredit = false;  // side: false debit, true credit
    std::string m_strClass;  // one of the names of BooksFolderReader::Classes()
    bool m_bHidden = false;
    bool operator==(const Account&) const = default;
  };

  struct Opening {
    std::int16_t m_nCode = 0;
    std::int64_t m_nBalance = 0;  // on the account's own side
    bool operator==(const Opening&) const = default;
  };

  struct Entry {
    Date m_date;
    std::int16_t m_nDebit = 0;
    std::int16_t m_nCredit = 0;
    std::int64_t m_nAmount = 0;
    bool m_bSettlement = false;
    std::string m_strDescription;
    bool operator==(const Entry&) const = default;
  };

  std::string m_strName;  // business name
  Date m_start;
  Date m_end;
  std::int16_t m_nKeieiKeitai = 1;  // management form: 1 corporation, 2 individual
  bool m_bNetAssets = false;
  std::string m_strDataId;
  // Folder whose environment file a data set without one takes over; empty: none.
  std::string m_strAltFolder;
  std::vector<Account> m_arAccount;
  std::vector<Opening> m_arOpening;
  std::vector<Entry> m_arEntry;

  bool operator==(const BooksData&) const = default;
};
