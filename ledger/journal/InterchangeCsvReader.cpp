#include "InterchangeCsvReader.h"

#include <algorithm>

#include "Cp932.h"
#include "CsvFieldScanner.h"

namespace {

constexpr std::size_t kChunk = 1 << 20;

bool IsAscii(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
}

// UTF-8 by its structure: a CP932 text with Japanese in it almost never
// passes. A UTF-8 text with no CP932 form still tells the encoding.
bool IsUtf8(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80                 ? 0
                          : c >= 0xC2 && c <= 0xDF ? 1
                          : c >= 0xE0 && c <= 0xEF ? 2
                          : c >= 0xF0 && c <= 0xF4 ? 3
                                                   : 4;
    if (n == 4 || s.size() - i <= n) return false;
    for (std::size_t k = 1; k <= n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n + 1;
  }
  return true;
}

}  // namespace

InterchangeCsvReader::~InterchangeCsvReader() {
  if (m_pFile != nullptr) std::fclose(m_pFile);
}

bool InterchangeCsvReader::Open(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) ||
      (m_pFile = std::fopen(path.c_str(), "rb")) == nullptr) {
    m_strError = "file not found or not readable";
    return false;
  }
  return true;
}

void InterchangeCsvReader::OpenText(std::string strText) { m_strBuf = std::move(strText); }

bool InterchangeCsvReader::Fill() {
  if (m_pFile == nullptr) return false;
  m_strBuf.erase(0, m_nPos);
  m_nPos = 0;
  const std::size_t nOld = m_strBuf.size();
  m_strBuf.resize(nOld + kChunk);
  const std::size_t n = std::fread(m_strBuf.data() + nOld, 1, kChunk, m_pFile);
  m_strBuf.resize(nOld + n);
  if (n == 0 && std::ferror(m_pFile) != 0) m_strError = "read error";
  return n > 0;
}

int InterchangeCsvReader::Peek() {
  if (m_nPos == m_strBuf.size() && !Fill()) return -1;
  return static_cast<unsigned char>(m_strBuf[m_nPos]);
}

bool InterchangeCsvReader::Next(Record& record) {
  record.m_arBadField.clear();
  record.m_strError.clear();
  if (!m_bStarted) SkipByteOrderMark();
  for (;;) {
    CsvFieldScanner::Step step = m_scanner.Scan(m_strBuf, m_nPos, record.m_arField);
    if (step == CsvFieldScanner::Step::kMore) {
      if (Fill()) continue;
      if (!m_strError.empty()) return false;
      step = m_scanner.End(record.m_arField);
    }
    if (step == CsvFieldScanner::Step::kEnd) return false;
    if (step == CsvFieldScanner::Step::kRecord) {
      record.m_nLine = m_scanner.m_nRecordLine;
      Finish(record);
      return true;
    }
    if (m_scanner.m_fault == CsvFieldScanner::Fault::kOpenQuote) {
      m_strError = "line " + std::to_string(m_scanner.m_nQuoteLine) +
                   ": quoted field is not closed before the end of the file";
      return false;
    }
    // A record with a quoting fault is read to its end; the first fault names it.
    if (record.m_strError.empty()) record.m_strError = FaultText();
  }
}

void InterchangeCsvReader::SkipByteOrderMark() {
  m_bStarted = true;
  if (Peek() == 0xEF && m_strBuf.compare(m_nPos, 3, "\xEF\xBB\xBF") == 0) {
    m_nPos += 3;
    m_strEncoding = "UTF-8";
  }
}

std::string InterchangeCsvReader::FaultText() const {
  const std::string strField = std::to_string(m_scanner.m_nField + 1);
  if (m_scanner.m_fault == CsvFieldScanner::Fault::kTextAfterQuote) {
    return "text after the closing quotation mark of field " + strField;
  }
  return "quotation mark inside the unquoted field " + strField;
}

void InterchangeCsvReader::Finish(Record& record) {
  std::vector<std::size_t> arWide;
  for (std::size_t i = 0; i < record.m_arField.size(); ++i) {
    if (!IsAscii(record.m_arField[i])) arWide.push_back(i);
  }
  if (arWide.empty()) return;
  if (m_strEncoding.empty()) {
    // The first record with more than ASCII tells the file's encoding.
    const bool bUtf8 = std::all_of(arWide.begin(), arWide.end(),
                                   [&](std::size_t i) { return IsUtf8(record.m_arField[i]); });
    m_strEncoding = bUtf8 ? "UTF-8" : "CP932";
  }
  std::string out;
  for (std::size_t i : arWide) {
    std::string& field = record.m_arField[i];
    if (m_strEncoding == "UTF-8") {
      if (cp932::FromUtf8(field, out)) {
        field = std::move(out);
      } else {
        record.m_arBadField.push_back(i);
      }
    } else if (!cp932::IsCp932(field)) {
      record.m_arBadField.push_back(i);
    }
  }
}
