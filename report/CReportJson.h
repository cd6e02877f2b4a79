#pragma once
// The report as one JSON object (UTF-8) with the keys "items", "months" and
// "findings": main items valued in thousands of yen as in the file,
// monthly items as a list of yen per month of the span.

#include <string>

#include "CReportModel.h"

class CReportJson {
 public:
  static std::string Format(const CReportModel& model);
};
