#pragma once
// How the form's totals are made up, by the layout of the items around
// them: a total keeps the account-mapped items of its block (those after
// it up to the next formula item, or before it back to the previous one),
// a profit total starts from the profit above it, and what the items do not
// explain is the remainder (the form's "other"). The breakdown is shown
// under each formula item; the figure checks test its remainder.

#include <optional>
#include <vector>

#include "CReportModel.h"
#include "SettingsRecords.h"
#include "WinTypes.h"

class CItemBreakdown {
 public:
  struct Result {
    std::vector<CReportModel::Part> arPart;  // the remainder last, when there is one
    double dRest = 0.0;                      // yen: the total less the parts
    // The sign a sound remainder has: 1 not below zero, -1 not above, 0 any;
    // bExact: it is zero.
    int nRestSign = 0;
    bool bExact = false;
  };

  // The breakdown of the formula item at nIndex of the definitions; nothing
  // for an item whose formula has no layout.
  static std::optional<Result> Compute(const CReportModel& model,
                                       const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
                                       std::size_t nIndex);
  // Fills the parts of every formula item, and of every asset item that
  // takes a contra account its gross accounts, its contra accounts and the
  // net figure. dContraOut
  // (yen, signed as the asset total adds it) is the contra balances that
  // feed no item: shown apart from the other assets.
  static void Fill(CReportModel& model, const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
                   double dContraOut);
};
