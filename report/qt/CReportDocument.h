#pragma once
// The report laid out for paper, to be handed over: A4 portrait, page 1 a
// summary as the form lays out its figures (the header with the date of
// printing, the main items in their blocks, the monthly block, the count of
// findings), then the accounts behind each item (an item never apart from
// its lines), the chart of monthly sales and the findings; at the foot of
// each page the business, its data ID, the date and the page number. Text is drawn as text and the chart as vectors, so the
// PDF can be searched and copied.

#include <QColor>
#include <QString>
#include <functional>
#include <vector>

#include "CReportModel.h"

class QFont;
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
  struct Cell;
  void BuildRows(QPagedPaintDevice& device);
  void AddText(const QFont& font, const QString& strText, double dIndentMm = 0, bool bKeep = false,
               QColor color = Qt::black);
  void AddCells(const QFont& font, const std::vector<Cell>& arCell, bool bKeep = false,
                bool bRule = false, double dLines = 1.0);
  void AddGap(double dMm);
  void NewPage();
  // Keeps the rows from nFirst on with the row after them.
  void KeepFrom(std::size_t nFirst);
  void AddHeader();
  void AddMainItems();
  void AddMonthly(const std::vector<const CReportModel::Item*>& arMonthly);
  void AddFindingCount();
  void AddBreakdown();
  void AddChart();
  void AddFindings();

  const CReportModel& m_model;
  QString m_strPrinted;  // the date of printing, from the local clock
  std::vector<Row> m_arRow;
  int m_nPages = 0;
  // The device the rows are laid out for, while BuildRows runs.
  QPagedPaintDevice* m_pDevice = nullptr;
  double m_dPx = 0;       // device pixels per millimetre
  double m_dWidthMm = 0;  // the printable width
};
