#include "CBatchRow.h"

#include <cstdlib>
#include <vector>

namespace {

// CP932 text never holds a NUL byte, so it separates the fields.
constexpr char kSeparator = '\0';
constexpr std::size_t kFieldCount = 10 + CBatchRow::FIGURE_COUNT;

CString Number(const std::optional<long long>& n) { return n ? std::to_string(*n) : CString(); }

bool ReadNumber(const CString& strText, std::optional<long long>& n) {
  n.reset();
  if (strText.empty()) return true;
  char* pEnd = nullptr;
  const long long value = std::strtoll(strText.c_str(), &pEnd, 10);
  if (*pEnd != '\0') return false;
  n = value;
  return true;
}

}  // namespace

CString CBatchRow::StatusText() const {
  switch (m_status) {
    case Status::Written:
      return "written";
    case Status::Skipped:
      return "skipped: " + m_strReason;
    case Status::Failed:
    case Status::NotRun:
      break;
  }
  return "failed: " + m_strReason;
}

std::string CBatchRow::Serialize() const {
  std::vector<CString> arField = {m_strDataId, m_strName,    m_strYear,
                                  m_strSpan,   m_strFile,    m_strProposed};
  for (const auto& figure : m_arFigure) arField.push_back(Number(figure));
  arField.push_back(m_nWarnings ? std::to_string(*m_nWarnings) : CString());
  arField.push_back(std::to_string(static_cast<int>(m_status)));
  arField.push_back(m_strReason);
  arField.push_back("end");
  std::string strBytes;
  for (const auto& strField : arField) {
    strBytes += strField;
    strBytes += kSeparator;
  }
  return strBytes;
}

bool CBatchRow::Parse(const std::string& strBytes, CBatchRow& row) {
  std::vector<CString> arField;
  std::size_t nStart = 0;
  for (std::size_t nEnd; (nEnd = strBytes.find(kSeparator, nStart)) != std::string::npos;
       nStart = nEnd + 1)
    arField.push_back(strBytes.substr(nStart, nEnd - nStart));
  if (nStart != strBytes.size() || arField.size() != kFieldCount || arField.back() != "end")
    return false;

  CBatchRow parsed;
  std::size_t i = 0;
  parsed.m_strDataId = arField[i++];
  parsed.m_strName = arField[i++];
  parsed.m_strYear = arField[i++];
  parsed.m_strSpan = arField[i++];
  parsed.m_strFile = arField[i++];
  parsed.m_strProposed = arField[i++];
  for (auto& figure : parsed.m_arFigure)
    if (!ReadNumber(arField[i++], figure)) return false;
  std::optional<long long> nWarnings, nStatus;
  if (!ReadNumber(arField[i++], nWarnings) || !ReadNumber(arField[i++], nStatus) || !nStatus ||
      *nStatus < 0 || *nStatus > static_cast<int>(Status::NotRun))
    return false;
  if (nWarnings) parsed.m_nWarnings = static_cast<int>(*nWarnings);
  parsed.m_status = static_cast<Status>(*nStatus);
  parsed.m_strReason = arField[i++];
  row = std::move(parsed);
  return true;
}
