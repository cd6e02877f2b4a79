#include "CFinGaiFigures.h"

#include <cstring>

#include "CKaikei.h"
#include "CHostObjects.h"

namespace {

// The monthly element names add two digits to the tag within 51 bytes.
constexpr std::size_t kMonthlyNameSize = 51;

std::size_t TagLength(const tag_DATA& data) { return strnlen(data.szTag, TAG_DATA_TAG_SIZE); }

}  // namespace

void CFinGaiFigures::Compute(const CArray<tag_DATA, tag_DATA>& arData) {
  m_arMain.clear();
  m_arMonthly.clear();
  bool bMain = true;
  for (std::size_t i = 0; i < arData.size(); ++i) {
    const tag_DATA& data = arData[i];
    if (data.nKubun >= TAG_DATA_MONTHLY_KUBUN) bMain = false;
    if (bMain) {
      m_arMain.push_back({i, g_pKaikei->SuuConv(1, 2, Total(data))});
      continue;
    }
    if (data.nKubun < TAG_DATA_MONTHLY_KUBUN || TagLength(data) == 0) continue;
    if (m_arMonthly.size() >= MONTHLY_COLUMNS) continue;
    if (!HasMonthlyName(data)) continue;
    MonthlyColumn column{i, {}};
    Months(data, column.dMonth);
    m_arMonthly.push_back(column);
  }
}

double CFinGaiFigures::Total(const tag_DATA& data) {
  double dSum = 0.0;
  for (double dSlot : data.dAmount) dSum += dSlot;
  return dSum;
}

void CFinGaiFigures::Months(const tag_DATA& data, double (&dMonth)[MONTHS]) {
  for (int i = 0; i < MONTHS; ++i) dMonth[i] = data.dAmount[i];
  dMonth[MONTHS - 1] += data.dAmount[TAG_DATA_SLOTS - 1];
}

int CFinGaiFigures::MonthOfRow(const _SG_CONDITION& cond, int nRow) {
  int nMonth = cond.nKikanFrom + nRow;
  if (nMonth > 12) nMonth -= 12;
  return nMonth;
}

bool CFinGaiFigures::HasMonthlyName(const tag_DATA& data) {
  return TagLength(data) + 2 < kMonthlyNameSize;
}
