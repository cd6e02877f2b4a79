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

// One table cell: left edge and width in millimetres, alignment.
struct Cell {
  double dLeft;
  double dWidth;
  Qt::Alignment align;
  QString strText;
};

}  // namespace

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
  const double dPx = device.logicalDpiX() / 25.4;  // device pixels per millimetre
  const double dWidthMm = device.width() / dPx;

  const auto addText = [&](const QFont& font, const QString& strText, double dIndentMm = 0,
                           bool bKeep = false, QColor color = Qt::black) {
    const QFontMetricsF fm(font, &device);
    const double dWidth = (dWidthMm - dIndentMm) * dPx;
    const QRectF bounds = fm.boundingRect(QRectF(0, 0, dWidth, 1e6),
                                          Qt::TextWordWrap | Qt::TextWrapAnywhere, strText);
    m_arRow.push_back({bounds.height() + fm.leading(),
                       [=](QPainter& painter, const QRectF& rect) {
                         painter.setFont(font);
                         painter.setPen(color);
                         painter.drawText(rect.adjusted(dIndentMm * dPx, 0, 0, 0),
                                          Qt::TextWordWrap | Qt::TextWrapAnywhere, strText);
                       },
                       bKeep});
  };
  const auto addCells = [&](const QFont& font, const std::vector<Cell>& arCell, bool bKeep = false,
                            bool bRule = false, double dLines = 1.0) {
    const QFontMetricsF fm(font, &device);
    m_arRow.push_back({fm.lineSpacing() * dLines + dPx * 0.6,
                       [=](QPainter& painter, const QRectF& rect) {
                         painter.setFont(font);
                         painter.setPen(Qt::black);
                         for (const Cell& cell : arCell) {
                           const QRectF box(rect.left() + cell.dLeft * dPx, rect.top(),
                                            cell.dWidth * dPx, rect.height());
                           painter.drawText(box,
                                            cell.align | Qt::TextWordWrap | Qt::TextWrapAnywhere,
                                            cell.strText);
                         }
                         if (bRule) {
                           painter.setPen(QPen(Qt::gray, dPx * 0.15));
                           painter.drawLine(QPointF(rect.left(), rect.bottom()),
                                            QPointF(rect.right(), rect.bottom()));
                         }
                       },
                       bKeep});
  };
  const auto addGap = [&](double dMm) { m_arRow.push_back({dMm * dPx, {}, false}); };
  const auto newPage = [&]() { m_arRow.push_back({0, {}, false, true}); };
  // Keeps the rows from nFirst on with the row after them.
  const auto keepFrom = [&](std::size_t nFirst) {
    for (std::size_t i = nFirst; i + 1 < m_arRow.size(); ++i) m_arRow[i].bKeepWithNext = true;
  };
  const Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
  const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

  // Page 1: the summary as the form lays out its figures.
  addText(Font(14, true), QStringLiteral("事業概況書 集計結果"));
  addGap(2);
  for (const QString& strLine : reportqt::HeaderLines(m_model)) addText(Font(9), strLine);
  addText(Font(9), QStringLiteral("印刷日: ") + m_strPrinted);
  addGap(4);

  // The profit-and-loss items on the left, the balance sheet on the right.
  std::vector<const CReportModel::Item*> arBlock[2];
  for (const CReportModel::Item& item : m_model.m_arItem) {
    if (!item.bMonthly) arBlock[item.bBalanceSheet ? 1 : 0].push_back(&item);
  }
  const double dHalf = dWidthMm / 2;
  const auto blockCells = [&](const CReportModel::Item* pItem, double dLeft) -> std::vector<Cell> {
    if (pItem == nullptr) return {};
    return {{dLeft, 8, kRight, QString::number(pItem->nNumber)},
            {dLeft + 10, dHalf - 40, kLeft, reportqt::Text(pItem->strName)},
            {dLeft + dHalf - 30, 26, kRight, reportqt::Figure(pItem->dThousands)}};
  };
  addText(Font(11, true), QStringLiteral("主要科目（単位: 千円）"), 0, true);
  addCells(Font(8, true),
           {{0, dHalf - 4, kLeft, QStringLiteral("損益")},
            {dHalf, dHalf - 4, kLeft, QStringLiteral("貸借")}},
           true, true);
  for (std::size_t r = 0; r < std::max(arBlock[0].size(), arBlock[1].size()); ++r) {
    std::vector<Cell> arCell = blockCells(r < arBlock[0].size() ? arBlock[0][r] : nullptr, 0);
    for (Cell& cell : blockCells(r < arBlock[1].size() ? arBlock[1][r] : nullptr, dHalf)) {
      arCell.push_back(cell);
    }
    addCells(Font(8), arCell, false, true);
  }
  addGap(4);

  // Monthly block: months down, items across, a total at the foot.
  std::vector<const CReportModel::Item*> arMonthly;
  for (const CReportModel::Item& item : m_model.m_arItem) {
    if (item.bMonthly) arMonthly.push_back(&item);
  }
  if (!arMonthly.empty()) {
    addText(Font(11, true), QStringLiteral("月別売上等（単位: 円）"), 0, true);
    constexpr double kMonthMm = 14.0;
    const double dColumnMm = (dWidthMm - kMonthMm) / static_cast<double>(arMonthly.size());
    std::vector<Cell> arHead = {{0, kMonthMm, kLeft, QStringLiteral("月")}};
    for (std::size_t c = 0; c < arMonthly.size(); ++c) {
      arHead.push_back({kMonthMm + dColumnMm * static_cast<double>(c), dColumnMm - 1,
                        Qt::AlignRight | Qt::AlignBottom,
                        QStringLiteral("%1 %2")
                            .arg(arMonthly[c]->nNumber)
                            .arg(reportqt::Text(arMonthly[c]->strName))});
    }
    addCells(Font(6.5, true), arHead, true, true, 2.0);
    std::vector<double> arTotal(arMonthly.size(), 0.0);
    for (std::size_t m = 0; m < m_model.m_arMonth.size(); ++m) {
      std::vector<Cell> arCell = {{0, kMonthMm, kLeft, reportqt::MonthName(m_model.m_arMonth[m])}};
      for (std::size_t c = 0; c < arMonthly.size(); ++c) {
        const double dValue = m < arMonthly[c]->arMonth.size() ? arMonthly[c]->arMonth[m] : 0.0;
        arTotal[c] += dValue;
        arCell.push_back({kMonthMm + dColumnMm * static_cast<double>(c), dColumnMm - 1, kRight,
                          reportqt::Figure(dValue)});
      }
      addCells(Font(7), arCell);
    }
    std::vector<Cell> arFoot = {{0, kMonthMm, kLeft, QStringLiteral("計")}};
    for (std::size_t c = 0; c < arMonthly.size(); ++c) {
      arFoot.push_back({kMonthMm + dColumnMm * static_cast<double>(c), dColumnMm - 1, kRight,
                        reportqt::Figure(arTotal[c])});
    }
    addCells(Font(7, true), arFoot);
    addGap(4);
  }
  int nCount[2] = {0, 0};
  for (const CReportModel::Finding& finding : m_model.m_arFinding) {
    ++nCount[finding.severity == CReportModel::Severity::Warning ? 0 : 1];
  }
  addText(Font(10, true), QStringLiteral("指摘事項: 警告 %1件、情報 %2件（内容は科目の内訳の後）")
                              .arg(nCount[0])
                              .arg(nCount[1]));
  newPage();

  // The accounts behind each item, an item never apart from its lines.
  addText(Font(11, true), QStringLiteral("科目の内訳（主要科目は千円、内訳は円）"), 0, true);
  const double dFigureRight = dWidthMm;
  const auto addLine = [&](const QString& strCode, const QString& strName, const QString& strFigure) {
    addCells(Font(7.5), {{22, 14, kRight, strCode},
                         {40, 80, kLeft, strName},
                         {dFigureRight - 70, 40, kRight, strFigure}});
  };
  for (const CReportModel::Item& item : m_model.m_arItem) {
    const std::size_t nFirst = m_arRow.size();
    addCells(Font(9), {{0, 12, kRight, QString::number(item.nNumber)},
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
    keepFrom(nFirst);
  }
  addGap(5);

  if (!arMonthly.empty()) {
    // The chart as the window shows it, scaled onto the page as vectors.
    const CReportModel* pModel = &m_model;
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
    addGap(5);
  }

  addText(Font(11, true), QStringLiteral("指摘事項"), 0, true);
  if (m_model.m_arFinding.empty()) addText(Font(9), QStringLiteral("なし"), 4);
  for (const CReportModel::Finding& finding : m_model.m_arFinding) {
    addText(
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
