#include "CFigureChecks.h"

#include <cmath>

#include "CItemBreakdown.h"
#include "ItemRules.h"
#include "ReportFormat.h"

namespace {

// Whole yen from the books; a file's figures are cut to thousands each.
constexpr double kYenTolerance = 0.5;
constexpr double kThousand = 1000.0;
// A move against the year before worth a look: more than half, and more
// than a thousand thousand yen.
constexpr double kMoveShare = 0.5;
constexpr double kMoveYen = 1000000.0;

CString ItemText(const CReportModel::Item& item) {
  return "項目" + std::to_string(item.nNumber) + "「" + item.strName + "」";
}

CString Yen(double dValue) { return report::Grouped(dValue) + "円"; }

}  // namespace

CFigureChecks::CFigureChecks(const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
                             const CArray<S_KANKAMOKU, S_KANKAMOKU>& arKamoku)
    : m_arInitBody(arInitBody), m_arKamoku(arKamoku) {}

void CFigureChecks::Run(CReportModel& model) const {
  CheckNegative(model);
  CheckSubtotals(model);
}

void CFigureChecks::CheckNegative(CReportModel& model) const {
  const double dTolerance = model.m_bFromBooks ? kYenTolerance : kThousand - kYenTolerance;
  for (const _SG_INIT_BODY& body : m_arInitBody) {
    const CReportModel::Item* pItem = model.FindItem(body.nGaiNo);
    if (pItem == nullptr || pItem->bMonthly || pItem->dYen > -dTolerance ||
        !report::CannotBeNegative(body, m_arKamoku)) {
      continue;
    }
    CString strWhy;
    for (const CReportModel::Account& account : pItem->arAccount) {
      if (account.dAmount > -kYenTolerance) continue;
      strWhy += (strWhy.empty() ? "" : "、") + std::to_string(account.nCode) + "「" +
                account.strName + "」" + Yen(account.dAmount);
    }
    if (!strWhy.empty()) strWhy = "負の科目: " + strWhy + "。";
    model.m_arFinding.push_back({"negative-item", CReportModel::Severity::Warning,
                                 pItem->nNumber, 0, 0,
                                 ItemText(*pItem) + "が負（" + Yen(pItem->dYen) +
                                     "）です。健全な年度では負になりません。" + strWhy,
                                 pItem->dYen});
  }
}

void CFigureChecks::CheckSubtotals(CReportModel& model) const {
  for (std::size_t i = 0; i < m_arInitBody.size(); ++i) {
    const std::optional<CItemBreakdown::Result> result =
        CItemBreakdown::Compute(model, m_arInitBody, i);
    const CReportModel::Item* pTotal = model.FindItem(m_arInitBody[i].nGaiNo);
    if (!result || pTotal == nullptr) continue;
    // Each figure of a file may be up to a thousand short.
    const double dTolerance =
        model.m_bFromBooks ? kYenTolerance
                           : kThousand * static_cast<double>(result->arPart.size() + 1);
    const double dRest = result->dRest;
    CString strParts;
    for (const CReportModel::Part& part : result->arPart) {
      if (part.nItem == 0) continue;
      strParts += (strParts.empty() ? "" : (part.dAmount < 0 ? " − " : " ＋ ")) + CString("項目") +
                  std::to_string(part.nItem);
    }
    CString strWhat;
    if (result->bExact && std::fabs(dRest) > dTolerance) {
      strWhat = "が " + strParts + "（" + Yen(pTotal->dYen - dRest) + "）と" + Yen(dRest) +
                "異なります。";
    } else if (result->nRestSign > 0 && dRest < -dTolerance) {
      strWhat = "が内訳の項目 " + strParts + "（" + Yen(pTotal->dYen - dRest) + "）より" +
                Yen(-dRest) + "小さくなっています。";
    } else if (result->nRestSign < 0 && dRest > dTolerance) {
      strWhat = "が " + strParts + "（" + Yen(pTotal->dYen - dRest) + "）より" + Yen(dRest) +
                "大きくなっています。";
    } else {
      continue;
    }
    model.m_arFinding.push_back({"subtotal-mismatch", CReportModel::Severity::Warning,
                                 pTotal->nNumber, 0, 0,
                                 ItemText(*pTotal) + "（" + Yen(pTotal->dYen) + "）" + strWhat,
                                 dRest});
  }
}

void CFigureChecks::ComparePrevious(CReportModel& model, const CReportModel& previous) {
  for (const CReportModel::Item& item : model.m_arItem) {
    const CReportModel::Item* pBefore = previous.FindItem(item.nNumber);
    if (item.bMonthly || pBefore == nullptr || pBefore->bMonthly) continue;
    const double dMove = item.dYen - pBefore->dYen;
    if (std::fabs(dMove) <= kMoveYen || std::fabs(dMove) <= kMoveShare * std::fabs(pBefore->dYen)) {
      continue;
    }
    model.m_arFinding.push_back({"previous-year", CReportModel::Severity::Information,
                                 item.nNumber, 0, 0,
                                 ItemText(item) + "が前年（" + Yen(pBefore->dYen) + "）から" +
                                     Yen(dMove) + "動いています（" + Yen(item.dYen) + "）。",
                                 dMove});
  }
  // The first monthly item is the monthly sales.
  const CReportModel::Item* pSales = nullptr;
  const CReportModel::Item* pSalesBefore = nullptr;
  for (const CReportModel::Item& item : model.m_arItem) {
    if (item.bMonthly && pSales == nullptr) pSales = &item;
  }
  for (const CReportModel::Item& item : previous.m_arItem) {
    if (item.bMonthly && pSalesBefore == nullptr) pSalesBefore = &item;
  }
  if (pSales == nullptr || pSalesBefore == nullptr) return;
  for (std::size_t m = 0; m < model.m_arMonth.size() && m < pSales->arMonth.size(); ++m) {
    if (std::fabs(pSales->arMonth[m]) >= kYenTolerance) continue;
    for (std::size_t p = 0; p < previous.m_arMonth.size() && p < pSalesBefore->arMonth.size();
         ++p) {
      const double dBefore = pSalesBefore->arMonth[p];
      if (previous.m_arMonth[p] != model.m_arMonth[m] || std::fabs(dBefore) < kYenTolerance) {
        continue;
      }
      const int nMonth = model.m_arMonth[m];
      model.m_arFinding.push_back({"previous-year", CReportModel::Severity::Information,
                                   pSales->nNumber, 0, nMonth,
                                   std::to_string(nMonth) + "月度の" + ItemText(*pSales) +
                                       "がありません（前年 " + Yen(dBefore) + "）。",
                                   -dBefore});
    }
  }
}
