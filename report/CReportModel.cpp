#include "CReportModel.h"

#include <algorithm>

#include "ReportFormat.h"
#include "SettingsRecords.h"

bool CReportModel::HasWarnings() const {
  return std::any_of(m_arFinding.begin(), m_arFinding.end(),
                     [](const Finding& f) { return f.severity == Severity::Warning; });
}

const CReportModel::Item* CReportModel::FindItem(int nNumber) const {
  for (const Item& item : m_arItem) {
    if (item.nNumber == nNumber) return &item;
  }
  return nullptr;
}

CReportModel::Item CReportModel::DefinedItem(const _SG_INIT_BODY& body) {
  Item item;
  item.nNumber = body.nGaiNo;
  item.strName = report::FieldText(body.szGaiName);
  item.strTag = report::FieldText(body.szTag);
  item.bMonthly = body.nKubun >= SG_MONTHLY_KUBUN;
  item.bBalanceSheet = IsBalanceSheetItem(body);
  return item;
}

bool CReportModel::IsBalanceSheetItem(const _SG_INIT_BODY& body) {
  constexpr std::uint8_t kBalanceSheetKubun = 2;
  return body.nKubun == kBalanceSheetKubun;
}
