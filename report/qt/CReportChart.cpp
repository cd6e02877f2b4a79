#include "CReportChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QValueAxis>

#include "CReportModel.h"
#include "ReportQtText.h"

QChart* CReportChart::Create(const CReportModel& model, const QFont& font) {
  auto* pChart = new QChart;
  const CReportModel::Item* pSales = nullptr;
  for (const CReportModel::Item& item : model.m_arItem) {
    if (item.bMonthly) {
      pSales = &item;
      break;
    }
  }
  pChart->setTitleFont(font);
  pChart->legend()->hide();
  if (pSales == nullptr) return pChart;
  pChart->setTitle(reportqt::Text(pSales->strName) + QStringLiteral("（千円）"));

  auto* pSet = new QBarSet(reportqt::Text(pSales->strName));
  pSet->setColor(QColor(0x3a, 0x6e, 0xa5));
  QStringList months;
  double dMax = 0.0;
  double dMin = 0.0;
  for (std::size_t i = 0; i < pSales->arMonth.size() && i < model.m_arMonth.size(); ++i) {
    const double dThousands = pSales->arMonth[i] / 1000.0;
    *pSet << dThousands;
    dMax = std::max(dMax, dThousands);
    dMin = std::min(dMin, dThousands);
    months << reportqt::MonthName(model.m_arMonth[i]);
  }
  auto* pSeries = new QBarSeries;
  pSeries->append(pSet);
  pChart->addSeries(pSeries);

  auto* pAxisX = new QBarCategoryAxis;
  pAxisX->append(months);
  pAxisX->setLabelsFont(font);
  pChart->addAxis(pAxisX, Qt::AlignBottom);
  pSeries->attachAxis(pAxisX);
  auto* pAxisY = new QValueAxis;
  pAxisY->setRange(dMin, dMax > dMin ? dMax : dMin + 1.0);
  pAxisY->setLabelFormat(QStringLiteral("%.0f"));
  pAxisY->setLabelsFont(font);
  pAxisY->applyNiceNumbers();
  pChart->addAxis(pAxisY, Qt::AlignLeft);
  pSeries->attachAxis(pAxisY);
  return pChart;
}
