#include "CsvFieldScanner.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void TrimBlanks(std::string& s) {
  if (s.empty() || (!IsBlank(s.front()) && !IsBlank(s.back()))) return;
  const auto e = s.find_last_not_of(" \t");
  s.erase(e == std::string::npos ? 0 : e + 1);
  s.erase(0, s.find_first_not_of(" \t"));
}

}  // namespace

std::string& CsvFieldScanner::Field(std::vector<std::string>& arField) {
  if (m_nField == arField.size()) arField.emplace_back();
  return arField[m_nField];
}

void CsvFieldScanner::EndField(std::vector<std::string>& arField) {
  if (m_state != State::kClosed) TrimBlanks(Field(arField));
  ++m_nField;
  Field(arField).clear();
  m_state = State::kUnquoted;
}

CsvFieldScanner::Step CsvFieldScanner::EndRecord(std::vector<std::string>& arField) {
  EndField(arField);
  arField.resize(m_nField);
  m_bNew = true;
  return Step::kRecord;
}

// A line end outside a quoted field; a LF right after a CR belongs to it.
bool CsvFieldScanner::LineEnd(char c) {
  if (c == '\n' && m_bAfterCr) {
    m_bAfterCr = false;
    return false;
  }
  m_bAfterCr = c == '\r';
  ++m_nLine;
  return true;
}

CsvFieldScanner::Step CsvFieldScanner::Scan(std::string_view text, std::size_t& nPos,
                                            std::vector<std::string>& arField) {
  while (nPos < text.size()) {
    if (m_bNew) {
      m_bNew = false;
      m_bAny = false;
      m_nField = 0;
      Field(arField).clear();
    }
    if (!m_bAny) m_nRecordLine = m_nLine;
    if (m_state == State::kQuoted) {
      Quoted(text, nPos, arField);
      continue;
    }
    if (m_state == State::kQuoteInQuoted) {
      if (text[nPos] == '"') {
        Field(arField) += '"';
        m_state = State::kQuoted;
        ++nPos;
        continue;
      }
      m_state = State::kClosed;
    }
    const Step step = Unquoted(text, nPos, arField);
    if (step != Step::kMore) return step;
  }
  return Step::kMore;
}

// Up to the next quotation mark of a quoted field, at once.
void CsvFieldScanner::Quoted(std::string_view text, std::size_t& nPos,
                             std::vector<std::string>& arField) {
  std::size_t nEnd = text.find('"', nPos);
  if (nEnd == std::string_view::npos) nEnd = text.size();
  for (std::size_t i = nPos; i < nEnd; ++i) {
    if (text[i] == '\n') ++m_nLine;
  }
  Field(arField).append(text, nPos, nEnd - nPos);
  if (nEnd < text.size()) {
    m_state = State::kQuoteInQuoted;
    ++nEnd;
  }
  nPos = nEnd;
}

// One character outside a quoted field, or the rest of an unquoted field.
CsvFieldScanner::Step CsvFieldScanner::Unquoted(std::string_view text, std::size_t& nPos,
                                                std::vector<std::string>& arField) {
  const char c = text[nPos++];
  if (c == '\n' || c == '\r') {
    if (!LineEnd(c) || !m_bAny) {
      if (!m_bAny) Field(arField).clear();
      return Step::kMore;
    }
    return EndRecord(arField);
  }
  m_bAfterCr = false;
  if (c == ',') {
    m_bAny = true;
    EndField(arField);
    return Step::kMore;
  }
  if (m_state == State::kClosed) {
    if (IsBlank(c)) return Step::kMore;
    m_fault = Fault::kTextAfterQuote;
    return Step::kFault;
  }
  std::string& field = Field(arField);
  if (c == '"' && field.find_first_not_of(" \t") == std::string::npos) {
    field.clear();
    m_state = State::kQuoted;
    m_bAny = true;
    m_nQuoteLine = m_nLine;
    return Step::kMore;
  }
  std::size_t nEnd = nPos;
  bool bText = !IsBlank(c);
  for (; nEnd < text.size(); ++nEnd) {
    const char k = text[nEnd];
    if (k == ',' || k == '\n' || k == '\r' || k == '"') break;
    bText = bText || !IsBlank(k);
  }
  m_bAny = m_bAny || bText;
  field.append(text, nPos - 1, nEnd - nPos + 1);
  nPos = nEnd;
  if (c != '"') return Step::kMore;
  m_fault = Fault::kQuoteInField;
  return Step::kFault;
}

CsvFieldScanner::Step CsvFieldScanner::End(std::vector<std::string>& arField) {
  if (m_state == State::kQuoted) {
    m_fault = Fault::kOpenQuote;
    return Step::kFault;
  }
  if (m_state == State::kQuoteInQuoted) m_state = State::kClosed;
  if (m_bNew || !m_bAny) {
    m_bNew = true;
    return Step::kEnd;
  }
  return EndRecord(arField);
}
