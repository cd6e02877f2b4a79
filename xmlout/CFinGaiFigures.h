#pragma once
// The figures the XML file holds, computed from the aggregated items: each
// main item's total over the span in thousands of yen, and the monthly
// block. The writer formats these; the report shows the same numbers.

#include <vector>

#include "SettingsRecords.h"
#include "WinTypes.h"
#include "tag_DATA.h"

class CFinGaiFigures {
 public:
  inline static constexpr int MONTHS = 12;
  // The file has room for this many monthly items; later ones are left out.
  inline static constexpr int MONTHLY_COLUMNS = 8;

  // A main item: the items before the first monthly item.
  struct MainFigure {
    std::size_t nIndex;  // position in the items
    double dThousands;   // total of the span, thousands of yen, truncated
  };
  // A monthly item that has a column in the file.
  struct MonthlyColumn {
    std::size_t nIndex;
    double dMonth[MONTHS];  // yen, row i is the span's month i
  };

  void Compute(const CArray<tag_DATA, tag_DATA>& arData);

  // An item's slots added up, in yen.
  static double Total(const tag_DATA& data);
  // An item's twelve month rows: the settlement period counts in the last.
  static void Months(const tag_DATA& data, double (&dMonth)[MONTHS]);
  // Calendar month of row i of the monthly block.
  static int MonthOfRow(const _SG_CONDITION& cond, int nRow);
  // True when the item has a tag short enough for the monthly element names.
  static bool HasMonthlyName(const tag_DATA& data);

  std::vector<MainFigure> m_arMain;
  std::vector<MonthlyColumn> m_arMonthly;
};
