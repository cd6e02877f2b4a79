#pragma once
// Reads a headerless CSV export record by record, so that a journal of any
// length is read in fixed memory. The file may be CP932 or UTF-8 (with or
// without a byte-order mark); fields are handed out in CP932. Quoted fields
// may hold commas, doubled quotes and line breaks; blanks around an unquoted
// field are dropped; empty lines are skipped; line ends are LF or CR LF.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "CsvFieldScanner.h"

class InterchangeCsvReader {
 public:
  struct Record {
    int m_nLine = 0;  // physical line on which the record starts
    std::vector<std::string> m_arField;
    // Indexes of fields whose text is not CP932 or has no CP932 form.
    std::vector<std::size_t> m_arBadField;
    std::string m_strError;  // a quoting fault of this record; empty: none
  };

  InterchangeCsvReader() = default;
  ~InterchangeCsvReader();
  InterchangeCsvReader(const InterchangeCsvReader&) = delete;
  InterchangeCsvReader& operator=(const InterchangeCsvReader&) = delete;

  // False with m_strError set when the file cannot be opened.
  bool Open(const std::filesystem::path& path);
  // Reads text held in memory instead of a file.
  void OpenText(std::string strText);
  // The next record; false at the end of the file, or when it cannot be read
  // further (m_strError is then set).
  bool Next(Record& record);

  std::string m_strError;
  std::string m_strEncoding;  // "UTF-8" or "CP932" once a record has told them apart

 private:
  bool Fill();
  int Peek();
  void SkipByteOrderMark();
  std::string FaultText() const;
  void Finish(Record& record);

  CsvFieldScanner m_scanner;

  std::FILE* m_pFile = nullptr;
  std::string m_strBuf;
  std::size_t m_nPos = 0;
  bool m_bStarted = false;
};
