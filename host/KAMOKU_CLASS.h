#pragma once
// Account classes of the books (S_KANKAMOKU::byClass). The total accounts
// of CKaikei are filled from them.

#include <cstdint>

enum KAMOKU_CLASS : std::uint8_t {
  KAMOKU_CLASS_ASSETS = 1,       // 資産
  KAMOKU_CLASS_LIABILITIES = 2,  // 負債
  KAMOKU_CLASS_NET_ASSETS = 3,   // 資本 / 純資産
  KAMOKU_CLASS_SALES = 10,       // 売上高
  // 売上原価, with the opening stock (debit) and closing stock (credit)
  KAMOKU_CLASS_COST_OF_SALES = 11,
  KAMOKU_CLASS_SGA = 12,                    // 販売費及び一般管理費
  KAMOKU_CLASS_NON_OPERATING_INCOME = 13,   // 営業外収益
  KAMOKU_CLASS_NON_OPERATING_EXPENSE = 14,  // 営業外費用
  KAMOKU_CLASS_SPECIAL_GAIN = 15,           // 特別利益
  KAMOKU_CLASS_SPECIAL_LOSS = 16,           // 特別損失
  KAMOKU_CLASS_INCOME_TAX = 17,             // 法人税等
  KAMOKU_CLASS_TOTAL = 20,                  // a total account, filled by the ledger
};

// Balance-sheet classes carry a balance forward; the others are reset each year.
constexpr bool IsBalanceSheetClass(std::uint8_t byClass) {
  return byClass == KAMOKU_CLASS_ASSETS || byClass == KAMOKU_CLASS_LIABILITIES ||
         byClass == KAMOKU_CLASS_NET_ASSETS;
}

constexpr bool IsProfitLossClass(std::uint8_t byClass) {
  return byClass >= KAMOKU_CLASS_SALES && byClass <= KAMOKU_CLASS_INCOME_TAX;
}
