#include "ReportFormat.h"

#include <cstdio>

#include "Cp932.h"
#include "KAMOKU_CLASS.h"

namespace report {

CString Plain(double dValue) {
  char szText[32];
  std::snprintf(szText, sizeof szText, "%.0f", dValue);
  // A negative zero prints as "-0".
  return CString(szText) == "-0" ? CString("0") : CString(szText);
}

CString Grouped(double dValue) {
  const CString strPlain = Plain(dValue);
  const std::size_t nSign = strPlain.front() == '-' ? 1 : 0;
  CString strOut = strPlain.substr(0, nSign);
  const std::size_t nDigits = strPlain.size() - nSign;
  for (std::size_t i = 0; i < nDigits; ++i) {
    if (i > 0 && (nDigits - i) % 3 == 0) strOut += ',';
    strOut += strPlain[nSign + i];
  }
  return strOut;
}

CString ClassName(std::uint8_t byClass) {
  switch (byClass) {
    case KAMOKU_CLASS_ASSETS:
      return "資産";
    case KAMOKU_CLASS_LIABILITIES:
      return "負債";
    case KAMOKU_CLASS_NET_ASSETS:
      return "純資産";
    case KAMOKU_CLASS_SALES:
      return "売上高";
    case KAMOKU_CLASS_COST_OF_SALES:
      return "売上原価";
    case KAMOKU_CLASS_SGA:
      return "販売費及び一般管理費";
    case KAMOKU_CLASS_NON_OPERATING_INCOME:
      return "営業外収益";
    case KAMOKU_CLASS_NON_OPERATING_EXPENSE:
      return "営業外費用";
    case KAMOKU_CLASS_SPECIAL_GAIN:
      return "特別利益";
    case KAMOKU_CLASS_SPECIAL_LOSS:
      return "特別損失";
    case KAMOKU_CLASS_INCOME_TAX:
      return "法人税等";
    default:
      return "その他";
  }
}

std::string ToUtf8(const CString& strText) {
  std::string strOut;
  if (cp932::ToUtf8(strText, strOut)) return strOut;
  strOut.clear();
  for (std::size_t i = 0; i < strText.size();) {
    const std::size_t nLen = cp932::CharLength(strText, i);
    std::string strPiece;
    strOut += cp932::ToUtf8(strText.substr(i, nLen), strPiece) ? strPiece : "?";
    i += nLen;
  }
  return strOut;
}

std::size_t Width(const CString& strText) { return strText.size(); }

}  // namespace report
