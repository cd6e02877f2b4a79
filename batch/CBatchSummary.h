#pragma once
// The batch summary, one line per data set in the rows' order: an aligned
// table for the terminal (UTF-8) and a CSV file for a spreadsheet.

#include <string>
#include <vector>

#include "CBatchRow.h"

class CBatchSummary {
 public:
  enum class Encoding { Utf8, Cp932 };

  // bWarnings: with the column of the report checks' warnings.
  CBatchSummary(const std::vector<CBatchRow>& arRow, bool bWarnings);

  // Columns padded to the widest cell: a double-byte character takes two
  // columns on a terminal, a single byte one, as CP932 counts them.
  std::string Table() const;
  // A header line, then one line per row, CRLF-ended; fields quoted where
  // needed. UTF-8 starts with a byte-order mark, so a spreadsheet knows it.
  // The data ID, fiscal year and span, and any text a spreadsheet would
  // take for a number, a date or a formula, are written as ="TEXT", so they
  // stay text.
  std::string Csv(Encoding encoding) const;

  // Lines of an earlier Csv (either encoding, header of the same columns)
  // whose data ID no row of this summary has: they stay in their place, the
  // rows of this summary take the place of the line of their data ID, and
  // rows without one follow. False, changing nothing, when strCsv is no
  // summary of these columns.
  bool MergeInto(const std::string& strCsv);
  // Of an earlier Csv, the file name of each line whose data set was
  // written, with its data ID.
  static std::vector<std::pair<CString, CString>> WrittenFiles(const std::string& strCsv);

 private:
  struct Column {
    CString strTitle;
    bool bRight;  // numbers are aligned on the right
    bool bText;   // always written as text
  };
  // The lines of an earlier Csv as cells, the header first.
  static bool ReadCsv(const std::string& strCsv, std::vector<std::vector<CString>>& arLine);

  std::vector<Column> m_arColumn;
  std::vector<std::vector<CString>> m_arCells;
};
