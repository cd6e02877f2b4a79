#pragma once
// The report as plain text in UTF-8, in aligned columns: the header, the
// main items in thousands of yen with the accounts behind them in yen, the
// monthly block in yen, and the findings.

#include <string>

#include "CReportModel.h"

class CReportText {
 public:
  static std::string Format(const CReportModel& model);
};
