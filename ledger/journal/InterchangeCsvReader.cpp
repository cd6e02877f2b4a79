#include "InterchangeCsvReader.h"

#include <algorithm>

#include "Cp932.h"

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

void Trim(std::string& s) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (s.empty() || (!blank(s.front()) && !blank(s.back()))) return;
  const auto e = s.find_last_not_of(" \t");
  s.erase(e == std::string::npos ? 0 : e + 1);
  s.erase(0, s.find_first_not_of(" \t"));
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

int InterchangeCsvReader::Get() {
  if (m_nPos == m_strBuf.size() && !Fill()) return -1;
  return static_cast<unsigned char>(m_strBuf[m_nPos++]);
}

int InterchangeCsvReader::Peek() {
  if (m_nPos == m_strBuf.size() && !Fill()) return -1;
  return static_cast<unsigned char>(m_strBuf[m_nPos]);
}

bool InterchangeCsvReader::Next(Record& record) {
  record.m_arBadField.clear();
  record.m_strError.clear();
  if (!m_bStarted) {
    m_bStarted = true;
    if (Peek() == 0xEF && m_strBuf.compare(m_nPos, 3, "\xEF\xBB\xBF") == 0) {
      m_nPos += 3;
      m_strEncoding = "UTF-8";
    }
  }
  // The record's strings are reused from one record to the next.
  std::size_t nField = 0;
  auto field = [&]() -> std::string& {
    if (nField == record.m_arField.size()) record.m_arField.emplace_back();
    return record.m_arField[nField];
  };
  field().clear();
  bool bQuoted = false, bWasQuoted = false, bAny = false;
  int nQuoteLine = 0;
  auto endField = [&] {
    if (!bWasQuoted) Trim(field());
    ++nField;
    field().clear();
    bWasQuoted = false;
  };
  auto endRecord = [&] {
    endField();
    record.m_arField.resize(nField);
    Finish(record);
  };
  for (;;) {
    const int c = Get();
    if (c < 0) {
      if (!m_strError.empty()) return false;
      if (bQuoted) {
        m_strError = "line " + std::to_string(nQuoteLine) +
                     ": quoted field is not closed before the end of the file";
        return false;
      }
      if (!bAny) return false;
      endRecord();
      return true;
    }
    if (!bAny) record.m_nLine = m_nLine;
    if (bQuoted) {
      if (c == '"') {
        if (Peek() == '"') {
          field() += '"';
          ++m_nPos;
        } else {
          bQuoted = false;
          bWasQuoted = true;
        }
      } else {
        if (c == '\n') ++m_nLine;
        field() += static_cast<char>(c);
      }
      continue;
    }
    if (c == '\r' && Peek() == '\n') continue;
    if (c == '\n' || c == '\r') {
      ++m_nLine;
      if (!bAny) continue;
      endRecord();
      return true;
    }
    if (c == ',') {
      bAny = true;
      endField();
      continue;
    }
    if (bWasQuoted) {
      if (c != ' ' && c != '\t' && record.m_strError.empty()) {
        record.m_strError =
            "text after the closing quotation mark of field " + std::to_string(nField + 1);
      }
      continue;
    }
    if (c == '"' && field().find_first_not_of(" \t") == std::string::npos) {
      field().clear();
      bQuoted = true;
      bAny = true;
      nQuoteLine = m_nLine;
      continue;
    }
    if (c == '"' && record.m_strError.empty()) {
      record.m_strError = "quotation mark inside the unquoted field " + std::to_string(nField + 1);
    }
    // The rest of an unquoted field up to its end, at once.
    std::size_t nEnd = m_nPos;
    bool bText = c != ' ' && c != '\t';
    for (; nEnd < m_strBuf.size(); ++nEnd) {
      const char k = m_strBuf[nEnd];
      if (k == ',' || k == '\n' || k == '\r' || k == '"') break;
      bText = bText || (k != ' ' && k != '\t');
    }
    bAny = bAny || bText;
    field().append(m_strBuf, m_nPos - 1, nEnd - m_nPos + 1);
    m_nPos = nEnd;
  }
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
