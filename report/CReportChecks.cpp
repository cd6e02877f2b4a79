#include "CReportChecks.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "CFinGaiFigures.h"
#include "CFinGaiSum.h"
#include "CKaikei.h"
#include "FinGaiGlobals.h"
#include "KAMOKU_CLASS.h"
#include "ReportFormat.h"

using report::FieldText;

namespace {

// Amounts are whole yen held in doubles: anything from half a yen apart differs.
constexpr double kYenTolerance = 0.5;

CString Number(int nValue) { return std::to_string(nValue); }

CString Quoted(const CString& strName) { return "「" + strName + "」"; }

CString SideName(int nSide) { return nSide == KAMOKU_KASIKATA ? "貸方" : "借方"; }

}  // namespace

CReportChecks::CReportChecks(const CArray<S_KANKAMOKU, S_KANKAMOKU>& arKamoku,
                             const CArray<_SG_MATCH, _SG_MATCH>& arMatch,
                             const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
                             const CFinGaiSum& sum)
    : m_arKamoku(arKamoku), m_arMatch(arMatch), m_arInitBody(arInitBody), m_sum(sum) {}

void CReportChecks::Run(CReportModel& model) {
  CheckMatches(model);
  CheckEmptyMonths(model);
  CheckBalance(model);
  CheckUnmapped(model);
  CheckMonthlySales(model);
}

const S_KANKAMOKU* CReportChecks::FindKamoku(short nCode) const {
  for (const S_KANKAMOKU& kamoku : m_arKamoku) {
    if (kamoku.nKamokuCode == nCode) return &kamoku;
  }
  return nullptr;
}

const _SG_INIT_BODY* CReportChecks::FindBody(int nItem) const {
  for (const _SG_INIT_BODY& body : m_arInitBody) {
    if (body.nGaiNo == nItem) return &body;
  }
  return nullptr;
}

double CReportChecks::Movement(short nCode, int nElement) const {
  const S_KANKAMOKU* pKamoku = FindKamoku(nCode);
  if (pKamoku == nullptr || m_sum.m_pTukiKan == nullptr) return 0.0;
  for (short i = 0; i < m_sum.m_nTukiCount; ++i) {
    const TUKIKAN& entry = m_sum.m_pTukiKan[i];
    if (entry.nKamokuCode != nCode) continue;
    double dMove = entry.dKingaku[nElement];
    // A twelve-month year holds the balance carried forward in month 1 too.
    if (nElement == 1 && m_sum.m_bFullYear && IsBalanceSheetClass(pKamoku->byClass)) {
      dMove -= entry.dKingaku[0];
    }
    return dMove;
  }
  return 0.0;
}

std::vector<int> CReportChecks::SpanElements() const {
  const int nFrom = g_pKaikei->NaibuTuki(m_sum.m_nStartMonth, 1);
  const int nSpan = (m_sum.m_nEndMonth - m_sum.m_nStartMonth + 12) % 12 + 1;
  std::vector<int> arElement;
  for (int k = 0; k < nSpan && nFrom >= 1 && nFrom + k <= 12; ++k) arElement.push_back(nFrom + k);
  return arElement;
}

void CReportChecks::Add(CReportModel& model, const char* pszCode, CReportModel::Severity severity,
                        int nItem, int nAccount, int nMonth, const CString& strMessage) {
  model.m_arFinding.push_back({pszCode, severity, nItem, nAccount, nMonth, strMessage});
}

void CReportChecks::CheckMatches(CReportModel& model) {
  constexpr auto kWarning = CReportModel::Severity::Warning;
  // Main item of each account already seen, to tell a second mapping.
  std::map<short, int> mapMainItem;
  for (const _SG_MATCH& match : m_arMatch) {
    const _SG_INIT_BODY* pBody = FindBody(match.nGaiNo);
    // Matches of formula items and the sentinel feed nothing.
    if (match.nGaiNo == 0 || pBody == nullptr || !CFinGaiSum::IsAccountItem(*pBody)) continue;
    const CString strItem = "項目" + Number(match.nGaiNo) + Quoted(FieldText(pBody->szGaiName));
    const S_KANKAMOKU* pKamoku = FindKamoku(match.nBokiCode);
    if (pKamoku == nullptr) {
      Add(model, "unknown-account", kWarning, match.nGaiNo, match.nBokiCode, 0,
          strItem + "に対応付けられた科目コード" + Number(match.nBokiCode) +
              "は帳簿にありません。この対応は何も集計しません。");
      continue;
    }
    const CString strAccount =
        "科目" + Number(match.nBokiCode) + Quoted(FieldText(pKamoku->szKamokuName));
    if (match.nTaisyaku != pKamoku->byTaisyaku) {
      Add(model, "side-mismatch", kWarning, match.nGaiNo, match.nBokiCode, 0,
          strItem + "の" + strAccount + "は、対応付けの貸借区分（" + SideName(match.nTaisyaku) +
              "）が帳簿の貸借区分（" + SideName(pKamoku->byTaisyaku) +
              "）と異なります。符号が逆に集計されます。");
    }
    if (pBody->nKubun >= SG_MONTHLY_KUBUN && IsBalanceSheetClass(pKamoku->byClass)) {
      Add(model, "balance-sheet-monthly", kWarning, match.nGaiNo, match.nBokiCode, 0,
          "月別の" + strItem + "に貸借対照表の" + strAccount +
              "が対応付けられています。繰越残高が最初の月に入ります。");
    }
    if (match.nGaiNo > SG_MAIN_ITEM_COUNT) continue;
    // Copies: the packed record's fields cannot be bound to references.
    const short nCode = match.nBokiCode;
    const int nItem = match.nGaiNo;
    const auto [it, bFirst] = mapMainItem.emplace(nCode, nItem);
    if (bFirst) continue;
    const CString strText =
        it->second == match.nGaiNo
            ? strAccount + "が" + strItem + "に二度対応付けられています。二重に集計されます。"
            : strAccount + "が項目" + Number(it->second) + "と" + strItem +
                  "の両方に対応付けられています。二重に集計されます。";
    Add(model, "duplicate-mapping", kWarning, match.nGaiNo, match.nBokiCode, 0, strText);
  }
}

void CReportChecks::CheckEmptyMonths(CReportModel& model) {
  const std::vector<int> arElement = SpanElements();
  for (std::size_t k = 0; k < arElement.size() && k < model.m_arMonth.size(); ++k) {
    bool bMoved = false;
    for (const S_KANKAMOKU& kamoku : m_arKamoku) {
      if (kamoku.byClass == KAMOKU_CLASS_TOTAL) continue;
      if (std::fabs(Movement(kamoku.nKamokuCode, arElement[k])) >= kYenTolerance) {
        bMoved = true;
        break;
      }
    }
    if (bMoved) continue;
    const int nMonth = model.m_arMonth[k];
    Add(model, "empty-month", CReportModel::Severity::Warning, 0, 0, nMonth,
        Number(nMonth) + "月度には仕訳が一件もありません。");
  }
}

void CReportChecks::CheckBalance(CReportModel& model) {
  const CArray<tag_DATA, tag_DATA>& arData = m_sum.m_arData;
  int nIndex[3] = {-1, -1, -1};
  const short nCodes[3] = {CKaikei::CODE_SHISAN, CKaikei::CODE_HUSAI, CKaikei::CODE_SHIHON};
  for (std::size_t i = 0; i < m_arInitBody.size() && i < arData.size(); ++i) {
    const short nCode = CFinGaiSum::FormulaTotalAccount(m_arInitBody[i]);
    for (int j = 0; j < 3; ++j) {
      if (nCode == nCodes[j] && nIndex[j] < 0) nIndex[j] = static_cast<int>(i);
    }
  }
  if (nIndex[0] < 0 || nIndex[1] < 0 || nIndex[2] < 0) return;
  const double dAssets = CFinGaiFigures::Total(arData[nIndex[0]]);
  const double dOther =
      CFinGaiFigures::Total(arData[nIndex[1]]) + CFinGaiFigures::Total(arData[nIndex[2]]);
  if (std::fabs(dAssets - dOther) < kYenTolerance) return;
  const _SG_INIT_BODY& assets = m_arInitBody[nIndex[0]];
  Add(model, "balance-sheet-unbalanced", CReportModel::Severity::Warning, assets.nGaiNo, 0, 0,
      "項目" + Number(assets.nGaiNo) + Quoted(FieldText(assets.szGaiName)) + "（" +
          report::Grouped(dAssets) + "円）が項目" + Number(m_arInitBody[nIndex[1]].nGaiNo) +
          "と項目" + Number(m_arInitBody[nIndex[2]].nGaiNo) + "の和（" + report::Grouped(dOther) +
          "円）と" + report::Grouped(dAssets - dOther) + "円異なります。");
}

void CReportChecks::CheckUnmapped(CReportModel& model) {
  std::vector<int> arElement = SpanElements();
  // Twelve months take in the settlement period as well.
  if (arElement.size() == 12) arElement.push_back(13);
  std::map<short, bool> mapMapped;
  for (const _SG_MATCH& match : m_arMatch) {
    const _SG_INIT_BODY* pBody = FindBody(match.nGaiNo);
    if (match.nGaiNo != 0 && pBody != nullptr && CFinGaiSum::IsAccountItem(*pBody)) {
      const short nCode = match.nBokiCode;
      mapMapped[nCode] = true;
    }
  }
  // By class, then in the books' order.
  std::multimap<std::uint8_t, CReportModel::Finding> mapByClass;
  for (const S_KANKAMOKU& kamoku : m_arKamoku) {
    const short nCode = kamoku.nKamokuCode;
    if (kamoku.byClass == KAMOKU_CLASS_TOTAL || mapMapped.count(nCode)) continue;
    double dNet = 0.0;
    bool bMoved = false;
    for (int nElement : arElement) {
      const double dMove = Movement(kamoku.nKamokuCode, nElement);
      dNet += dMove;
      bMoved = bMoved || std::fabs(dMove) >= kYenTolerance;
    }
    if (!bMoved) continue;
    mapByClass.emplace(
        kamoku.byClass,
        CReportModel::Finding{
            "unmapped-account", CReportModel::Severity::Information, 0, kamoku.nKamokuCode, 0,
            report::ClassName(kamoku.byClass) + "の科目" + Number(kamoku.nKamokuCode) +
                Quoted(FieldText(kamoku.szKamokuName)) +
                "は期間中に動きがありますが、どの項目にも直接対応付けられていませ"
                "ん（期間の増減 " +
                report::Grouped(dNet) + "円）。"});
  }
  for (auto& [byClass, finding] : mapByClass) model.m_arFinding.push_back(finding);
}

void CReportChecks::CheckMonthlySales(CReportModel& model) {
  const CReportModel::Item* pSales = nullptr;
  for (const CReportModel::Item& item : model.m_arItem) {
    if (item.bMonthly) {
      pSales = &item;
      break;
    }
  }
  const CArray<tag_DATA, tag_DATA>& arData = m_sum.m_arData;
  if (pSales == nullptr || arData.empty() || m_arInitBody.empty()) return;
  double dMonthly = 0.0;
  for (double dMonth : pSales->arMonth) dMonthly += dMonth;
  const double dFirst = CFinGaiFigures::Total(arData[0]);
  if (std::fabs(dMonthly - dFirst) < kYenTolerance) return;
  Add(model, "monthly-sales-differ", CReportModel::Severity::Information, pSales->nNumber, 0, 0,
      "項目" + Number(pSales->nNumber) + Quoted(pSales->strName) + "の月別合計（" +
          report::Grouped(dMonthly) + "円）が項目" + Number(m_arInitBody[0].nGaiNo) +
          Quoted(FieldText(m_arInitBody[0].szGaiName)) + "（" + report::Grouped(dFirst) +
          "円）と異なります。");
}
