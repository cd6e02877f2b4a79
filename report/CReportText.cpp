#include "CReportText.h"

#include <cstdio>

#include "ProgramVersion.h"
#include "ReportFormat.h"

namespace {

// Pads a CP932 text to nWidth columns, on the left for numbers.
CString PadRight(const CString& strText, std::size_t nWidth) {
  const std::size_t nUsed = report::Width(strText);
  return nUsed >= nWidth ? strText : strText + CString(nWidth - nUsed, ' ');
}

CString PadLeft(const CString& strText, std::size_t nWidth) {
  const std::size_t nUsed = report::Width(strText);
  return nUsed >= nWidth ? strText : CString(nWidth - nUsed, ' ') + strText;
}

CString Date(const int (&ymd)[3]) {
  char szText[16];
  std::snprintf(szText, sizeof szText, "%04d/%02d/%02d", ymd[0], ymd[1], ymd[2]);
  return szText;
}

CString Number(int nValue) { return std::to_string(nValue); }

constexpr std::size_t kNameWidth = 32;
constexpr std::size_t kFigureWidth = 16;
constexpr std::size_t kMonthWidth = 13;

}  // namespace

std::string CReportText::Format(const CReportModel& model) {
  CString out;
  out += "事業概況書の集計結果\n";
  out += "事業所名: " + model.m_strJigyoName + "\n";
  if (!model.m_strDataID.empty()) out += "データID: " + model.m_strDataID + "\n";
  if (model.m_bFromBooks) {
    out += "事業年度: " + Date(model.m_nStart) + "～" + Date(model.m_nEnd) + "\n";
    out += "集計期間: " + Number(model.m_nFromMonth) + "月～" + Number(model.m_nToMonth) + "月（" +
           Number(static_cast<int>(model.m_arMonth.size())) + "か月）\n";
  } else {
    out += "事業年度: " + Date(model.m_nStart) + "～" + Date(model.m_nEnd) + "\n";
  }
  out += (model.m_bFromBooks ? "設定: " : "ファイル: ") + model.m_strSettings + "\n";
  out += CString("プログラム: QT10ToRX16_G ") + kProgramVersion + "\n\n";

  out += "主要科目（単位: 千円、科目の内訳は円）\n";
  out += PadLeft("番号", 4) + "  " + PadRight("科目名", kNameWidth) +
         PadLeft("金額", kFigureWidth) + "\n";
  for (const CReportModel::Item& item : model.m_arItem) {
    if (item.bMonthly) continue;
    out += PadLeft(Number(item.nNumber), 4) + "  " + PadRight(item.strName, kNameWidth) +
           PadLeft(report::Grouped(item.dThousands), kFigureWidth) + "\n";
    for (const CReportModel::Account& account : item.arAccount) {
      out += "        " + PadLeft(Number(account.nCode), 5) + " " +
             PadRight(account.strName, kNameWidth - 12) +
             PadLeft(report::Grouped(account.dAmount), kFigureWidth + 4) + "円\n";
    }
    for (const CReportModel::Part& part : item.arPart) {
      const CString strLabel = part.nItem != 0 ? "項目" + Number(part.nItem) + " " + part.strName
                                               : "（" + part.strName + "）";
      out += "        " + PadRight(strLabel, kNameWidth - 6) +
             PadLeft(report::Grouped(part.dAmount), kFigureWidth + 4) + "円\n";
    }
  }

  out += "\n月別売上等（単位: 円）\n";
  out += PadLeft("番号", 4) + "  " + PadRight("科目名", kNameWidth - 8);
  for (int nMonth : model.m_arMonth) out += PadLeft(Number(nMonth) + "月", kMonthWidth);
  out += "\n";
  for (const CReportModel::Item& item : model.m_arItem) {
    if (!item.bMonthly) continue;
    out += PadLeft(Number(item.nNumber), 4) + "  " + PadRight(item.strName, kNameWidth - 8);
    for (double dMonth : item.arMonth) out += PadLeft(report::Grouped(dMonth), kMonthWidth);
    out += "\n";
    for (const CReportModel::Account& account : item.arAccount) {
      out += "        " + PadLeft(Number(account.nCode), 5) + " " +
             PadRight(account.strName, kNameWidth - 12) + " 期間計 " +
             report::Grouped(account.dAmount) + "円\n";
    }
  }

  out += "\n指摘事項\n";
  if (model.m_arFinding.empty()) out += "  なし\n";
  for (const CReportModel::Finding& finding : model.m_arFinding) {
    out += finding.severity == CReportModel::Severity::Warning ? "  [警告] " : "  [情報] ";
    out += finding.strMessage + "\n";
  }
  return report::ToUtf8(out);
}
