#include "CBatchSummary.h"

#include <algorithm>
#include <map>

#include "Cp932.h"

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr std::size_t kIdColumn = 0;
constexpr std::size_t kFileColumn = 8;
constexpr std::size_t kBomSize = sizeof kBom - 1;

// Texts come from the books and the settings, which hold CP932 only; a byte
// that is not is shown as "?" rather than dropping the line.
std::string Utf8(const CString& strText) {
  std::string strOut;
  if (cp932::ToUtf8(strText, strOut)) return strOut;
  strOut = strText;
  for (char& c : strOut)
    if (static_cast<unsigned char>(c) >= 0x80) c = '?';
  return strOut;
}

CString Number(const std::optional<long long>& n) { return n ? std::to_string(*n) : CString(); }

// A spreadsheet reads a cell of digits, signs and date marks as a number or
// a date, and one that begins with "=", "+", "-" or "@" as a formula.
bool LooksConverted(const CString& strText) {
  if (strText.empty()) return false;
  if (CString("=+-@").find(strText[0]) != CString::npos) return true;
  return strText.find_first_not_of("0123456789-/.:, ") == CString::npos;
}

// strOpen, the text with its quotes doubled, a closing quote.
CString Enclosed(const CString& strOpen, const CString& strText) {
  CString strEnclosed = strOpen;
  for (char c : strText) {
    if (c == '"') strEnclosed += '"';
    strEnclosed += c;
  }
  return strEnclosed + "\"";
}

CString Quoted(const CString& strText) {
  return strText.find_first_of(",\"\r\n") == CString::npos ? strText : Enclosed("\"", strText);
}

CString AsText(const CString& strText) { return Enclosed("=\"", strText); }

// ="TEXT" back to TEXT; any other cell as it is.
CString FromText(const CString& strCell) {
  if (strCell.size() < 3 || strCell.compare(0, 2, "=\"") != 0 || strCell.back() != '"')
    return strCell;
  CString strText;
  for (std::size_t i = 2; i + 1 < strCell.size(); ++i) {
    strText += strCell[i];
    if (strCell[i] == '"' && strCell[i + 1] == '"') ++i;
  }
  return strText;
}

// CSV as RFC 4180 reads it: quoted fields may hold commas, quotes and line breaks.
std::vector<std::vector<CString>> SplitCsv(const CString& strText) {
  std::vector<std::vector<CString>> arLine;
  std::vector<CString> arField;
  CString strField;
  bool bQuoted = false, bAny = false;
  for (std::size_t i = 0; i < strText.size(); ++i) {
    const char c = strText[i];
    bAny = true;
    if (bQuoted) {
      if (c != '"')
        strField += c;
      else if (i + 1 < strText.size() && strText[i + 1] == '"')
        strField += strText[++i];
      else
        bQuoted = false;
    } else if (c == '"') {
      bQuoted = true;
    } else if (c == ',') {
      arField.push_back(std::move(strField));
      strField.clear();
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < strText.size() && strText[i + 1] == '\n') ++i;
      arField.push_back(std::move(strField));
      strField.clear();
      arLine.push_back(std::move(arField));
      arField.clear();
      bAny = false;
    } else {
      strField += c;
    }
  }
  if (bAny) {
    arField.push_back(std::move(strField));
    arLine.push_back(std::move(arField));
  }
  return arLine;
}

}  // namespace

CBatchSummary::CBatchSummary(const std::vector<CBatchRow>& arRow, bool bWarnings) {
  m_arColumn = {{"データID", false, true},      {"事業所名", false, false},
                {"事業年度", false, true},      {"集計期間", false, true},
                {"売上高", true, false},        {"営業損益", true, false},
                {"税引前当期損益", true, false}, {"資産の部合計", true, false},
                {"ファイル名", false, false}};
  if (bWarnings) m_arColumn.push_back({"警告", true, false});
  m_arColumn.push_back({"状態", false, false});

  for (const auto& row : arRow) {
    std::vector<CString> arCell = {row.m_strDataId, row.m_strName, row.m_strYear, row.m_strSpan};
    for (const auto& figure : row.m_arFigure) arCell.push_back(Number(figure));
    arCell.push_back(row.m_strFile);
    if (bWarnings) arCell.push_back(row.m_nWarnings ? std::to_string(*row.m_nWarnings) : "");
    arCell.push_back(row.StatusText());
    m_arCells.push_back(std::move(arCell));
  }
}

std::string CBatchSummary::Table() const {
  std::vector<std::size_t> arWidth;
  for (const auto& column : m_arColumn) arWidth.push_back(column.strTitle.size());
  for (const auto& arCell : m_arCells)
    for (std::size_t i = 0; i < arCell.size(); ++i)
      arWidth[i] = std::max(arWidth[i], arCell[i].size());

  auto line = [&](auto cell) {
    CString strLine;
    for (std::size_t i = 0; i < m_arColumn.size(); ++i) {
      const CString& strCell = cell(i);
      const CString strPad(arWidth[i] - strCell.size(), ' ');
      if (i > 0) strLine += "  ";
      strLine += m_arColumn[i].bRight ? strPad + strCell : strCell + strPad;
    }
    strLine.erase(strLine.find_last_not_of(' ') + 1);
    return Utf8(strLine) + "\n";
  };
  std::string strTable = line([&](std::size_t i) { return m_arColumn[i].strTitle; });
  for (const auto& arCell : m_arCells) strTable += line([&](std::size_t i) { return arCell[i]; });
  return strTable;
}

std::string CBatchSummary::Csv(Encoding encoding) const {
  auto line = [&](auto cell) {
    CString strLine;
    for (std::size_t i = 0; i < m_arColumn.size(); ++i) {
      if (i > 0) strLine += ',';
      strLine += Quoted(cell(i));
    }
    strLine += "\r\n";
    return encoding == Encoding::Utf8 ? Utf8(strLine) : strLine;
  };
  std::string strCsv = encoding == Encoding::Utf8 ? kBom : "";
  strCsv += line([&](std::size_t i) { return m_arColumn[i].strTitle; });
  for (const auto& arCell : m_arCells)
    strCsv += line([&](std::size_t i) {
      const CString& strCell = arCell[i];
      const bool bText = !strCell.empty() && (m_arColumn[i].bText ||
                                              (!m_arColumn[i].bRight && LooksConverted(strCell)));
      return bText ? AsText(strCell) : strCell;
    });
  return strCsv;
}

bool CBatchSummary::ReadCsv(const std::string& strCsv, std::vector<std::vector<CString>>& arLine) {
  // With a byte-order mark or as valid UTF-8 it is UTF-8, else CP932.
  CString strText;
  if (strCsv.compare(0, kBomSize, kBom) == 0) {
    if (!cp932::FromUtf8(strCsv.substr(kBomSize), strText)) return false;
  } else if (!cp932::FromUtf8(strCsv, strText)) {
    strText = strCsv;
  }
  arLine = SplitCsv(strText);
  for (auto& arCell : arLine)
    for (auto& strCell : arCell) strCell = FromText(strCell);
  return !arLine.empty();
}

bool CBatchSummary::MergeInto(const std::string& strCsv) {
  std::vector<std::vector<CString>> arLine;
  if (!ReadCsv(strCsv, arLine)) return false;
  std::vector<CString> arTitle;
  for (const auto& column : m_arColumn) arTitle.push_back(column.strTitle);
  if (arLine[0] != arTitle) return false;

  std::map<CString, std::size_t> mapNew;
  for (std::size_t i = 0; i < m_arCells.size(); ++i) mapNew.emplace(m_arCells[i][kIdColumn], i);
  std::vector<bool> arPlaced(m_arCells.size(), false);
  std::vector<std::vector<CString>> arMerged;
  for (std::size_t n = 1; n < arLine.size(); ++n) {
    if (arLine[n].size() != arTitle.size()) continue;
    const auto it = mapNew.find(arLine[n][kIdColumn]);
    if (it == mapNew.end()) {
      arMerged.push_back(std::move(arLine[n]));
    } else if (!arPlaced[it->second]) {
      arPlaced[it->second] = true;
      arMerged.push_back(m_arCells[it->second]);
    }
  }
  for (std::size_t i = 0; i < m_arCells.size(); ++i)
    if (!arPlaced[i]) arMerged.push_back(m_arCells[i]);
  m_arCells = std::move(arMerged);
  return true;
}

std::vector<std::pair<CString, CString>> CBatchSummary::WrittenFiles(const std::string& strCsv) {
  std::vector<std::pair<CString, CString>> arFile;
  std::vector<std::vector<CString>> arLine;
  if (!ReadCsv(strCsv, arLine)) return arFile;
  for (std::size_t n = 1; n < arLine.size(); ++n) {
    const auto& arCell = arLine[n];
    if (arCell.size() > kFileColumn && arCell.back() == "written" && !arCell[kFileColumn].empty())
      arFile.emplace_back(arCell[kFileColumn], arCell[kIdColumn]);
  }
  return arFile;
}
