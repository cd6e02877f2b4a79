#pragma once
// The batch summary, one line per data set in the rows' order: an aligned
// table for the terminal and a CSV file, both UTF-8.

#include <string>
#include <vector>

#include "CBatchRow.h"

class CBatchSummary {
 public:
  // bWarnings: with the column of the report checks' warnings.
  CBatchSummary(const std::vector<CBatchRow>& arRow, bool bWarnings);

  // Columns padded to the widest cell: a double-byte character takes two
  // columns on a terminal, a single byte one, as CP932 counts them.
  std::string Table() const;
  // A header line, then one line per row; fields quoted where needed.
  std::string Csv() const;

 private:
  struct Column {
    CString strTitle;
    bool bRight;  // numbers are aligned on the right
  };
  std::vector<Column> m_arColumn;
  std::vector<std::vector<CString>> m_arCells;
};
