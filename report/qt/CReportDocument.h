#pragma once
// The report laid out for paper, to be handed over: A4 portrait, page 1 a
// summary as the form lays out its figures (the header with the date of
// printing, the main items in their blocks, the monthly block, the count of
// findings), then the accounts behind each item (an item never apart from
// its lines), the chart of monthly sales and the findings; at the foot of
// each page the business, its data ID, the date and the page number. Text is drawn as text and the chart as vectors, so the
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
    bool bNewPage = false;  // starts a page
  };
  void BuildRows(QPagedPaintDevice& device);

  const CReportModel& m_model;
  QString m_strPrinted;  // the date of printing, from the local clock
  std::vector<Row> m_arRow;
  int m_nPages = 0;
};
