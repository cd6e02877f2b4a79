#include "CItemBreakdown.h"

#include <cmath>
#include <cstdlib>

#include "CFinGaiSum.h"
#include "CKaikei.h"
#include "ReportFormat.h"
#include "S_KANKAMOKU.h"

namespace {

enum class Block { None, After, Before };

// One total of the form: the profit above it (added) and the total taken
// off it, where its block of items lies, and what its remainder is.
struct Layout {
  short nTotal;
  short nBase;
  short nMinus;
  Block block;
  const char* pszRest;
  int nRestSign;
  bool bExact;
};
constexpr Layout kLayouts[] = {
    {CKaikei::CODE_URIAGE, 0, 0, Block::After, "その他の売上", 1, false},
    {CKaikei::CODE_GENKA, 0, 0, Block::After, "その他の売上原価", 1, false},
    {CKaikei::CODE_URISOURIEKI, CKaikei::CODE_URIAGE, CKaikei::CODE_GENKA, Block::None, "差額", 0,
     true},
    {CKaikei::CODE_EIGYOSONEKI, CKaikei::CODE_URISOURIEKI, 0, Block::Before,
     "その他の販売費及び一般管理費", -1, false},
    {CKaikei::CODE_ZEIBIKIMAE, CKaikei::CODE_EIGYOSONEKI, 0, Block::Before, "営業外損益", 0, false},
    {CKaikei::CODE_SHISAN, 0, 0, Block::After, "その他の資産", 0, false},
    {CKaikei::CODE_HUSAI, 0, 0, Block::After, "その他の負債", 1, false},
};

bool IsFormulaMain(const _SG_INIT_BODY& body) {
  return body.nGaiNo != 0 && body.nKubun < SG_MONTHLY_KUBUN && !CFinGaiSum::IsAccountItem(body);
}

CReportModel::Part PartOf(const CReportModel::Item& item, double dSign) {
  return {item.nNumber, item.strName, dSign * item.dYen};
}

using InitBodies = CArray<_SG_INIT_BODY, _SG_INIT_BODY>;

double SumOf(const std::vector<CReportModel::Part>& arPart) {
  double dParts = 0.0;
  for (const CReportModel::Part& part : arPart) dParts += part.dAmount;
  return dParts;
}

// Σ(a:b): the items a to b as they are; false when the formula is not one.
bool AddRange(const CReportModel& model, const CString& strFormula,
              std::vector<CReportModel::Part>& arPart) {
  const std::size_t nOpen = strFormula.find('(');
  const std::size_t nColon = strFormula.find(':');
  if (nOpen == CString::npos || nColon == CString::npos) return false;
  const int nFirst = std::atoi(strFormula.c_str() + nOpen + 1);
  const int nLast = std::atoi(strFormula.c_str() + nColon + 1);
  for (int n = nFirst; n <= nLast; ++n) {
    const CReportModel::Item* pItem = model.FindItem(n);
    if (pItem != nullptr && !pItem->bMonthly) arPart.push_back(PartOf(*pItem, 1.0));
  }
  return true;
}

// The item of the formula main item whose total account is nCode.
const CReportModel::Item* TotalItem(const CReportModel& model, const InitBodies& arInitBody,
                                    short nCode) {
  for (const _SG_INIT_BODY& other : arInitBody) {
    if (IsFormulaMain(other) && CFinGaiSum::FormulaTotalAccount(other) == nCode) {
      return model.FindItem(other.nGaiNo);
    }
  }
  return nullptr;
}

// The block: account-mapped main items next to the total, in the order of
// the form; a block before the total goes after its base.
void AddBlock(const CReportModel& model, const InitBodies& arInitBody, std::size_t nIndex,
              const Layout& layout, std::vector<CReportModel::Part>& arPart) {
  if (layout.block == Block::None) return;
  const _SG_INIT_BODY& body = arInitBody[nIndex];
  const int nStep = layout.block == Block::After ? 1 : -1;
  for (int i = static_cast<int>(nIndex) + nStep; i >= 0 && i < static_cast<int>(arInitBody.size());
       i += nStep) {
    const _SG_INIT_BODY& part = arInitBody[static_cast<std::size_t>(i)];
    if (part.nGaiNo == 0 || part.nKubun >= SG_MONTHLY_KUBUN || !CFinGaiSum::IsAccountItem(part)) {
      break;
    }
    const CReportModel::Item* pItem = model.FindItem(part.nGaiNo);
    if (pItem == nullptr) break;
    const double dSign = part.nTaisyaku == body.nTaisyaku ? 1.0 : -1.0;
    const auto at = nStep > 0 ? arPart.end() : arPart.begin() + (layout.nBase != 0);
    arPart.insert(at, PartOf(*pItem, dSign));
  }
}

// A total by its layout: its base, the total taken off it, its block and
// the remainder.
std::optional<CItemBreakdown::Result> ComputeLayout(const CReportModel& model,
                                                    const InitBodies& arInitBody,
                                                    std::size_t nIndex, double dTotal) {
  const short nTotal = CFinGaiSum::FormulaTotalAccount(arInitBody[nIndex]);
  const Layout* pLayout = nullptr;
  for (const Layout& layout : kLayouts) {
    if (layout.nTotal == nTotal) pLayout = &layout;
  }
  if (pLayout == nullptr || nTotal == 0) return std::nullopt;
  CItemBreakdown::Result result;
  if (pLayout->nBase != 0) {
    const CReportModel::Item* pBase = TotalItem(model, arInitBody, pLayout->nBase);
    if (pBase == nullptr) return std::nullopt;
    result.arPart.push_back(PartOf(*pBase, 1.0));
  }
  if (pLayout->nMinus != 0) {
    const CReportModel::Item* pMinus = TotalItem(model, arInitBody, pLayout->nMinus);
    if (pMinus == nullptr) return std::nullopt;
    result.arPart.push_back(PartOf(*pMinus, -1.0));
  }
  AddBlock(model, arInitBody, nIndex, *pLayout, result.arPart);
  result.nRestSign = pLayout->nRestSign;
  result.bExact = pLayout->bExact;
  result.dRest = dTotal - SumOf(result.arPart);
  // An exact total shows its remainder only when there is one.
  if (!result.bExact || std::fabs(result.dRest) >= 0.5) {
    result.arPart.push_back({0, pLayout->pszRest, result.dRest});
  }
  return result;
}

}  // namespace

std::optional<CItemBreakdown::Result> CItemBreakdown::Compute(
    const CReportModel& model, const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
    std::size_t nIndex) {
  const _SG_INIT_BODY& body = arInitBody[nIndex];
  const CReportModel::Item* pTotal = model.FindItem(body.nGaiNo);
  if (!IsFormulaMain(body) || pTotal == nullptr) return std::nullopt;
  const CString strFormula = report::FieldText(body.szKeisan);
  if (strFormula.find("Σ") == CString::npos) {
    return ComputeLayout(model, arInitBody, nIndex, pTotal->dYen);
  }
  Result result;
  if (!AddRange(model, strFormula, result.arPart)) return std::nullopt;
  result.bExact = true;
  result.dRest = pTotal->dYen - SumOf(result.arPart);
  return result;
}

void CItemBreakdown::Fill(CReportModel& model,
                          const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
                          double dContraOut) {
  std::vector<std::pair<int, std::vector<CReportModel::Part>>> arFilled;
  for (std::size_t i = 0; i < arInitBody.size(); ++i) {
    const _SG_INIT_BODY& body = arInitBody[i];
    const std::optional<Result> result = Compute(model, arInitBody, i);
    if (result) {
      std::vector<CReportModel::Part> arPart = result->arPart;
      // The assets' remainder: the other assets gross, the contra balances apart.
      if (CFinGaiSum::FormulaTotalAccount(body) == CKaikei::CODE_SHISAN && dContraOut != 0.0 &&
          !arPart.empty()) {
        arPart.back().dAmount -= dContraOut;
        arPart.back().strName = "その他の資産（総額）";
        arPart.push_back({0, "評価勘定（減価償却累計額など）", dContraOut});
      }
      arFilled.emplace_back(body.nGaiNo, std::move(arPart));
      continue;
    }
    const CReportModel::Item* pItem = model.FindItem(body.nGaiNo);
    if (pItem == nullptr || !CFinGaiSum::IsAccountItem(body) || !CReportModel::IsBalanceSheetItem(body) ||
        body.nTaisyaku != KAMOKU_KARIKATA || pItem->arAccount.empty()) {
      continue;
    }
    double dGross = 0.0;
    double dContra = 0.0;
    bool bContra = false;
    for (const CReportModel::Account& account : pItem->arAccount) {
      (account.bContra ? dContra : dGross) += account.dAmount;
      bContra = bContra || account.bContra;
    }
    // Without a contra account the accounts are gross and net at once.
    if (!bContra) continue;
    arFilled.emplace_back(body.nGaiNo, std::vector<CReportModel::Part>{
                                           {0, "総額", dGross},
                                           {0, "評価勘定", dContra},
                                           {0, "純額", dGross + dContra},
                                       });
  }
  for (auto& [nItem, arPart] : arFilled) {
    for (CReportModel::Item& item : model.m_arItem) {
      if (item.nNumber == nItem) item.arPart = std::move(arPart);
    }
  }
}
