#pragma once
// import-journal INSTALLATION JOURNAL.csv [--opening BALANCES.csv]
//   [--accounts CHART.csv] --name NAME --fiscal-start YYYY-MM-DD
//   --fiscal-end YYYY-MM-DD [--data-id ID] [--net-assets 0|1] [--dry-run]
// adds a journal export of an accounting program as a new data set.

#include <string>
#include <vector>

class JournalCommand {
 public:
  static int Run(const std::vector<std::string>& arArg);
};
