#pragma once
// Adds a year's journal export (and its opening balances) to an
// installation as one data set, all or nothing, through the books store's
// own import (BooksCsvImporter). The journal is read twice, once to check
// it and find its account titles, once to store it, so that memory does not
// grow with its length. Titles are matched against the standard chart and
// a chart of the user's own; titles found in neither fail the import and
// are written to JOURNAL.unknown-accounts.csv beside the journal, ready to
// be filled in and passed back as the user's chart.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "AccountNames.h"
#include "BooksData.h"
#include "OpeningReader.h"
#include "StandardChart.h"

class CInstallation;

class JournalImport {
 public:
  struct Options {
    std::filesystem::path m_journal;
    std::filesystem::path m_opening;   // empty: no balances carried forward
    std::filesystem::path m_accounts;  // empty: the standard chart alone
    std::string m_strName;             // UTF-8
    std::string m_strStart, m_strEnd;  // YYYY-MM-DD
    std::string m_strDataId;           // empty: the first free 8-digit number
    std::string m_strNetAssets = "0";
    bool m_bDryRun = false;
  };
  // The shipped chart's file name in the program folder and in data/.
  inline static constexpr const char* CHART_FILE = "standard-accounts.csv";

  // shipped: the standard chart to use when the installation holds none.
  // A dry run writes what would be added to out and adds nothing.
  bool Run(const CInstallation& installation, const std::filesystem::path& shipped,
           const Options& options, std::ostream& out);

  std::vector<std::string> m_arError;  // UTF-8, each naming file, line and field
  int m_nDataNo = 0;
  std::filesystem::path m_unknownFile;  // the skeleton written; empty: none

 private:
  struct Total {
    long long m_nDebit = 0;  // movements of the year, both sides
    long long m_nCredit = 0;
  };

  bool ReadCompany(const CInstallation& installation, const Options& options);
  bool ResolveAccounts(const StandardChart& chart, const std::filesystem::path& journal);
  bool ReadOpening(const std::filesystem::path& path);
  bool BuildOpening(const std::string& strFile);
  bool Store(const CInstallation& installation, const Options& options);
  void Preview(const CInstallation& installation, std::ostream& out) const;
  // An account's balance at the end of the year on its own side.
  long long Closing(const BooksData::Account& account) const;

  BooksData m_data;
  AccountNames m_names;
  std::vector<int> m_arCodeOfId;  // per name number: the account code
  std::vector<Total> m_arTotal;   // per name number
  std::vector<OpeningReader::Balance> m_arBalance;
  std::size_t m_nRecords = 0, m_nVouchers = 0, m_nLines = 0;
};
