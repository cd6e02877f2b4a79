#include "CBatchSummary.h"

#include <algorithm>

#include "Cp932.h"

namespace {

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

CString CsvField(const CString& strText) {
  if (strText.find_first_of(",\"\r\n") == CString::npos) return strText;
  CString strQuoted = "\"";
  for (char c : strText) {
    if (c == '"') strQuoted += '"';
    strQuoted += c;
  }
  return strQuoted + "\"";
}

}  // namespace

CBatchSummary::CBatchSummary(const std::vector<CBatchRow>& arRow, bool bWarnings) {
  m_arColumn = {{"データID", false},      {"事業所名", false},    {"事業年度", false},
                {"集計期間", false},      {"売上高", true},       {"営業損益", true},
                {"税引前当期損益", true}, {"資産の部合計", true}, {"ファイル名", false}};
  if (bWarnings) m_arColumn.push_back({"警告", true});
  m_arColumn.push_back({"状態", false});

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

std::string CBatchSummary::Csv() const {
  auto line = [&](auto cell) {
    CString strLine;
    for (std::size_t i = 0; i < m_arColumn.size(); ++i) {
      if (i > 0) strLine += ',';
      strLine += CsvField(cell(i));
    }
    return Utf8(strLine) + "\n";
  };
  std::string strCsv = line([&](std::size_t i) { return m_arColumn[i].strTitle; });
  for (const auto& arCell : m_arCells) strCsv += line([&](std::size_t i) { return arCell[i]; });
  return strCsv;
}
