#pragma once
// The field rules of the CSV readers: a field is quoted or not; a quoted
// field may hold commas, doubled quotes and line breaks; blanks around an
// unquoted field are dropped; a line of nothing but blanks is no record; a
// line ends at LF, CR LF or CR. The text is handed over piece by piece (a
// reader that holds all of it hands it over at once) and the fields of one
// record at a time go into the caller's vector, whose strings are reused.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CsvFieldScanner {
 public:
  enum class Step {
    kMore,    // the text ran out inside a record: hand over more, or call End
    kRecord,  // a record is complete in the caller's vector
    kFault,   // a quoting fault (m_fault); scanning may go on past it
    kEnd,     // from End: no record was open
  };
  enum class Fault {
    kTextAfterQuote,  // text after the closing quotation mark of a field
    kQuoteInField,    // a quotation mark inside an unquoted field (kept as text)
    kOpenQuote,       // from End: a quoted field is not closed
  };

  // Scans text from nPos, leaving nPos after the last character it took.
  Step Scan(std::string_view text, std::size_t& nPos, std::vector<std::string>& arField);
  // The end of the text: completes the record that is open.
  Step End(std::vector<std::string>& arField);

  Fault m_fault = Fault::kTextAfterQuote;
  std::size_t m_nField = 0;  // index of the field being read in the record
  int m_nLine = 1;           // the physical line being read
  int m_nRecordLine = 1;     // the line on which the record being read starts
  int m_nQuoteLine = 0;      // the line on which the open quoted field starts

 private:
  enum class State {
    kUnquoted,       // in an unquoted field, or before a field's first mark
    kQuoted,         // inside a quoted field
    kQuoteInQuoted,  // a quotation mark inside a quoted field: closing or doubled
    kClosed,         // after a quoted field's closing quotation mark
  };

  std::string& Field(std::vector<std::string>& arField);
  void EndField(std::vector<std::string>& arField);
  Step EndRecord(std::vector<std::string>& arField);
  bool LineEnd(char c);
  Step Unquoted(std::string_view text, std::size_t& nPos, std::vector<std::string>& arField);
  void Quoted(std::string_view text, std::size_t& nPos, std::vector<std::string>& arField);

  State m_state = State::kUnquoted;
  bool m_bAny = false;       // the record has content
  bool m_bNew = true;        // the next character starts a record
  bool m_bAfterCr = false;   // a CR ended the last line: a LF right after it is part of it
};
