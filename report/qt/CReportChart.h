#pragma once
// The bar chart of monthly sales: the first monthly item, one bar per month
// of the span, in thousands of yen.

class CReportModel;
class QChart;
class QFont;

class CReportChart {
 public:
  // A new chart (the caller owns it) with its texts in font.
  static QChart* Create(const CReportModel& model, const QFont& font);
};
