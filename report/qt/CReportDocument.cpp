#include "CReportDocument.h"

#include <QBuffer>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cerrno>
#include <ctime>
#include <memory>

#include "CQtDialogMetrics.h"
#include "CReplaceFile.h"
#include "CReportChart.h"
#include "CReportModel.h"
#include "Cp932.h"
#include "LocalClock.h"
#include "ReportQtText.h"
#include "SystemError.h"

namespace {

constexpr double kMarginMm = 15.0;
constexpr double kFooterMm = 8.0;
constexpr double kChartHeightMm = 70.0;
// The chart is laid out at screen size and scaled onto the page.
constexpr double kChartPixelsPerMm = 96.0 / 25.4;

QFont Font(double dPoints, bool bBold = false) {
  QFont font(CQtDialogMetrics::MapFace(QString()));
  font.setPointSizeF(dPoints);
  font.setBold(bBold);
  return font;
}

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

}  // namespace

// One table cell: left edge and width in millimetres, alignment.
struct CReportDocument::Cell {
  double dLeft;
  double dWidth;
  Qt::Alignment align;
  QString strText;
};

CReportDocument::CReportDocument(const CReportModel& model) : m_model(model) {
  std::tm now{};
  if (platform::GetCurrentLocalTime(now)) {
    m_strPrinted = QStringLiteral("%1/%2/%3")
                       .arg(now.tm_year + 1900, 4, 10, QLatin1Char('0'))
                       .arg(now.tm_mon + 1, 2, 10, QLatin1Char('0'))
                       .arg(now.tm_mday, 2, 10, QLatin1Char('0'));
  }
}

void CReportDocument::BuildRows(QPagedPaintDevice& device) {
  m_arRow.clear();
  m_pDevice = &device;
  m_dPx = device.logicalDpiX() / 25.4;
  m_dWidthMm = device.width() / m_dPx;

  std::vector<const CReportModel::Item*> arMonthly;
  for (const CReportModel::Item& item : m_model.m_arItem) {
    if (item.bMonthly) arMonthly.push_back(&item);
  }
  AddHeader();
  AddMainItems();
  if (!arMonthly.empty()) AddMonthly(arMonthly);
  AddFindingCount();
  NewPage();
  AddBreakdown();
  if (!arMonthly.empty()) AddChart();
  AddFindings();
}

void CReportDocument::AddText(const QFont& font, const QString& strText, double dIndentMm,
                              bool bKeep, QColor color) {
  const QFontMetricsF fm(font, m_pDevice);
  const double dPx = m_dPx;
  const QRectF bounds = fm.boundingRect(QRectF(0, 0, (m_dWidthMm - dIndentMm) * dPx, 1e6),
                                        Qt::TextWordWrap | Qt::TextWrapAnywhere, strText);
  m_arRow.push_back({bounds.height() + fm.leading(),
                     [=](QPainter& painter, const QRectF& rect) {
                       painter.setFont(font);
                       painter.setPen(color);
                       painter.drawText(rect.adjusted(dIndentMm * dPx, 0, 0, 0),
                                        Qt::TextWordWrap | Qt::TextWrapAnywhere, strText);
                     },
                     bKeep});
}

void CReportDocument::AddCells(const QFont& font, const std::vector<Cell>& arCell, bool bKeep,
                               bool bRule, double dLines) {
  const QFontMetricsF fm(font, m_pDevice);
  const double dPx = m_dPx;
  m_arRow.push_back({fm.lineSpacing() * dLines + dPx * 0.6,
                     [=](QPainter& painter, const QRectF& rect) {
                       painter.setFont(font);
                       painter.setPen(Qt::black);
                       for (const Cell& cell : arCell) {
                         const QRectF box(rect.left() + cell.dLeft * dPx, rect.top(),
                                          cell.dWidth * dPx, rect.height());
                         painter.drawText(box, cell.align | Qt::TextWordWrap | Qt::TextWrapAnywhere,
                                          cell.strText);
                       }
                       if (bRule) {
                         painter.setPen(QPen(Qt::gray, dPx * 0.15));
                         painter.drawLine(QPointF(rect.left(), rect.bottom()),
                                          QPointF(rect.right(), rect.bottom()));
                       }
                     },
                     bKeep});
}

void CReportDocument::AddGap(double dMm) { m_arRow.push_back({dMm * m_dPx, {}, false}); }

void CReportDocument::NewPage() { m_arRow.push_back({0, {}, false, true}); }

void CReportDocument::KeepFrom(std::size_t nFirst) {
  for (std::size_t i = nFirst; i + 1 < m_arRow.size(); ++i) m_arRow[i].bKeepWithNext = true;
}

// Page 1 opens with the summary as the form lays out its figures.
void CReportDocument::AddHeader() {
  AddText(Font(14, true), QStringLiteral("事業概況書 集計結果"));
  AddGap(2);
  for (const QString& strLine : reportqt::HeaderLines(m_model)) AddText(Font(9), strLine);
  AddText(Font(9), QStringLiteral("印刷日: ") + m_strPrinted);
  AddGap(4);
}

// The profit-and-loss items on the left, the balance sheet on the right.
void CReportDocument::AddMainItems() {
  std::vector<const CReportModel::Item*> arBlock[2];
  for (const CReportModel::Item& item : m_model.m_arItem) {
    if (!item.bMonthly) arBlock[item.bBalanceSheet ? 1 : 0].push_back(&item);
  }
  const double dHalf = m_dWidthMm / 2;
  const auto blockCells = [&](const std::vector<const CReportModel::Item*>& arItem, std::size_t r,
                              double dLeft, std::vector<Cell>& arCell) {
    if (r >= arItem.size()) return;
    const CReportModel::Item& item = *arItem[r];
    arCell.push_back({dLeft, 8, kRight, QString::number(item.nNumber)});
    arCell.push_back({dLeft + 10, dHalf - 40, kLeft, reportqt::Text(item.strName)});
    arCell.push_back({dLeft + dHalf - 30, 26, kRight, reportqt::Figure(item.dThousands)});
  };
  AddText(Font(11, true), QStringLiteral("主要科目（単位: 千円）"), 0, true);
  AddCells(Font(8, true),
           {{0, dHalf - 4, kLeft, QStringLiteral("損益")},
            {dHalf, dHalf - 4, kLeft, QStringLiteral("貸借")}},
           true, true);
  for (std::size_t r = 0; r < std::max(arBlock[0].size(), arBlock[1].size()); ++r) {
    std::vector<Cell> arCell;
    blockCells(arBlock[0], r, 0, arCell);
    blockCells(arBlock[1], r, dHalf, arCell);
    AddCells(Font(8), arCell, false, true);
  }
  AddGap(4);
}

// Monthly block: months down, items across, a total at the foot.
void CReportDocument::AddMonthly(const std::vector<const CReportModel::Item*>& arMonthly) {
  AddText(Font(11, true), QStringLiteral("月別売上等（単位: 円）"), 0, true);
  constexpr double kMonthMm = 14.0;
  const double dColumnMm = (m_dWidthMm - kMonthMm) / static_cast<double>(arMonthly.size());
  const auto row = [&](const QString& strFirst, Qt::Alignment align, auto text) {
    std::vector<Cell> arCell = {{0, kMonthMm, kLeft, strFirst}};
    for (std::size_t c = 0; c < arMonthly.size(); ++c) {
      arCell.push_back(
          {kMonthMm + dColumnMm * static_cast<double>(c), dColumnMm - 1, align, text(c)});
    }
    return arCell;
  };
  AddCells(Font(6.5, true), row(QStringLiteral("月"), Qt::AlignRight | Qt::AlignBottom,
                                [&](std::size_t c) {
                                  return QStringLiteral("%1 %2")
                                      .arg(arMonthly[c]->nNumber)
                                      .arg(reportqt::Text(arMonthly[c]->strName));
                                }),
           true, true, 2.0);
  std::vector<double> arTotal(arMonthly.size(), 0.0);
  for (std::size_t m = 0; m < m_model.m_arMonth.size(); ++m) {
    AddCells(Font(7), row(reportqt::MonthName(m_model.m_arMonth[m]), kRight, [&](std::size_t c) {
               const double dValue =
                   m < arMonthly[c]->arMonth.size() ? arMonthly[c]->arMonth[m] : 0.0;
               arTotal[c] += dValue;
               return reportqt::Figure(dValue);
             }));
  }
  AddCells(Font(7, true), row(QStringLiteral("計"), kRight,
                              [&](std::size_t c) { return reportqt::Figure(arTotal[c]); }));
  AddGap(4);
}

void CReportDocument::AddFindingCount() {
  int nCount[2] = {0, 0};
  for (const CReportModel::Finding& finding : m_model.m_arFinding) {
    ++nCount[finding.severity == CReportModel::Severity::Warning ? 0 : 1];
  }
  AddText(Font(10, true), QStringLiteral("指摘事項: 警告 %1件、情報 %2件（内容は科目の内訳の後）")
                              .arg(nCount[0])
                              .arg(nCount[1]));
}

// The accounts behind each item, an item never apart from its lines.
void CReportDocument::AddBreakdown() {
  AddText(Font(11, true), QStringLiteral("科目の内訳（主要科目は千円、内訳は円）"), 0, true);
  const double dFigureRight = m_dWidthMm;
  const auto addLine = [&](const QString& strCode, const QString& strName, const QString& strFigure) {
    AddCells(Font(7.5), {{22, 14, kRight, strCode},
                         {40, 80, kLeft, strName},
                         {dFigureRight - 70, 40, kRight, strFigure}});
  };
  for (const CReportModel::Item& item : m_model.m_arItem) {
    const std::size_t nFirst = m_arRow.size();
    AddCells(Font(9), {{0, 12, kRight, QString::number(item.nNumber)},
                       {16, 90, kLeft, reportqt::Text(item.strName)},
                       {dFigureRight - 40, 40, kRight,
                        item.bMonthly ? QString() : reportqt::Figure(item.dThousands)}});
    for (const CReportModel::Account& account : item.arAccount) {
      addLine(QString::number(account.nCode), reportqt::Text(account.strName),
              (item.bMonthly ? QStringLiteral("期間計 ") : QString()) +
                  reportqt::Figure(account.dAmount) + QStringLiteral("円"));
    }
    for (const CReportModel::Part& part : item.arPart) {
      addLine(part.nItem != 0 ? QStringLiteral("項目%1").arg(part.nItem) : QString(),
              part.nItem != 0 ? reportqt::Text(part.strName)
                              : QStringLiteral("（%1）").arg(reportqt::Text(part.strName)),
              reportqt::Figure(part.dAmount) + QStringLiteral("円"));
    }
    KeepFrom(nFirst);
  }
  AddGap(5);
}

// The chart as the window shows it, scaled onto the page as vectors.
void CReportDocument::AddChart() {
  const CReportModel* pModel = &m_model;
  const double dPx = m_dPx;
  m_arRow.push_back({kChartHeightMm * dPx,
                     [pModel, dPx](QPainter& painter, const QRectF& rect) {
                       QFont font(CQtDialogMetrics::MapFace(QString()));
                       font.setPixelSize(11);
                       QGraphicsScene scene;
                       QChart* pChart = CReportChart::Create(*pModel, font);
                       scene.addItem(pChart);
                       const QRectF source(0, 0, rect.width() / dPx * kChartPixelsPerMm,
                                           rect.height() / dPx * kChartPixelsPerMm);
                       pChart->setGeometry(source);
                       scene.setSceneRect(source);
                       scene.render(&painter, rect, source);
                     },
                     false});
  AddGap(5);
}

void CReportDocument::AddFindings() {
  AddText(Font(11, true), QStringLiteral("指摘事項"), 0, true);
  if (m_model.m_arFinding.empty()) AddText(Font(9), QStringLiteral("なし"), 4);
  for (const CReportModel::Finding& finding : m_model.m_arFinding) {
    AddText(
        Font(9),
        QStringLiteral("［%1］").arg(reportqt::Severity(finding.severity)) +
            reportqt::Text(finding.strMessage),
        4, false,
        finding.severity == CReportModel::Severity::Warning ? QColor(0xa0, 0x20, 0x20) : Qt::black);
  }
}

bool CReportDocument::Print(QPagedPaintDevice& device) {
  BuildRows(device);
  const double dPx = device.logicalDpiX() / 25.4;
  const double dBottom = device.height() - kFooterMm * dPx;

  // Pages first, so that every foot can say how many there are.
  std::vector<std::vector<std::pair<const Row*, double>>> arPage(1);
  double dY = 0;
  for (std::size_t i = 0; i < m_arRow.size(); ++i) {
    const Row& row = m_arRow[i];
    double dNeed = row.dHeight;
    // A heading stays with the row after it.
    for (std::size_t j = i; m_arRow[j].bKeepWithNext && j + 1 < m_arRow.size(); ++j) {
      dNeed += m_arRow[j + 1].dHeight;
    }
    if (row.bNewPage || (dY > 0 && dY + dNeed > dBottom &&
                         (row.draw || dY + row.dHeight > dBottom))) {
      arPage.emplace_back();
      dY = 0;
    }
    if (!row.draw && dY == 0) continue;
    arPage.back().emplace_back(&row, dY);
    dY += row.dHeight;
  }
  m_nPages = static_cast<int>(arPage.size());

  QPainter painter;
  if (!painter.begin(&device)) return false;
  const QFont footFont = Font(8);
  for (int nPage = 0; nPage < m_nPages; ++nPage) {
    if (nPage > 0 && !device.newPage()) return false;
    for (const auto& [pRow, dTop] : arPage[static_cast<std::size_t>(nPage)]) {
      if (pRow->draw) pRow->draw(painter, QRectF(0, dTop, device.width(), pRow->dHeight));
    }
    painter.setFont(footFont);
    painter.setPen(Qt::black);
    const QRectF foot(0, dBottom, device.width(), kFooterMm * dPx);
    painter.drawText(foot, Qt::AlignLeft | Qt::AlignBottom,
                     QStringLiteral("事業概況書 集計結果　") +
                         reportqt::Text(m_model.m_strJigyoName) + QStringLiteral("　") +
                         reportqt::Text(m_model.m_strDataID));
    painter.drawText(foot, Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("印刷日 ") + m_strPrinted);
    painter.drawText(foot, Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("%1 / %2").arg(nPage + 1).arg(m_nPages));
  }
  return painter.end();
}

bool CReportDocument::WritePdf(const CReportModel& model, const QString& strPath,
                               QString& strError) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter));
    writer.setResolution(600);
    writer.setTitle(QStringLiteral("事業概況書 集計結果 ") + reportqt::Text(model.m_strJigyoName));
    writer.setCreator(QStringLiteral("QT10ToRX16_G"));
    CReportDocument document(model);
    if (!document.Print(writer)) {
      strError = QStringLiteral("PDFを作成できません。");
      return false;
    }
  }
  // Drawn whole in memory, the file is then replaced like every file the
  // program writes: a failure leaves the earlier one as it was.
  CString strCp932Path;
  int nError = EINVAL;
  if (cp932::FromUtf8(strPath.toStdString(), strCp932Path) &&
      CReplaceFile::WriteBytes(strCp932Path.c_str(), buffer.data().toStdString(), &nError) == 0) {
    return true;
  }
  strError = reportqt::Text(platform::SystemErrorText(nError));
  return false;
}
