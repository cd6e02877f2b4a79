#pragma once
// Reads and checks a books folder (company.csv, accounts.csv, opening.csv,
// journal.csv). Every problem found is reported with file, line and field;
// the data is usable only when Read returns true.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "BooksData.h"
#include "CsvReader.h"

class BooksFolderReader {
 public:
  // The account classes the host's total accounts are built from.
  static const std::vector<std::string>& Classes();
  // True for the classes whose accounts are carried forward.
  static bool IsBalanceSheetClass(const std::string& strClass);
  // Codes and numbers the ledger keeps for its own total accounts.
  static bool IsReserved(int n);

  // Field limits given by the host records, in CP932 bytes without the NUL.
  static constexpr std::size_t kNameMax = 80;
  static constexpr std::size_t kAccountNameMax = 16;
  static constexpr std::size_t kDispNameMax = 31;
  static constexpr std::size_t kDataIdMax = 40;
  static constexpr std::size_t kAltFolderMax = 120;
  // Amounts stay exact in the doubles of the monthly table.
  static constexpr long long kAmountMax = 999'999'999'999'999LL;
  // At most this many problems are listed; the rest are counted.
  static constexpr std::size_t kErrorMax = 50;

  bool Read(const std::filesystem::path& folder, BooksData& data);
  // Checks a business given elsewhere than in company.csv (on a command
  // line, say): company.csv's columns with their values (UTF-8). Problems
  // name strSource and the column.
  bool ReadCompanyFields(const std::vector<std::pair<std::string, std::string>>& arField,
                         const std::string& strSource, BooksData& data);

  std::vector<std::string> m_arError;

 private:
  void ReadCompany(CsvReader& csv, BooksData& data);
  int CompanyLine(const CsvReader::Row& row) const;
  void ReadCompanyName(const CsvReader& csv, const CsvReader::Row& row, BooksData& data);
  void ReadFiscalYear(const CsvReader& csv, const CsvReader::Row& row, BooksData& data);
  void CheckFiscalSpan(int n, const BooksData::Date& start, const BooksData::Date& end);
  void ReadManagementForm(const CsvReader& csv, const CsvReader::Row& row, BooksData& data);
  void ReadDataId(const CsvReader& csv, const CsvReader::Row& row, BooksData& data);
  void ReadAltFolder(const CsvReader& csv, const CsvReader::Row& row, BooksData& data);
  void ReadAccounts(CsvReader& csv, BooksData& data);
  bool ReadAccountKey(const std::string& strText, int n, const char* pszField, long long nMax,
                      std::map<long long, int>& seen, long long& v);
  bool CheckAccountNames(int n, const BooksData::Account& a);
  bool ReadAccountKind(const CsvReader& csv, const CsvReader::Row& row, BooksData::Account& a);
  void ReadOpening(CsvReader& csv, BooksData& data);
  void ReadJournal(CsvReader& csv, BooksData& data);
  bool ReadEntryDate(const CsvReader& csv, const CsvReader::Row& row, const BooksData& data,
                     BooksData::Entry& e);
  bool ReadEntryAccounts(const CsvReader& csv, const CsvReader::Row& row,
                         const std::map<long long, bool>& codes, BooksData::Entry& e);
  bool CheckRowWidth(const CsvReader& csv, int nLine, std::size_t nFields);
  void Error(const std::string& strFile, int nLine, const std::string& strField,
             const std::string& strText);

  std::size_t m_nSuppressed = 0;
  std::string m_strCompanyFile = "company.csv";
};
