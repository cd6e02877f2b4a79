#pragma once
// The report laid out for paper: A4 portrait pages with the header, the main
// items and their accounts, the monthly block (months down, items across),
// the chart of monthly sales and the findings, and the page number at the
// foot of each page. Text is drawn as text and the chart as vectors, so the
// PDF can be searched and copied.

#include <QString>
#include <functional>
#include <vector>

class CReportModel;
class QPagedPaintDevice;
class QPainter;
class QRectF;

class CReportDocument {
 public:
  explicit CReportDocument(const CReportModel& model);

  // Paints every page on the device (a PDF writer or a printer); false when
  // the device cannot be painted on.
  bool Print(QPagedPaintDevice& device);
  // Writes the PDF to strPath (relative to the current folder), replacing a
  // file there only when the whole document is on the disk; false with
  // strError (the system's reason), the earlier file as it was.
  static bool WritePdf(const CReportModel& model, const QString& strPath, QString& strError);

  int PageCount() const { return m_nPages; }

 private:
  struct Row {
    double dHeight;
    std::function<void(QPainter&, const QRectF&)> draw;
    bool bKeepWithNext = false;
  };
  void BuildRows(QPagedPaintDevice& device);

  const CReportModel& m_model;
  std::vector<Row> m_arRow;
  int m_nPages = 0;
};
