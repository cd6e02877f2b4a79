#pragma once
// The report's numbers and texts as the window and the PDF show them.

#include <QString>

#include "CReportModel.h"

namespace reportqt {

QString Text(const CString& strCp932);
// A yen or thousands figure with separators: -1,234,567.
QString Figure(double dValue);
QString Severity(CReportModel::Severity severity);
QString MonthName(int nMonth);
QString Date(const int (&ymd)[3]);
// The header lines: business, data ID, fiscal year, span, the settings
// file's name and the program's version.
QStringList HeaderLines(const CReportModel& model);
// The item a finding refers to, as "番号 名前"; empty when none.
QString ItemLabel(const CReportModel& model, int nItem);

}  // namespace reportqt
