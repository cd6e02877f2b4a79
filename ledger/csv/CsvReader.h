#pragma once
// Reads one CSV file with a header row into UTF-8 fields. The file may be
// UTF-8 (with or without a byte-order mark) or CP932; quoted fields may hold
// commas, doubled quotes and line breaks. Errors name the file and the line.

#include <filesystem>
#include <string>
#include <vector>

class CsvFieldScanner;

class CsvReader {
 public:
  struct Row {
    int m_nLine = 0;  // physical line on which the record starts (the header is line 1)
    std::vector<std::string> m_arField;
  };

  // Reads the file named strFile in the folder. False with m_strError set
  // when it cannot be read, is neither UTF-8 nor CP932, or is badly quoted.
  bool Load(const std::filesystem::path& folder, const std::string& strFile);
  // Parses text already in memory (for tests and for Load).
  bool Parse(const std::string& strFile, std::string_view text);

  // Maps the header to the expected columns. Every required column must be
  // present, optional ones may be; any other column is refused so that a
  // misspelt name is not silently ignored. Column names are matched without
  // regard to case or surrounding blanks.
  bool BindColumns(const std::vector<std::string>& arRequired,
                   const std::vector<std::string>& arOptional);
  // Index of a bound column, -1 when an optional column is absent.
  int Column(const std::string& strName) const;
  // The row's field of a bound column; empty when the column is absent or the
  // row is short.
  const std::string& Field(const Row& row, const std::string& strName) const;

  std::string m_strFile;
  std::string m_strEncoding;  // "UTF-8" or "CP932"
  std::vector<std::string> m_arHeader;
  std::vector<Row> m_arRow;
  std::string m_strError;

 private:
  bool Decode(std::string_view raw, std::string& text);
  bool Split(const std::string& text, std::vector<Row>& rows);
  std::string FaultText(const CsvFieldScanner& scanner) const;

  std::vector<std::pair<std::string, int>> m_arBound;
};
