#include "CReportModel.h"

#include <algorithm>

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
