#include "CsvReader.h"

#include <algorithm>
#include <cstdio>

#include "Cp932.h"
#include "CsvFieldScanner.h"

namespace {

// Strict UTF-8: no overlong forms, no surrogates. CP932 Japanese text almost
// never passes, which is what makes the detection work.
bool IsUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
      n = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 2;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 3;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (i + n >= s.size()) return false;
    for (std::size_t k = 1; k <= n; ++k) {
      const unsigned char t = static_cast<unsigned char>(s[i + k]);
      if (k == 1 ? (t < lo || t > hi) : (t & 0xC0) != 0x80) return false;
    }
    i += n + 1;
  }
  return true;
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  });
  return s;
}

}  // namespace

bool CsvReader::Load(const std::filesystem::path& folder, const std::string& strFile) {
  m_strFile = strFile;
  const std::filesystem::path path = folder / strFile;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    m_strError = strFile + ": file not found or not readable";
    return false;
  }
  // stdio, not streams: a read error is a result here, never an exception.
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    m_strError = strFile + ": file not found or not readable";
    return false;
  }
  std::string raw;
  char buf[65536];
  std::size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) raw.append(buf, n);
  const bool bError = std::ferror(f) != 0;
  std::fclose(f);
  if (bError) {
    m_strError = strFile + ": read error";
    return false;
  }
  return Parse(strFile, raw);
}

bool CsvReader::Parse(const std::string& strFile, std::string_view raw) {
  m_strFile = strFile;
  m_arHeader.clear();
  m_arRow.clear();
  m_arBound.clear();
  m_strError.clear();
  std::string text;
  if (!Decode(raw, text)) return false;
  std::vector<Row> rows;
  if (!Split(text, rows)) return false;
  if (rows.empty()) {
    m_strError = strFile + ": the header row is missing";
    return false;
  }
  m_arHeader = std::move(rows.front().m_arField);
  rows.erase(rows.begin());
  m_arRow = std::move(rows);
  return true;
}

bool CsvReader::Decode(std::string_view raw, std::string& text) {
  if (raw.starts_with("\xEF\xBB\xBF")) raw.remove_prefix(3);
  if (IsUtf8(raw)) {
    m_strEncoding = "UTF-8";
    text.assign(raw);
  } else if (cp932::ToUtf8(raw, text)) {
    m_strEncoding = "CP932";
  } else {
    m_strError = m_strFile + ": the text is neither UTF-8 nor CP932";
    return false;
  }
  return true;
}

bool CsvReader::Split(const std::string& text, std::vector<Row>& rows) {
  CsvFieldScanner scanner;
  Row row;
  std::size_t nPos = 0;
  for (;;) {
    CsvFieldScanner::Step step = scanner.Scan(text, nPos, row.m_arField);
    if (step == CsvFieldScanner::Step::kMore) step = scanner.End(row.m_arField);
    if (step == CsvFieldScanner::Step::kEnd) return true;
    if (step == CsvFieldScanner::Step::kFault) {
      m_strError = FaultText(scanner);
      return false;
    }
    row.m_nLine = scanner.m_nRecordLine;
    rows.push_back(std::move(row));
    row = Row{};
  }
}

std::string CsvReader::FaultText(const CsvFieldScanner& scanner) const {
  switch (scanner.m_fault) {
    case CsvFieldScanner::Fault::kTextAfterQuote:
      return m_strFile + " line " + std::to_string(scanner.m_nLine) +
             ": text after the closing quotation mark of a field";
    case CsvFieldScanner::Fault::kQuoteInField:
      return m_strFile + " line " + std::to_string(scanner.m_nLine) +
             ": quotation mark inside an unquoted field";
    case CsvFieldScanner::Fault::kOpenQuote:
      break;
  }
  return m_strFile + " line " + std::to_string(scanner.m_nQuoteLine) +
         ": quoted field is not closed before the end of the file";
}

bool CsvReader::BindColumns(const std::vector<std::string>& arRequired,
                            const std::vector<std::string>& arOptional) {
  m_arBound.clear();
  for (std::size_t i = 0; i < m_arHeader.size(); ++i) {
    const std::string name = Lower(Trim(m_arHeader[i]));
    const bool bKnown = std::find(arRequired.begin(), arRequired.end(), name) != arRequired.end() ||
                        std::find(arOptional.begin(), arOptional.end(), name) != arOptional.end();
    if (!bKnown) {
      m_strError = m_strFile + " line 1, field \"" + m_arHeader[i] + "\": unknown column";
      return false;
    }
    if (Column(name) >= 0) {
      m_strError = m_strFile + " line 1, field \"" + m_arHeader[i] + "\": column given twice";
      return false;
    }
    m_arBound.emplace_back(name, static_cast<int>(i));
  }
  for (const auto& name : arRequired) {
    if (Column(name) < 0) {
      m_strError = m_strFile + " line 1: missing column \"" + name + "\"";
      return false;
    }
  }
  return true;
}

int CsvReader::Column(const std::string& strName) const {
  for (const auto& [name, index] : m_arBound) {
    if (name == strName) return index;
  }
  return -1;
}

const std::string& CsvReader::Field(const Row& row, const std::string& strName) const {
  static const std::string empty;
  const int n = Column(strName);
  if (n < 0 || static_cast<std::size_t>(n) >= row.m_arField.size()) return empty;
  return row.m_arField[static_cast<std::size_t>(n)];
}
