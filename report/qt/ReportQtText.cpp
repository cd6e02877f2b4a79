#include "ReportQtText.h"

#include <QStringList>

#include "ProgramVersion.h"
#include "QtText.h"
#include "ReportFormat.h"

namespace reportqt {

QString Text(const CString& strCp932) { return QtFromCp932(strCp932); }

QString Figure(double dValue) { return QString::fromStdString(report::Grouped(dValue)); }

QString Severity(CReportModel::Severity severity) {
  return severity == CReportModel::Severity::Warning ? QStringLiteral("警告")
                                                     : QStringLiteral("情報");
}

QString MonthName(int nMonth) { return QStringLiteral("%1月").arg(nMonth); }

QString Date(const int (&ymd)[3]) {
  return QStringLiteral("%1/%2/%3")
      .arg(ymd[0], 4, 10, QLatin1Char('0'))
      .arg(ymd[1], 2, 10, QLatin1Char('0'))
      .arg(ymd[2], 2, 10, QLatin1Char('0'));
}

QStringList HeaderLines(const CReportModel& model) {
  QStringList lines;
  lines << QStringLiteral("事業所名: ") + Text(model.m_strJigyoName);
  if (!model.m_strDataID.empty()) lines << QStringLiteral("データID: ") + Text(model.m_strDataID);
  lines << QStringLiteral("事業年度: ") + Date(model.m_nStart) + QStringLiteral("～") +
               Date(model.m_nEnd);
  if (!model.m_arMonth.empty()) {
    lines << QStringLiteral("集計期間: %1～%2（%3か月）")
                 .arg(MonthName(model.m_nFromMonth), MonthName(model.m_nToMonth))
                 .arg(model.m_arMonth.size());
  }
  // The file's name alone: the folder says nothing to the reader of the report.
  const QString strFile = Text(model.m_strSettings);
  lines << (model.m_bFromBooks ? QStringLiteral("設定: ") : QStringLiteral("ファイル: ")) +
               strFile.mid(strFile.lastIndexOf(QLatin1Char('/')) + 1);
  lines << QStringLiteral("プログラム: QT10ToRX16_G ") + QString::fromLatin1(kProgramVersion);
  return lines;
}

QString ItemLabel(const CReportModel& model, int nItem) {
  const CReportModel::Item* pItem = model.FindItem(nItem);
  if (pItem == nullptr) return QString();
  return QStringLiteral("%1 %2").arg(nItem).arg(Text(pItem->strName));
}

}  // namespace reportqt
