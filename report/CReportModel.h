#pragma once
// What the report shows: the header, the items with the accounts behind
// them, the months of the span and the findings. Texts are CP932.

#include <optional>
#include <vector>

#include "WinTypes.h"

struct _SG_INIT_BODY;

class CReportModel {
 public:
  struct Account {
    short nCode = 0;
    CString strName;
    double dAmount = 0.0;  // yen, signed as the item adds it
    bool bContra = false;  // kept on the side opposite to the item's (an allowance)
  };
  // One line of a formula item's or an asset item's breakdown.
  struct Part {
    int nItem = 0;  // the item it is; 0: a remainder or a subtotal
    CString strName;
    double dAmount = 0.0;  // yen, signed as it adds to the item
  };
  struct Item {
    int nNumber = 0;
    CString strName;
    CString strTag;
    bool bMonthly = false;
    bool bBalanceSheet = false;  // a main item of the balance sheet (区分 2)
    // Fed by mapped accounts (else computed by a formula).
    bool bMapped = false;
    double dThousands = 0.0;      // main items: the file's figure
    double dYen = 0.0;            // main items: the figure before the cut to thousands
    std::vector<double> arMonth;  // monthly items: yen per month of the span
    std::vector<Account> arAccount;
    std::vector<Part> arPart;
  };
  enum class Severity { Warning, Information };
  struct Finding {
    CString strCode;  // short English identifier
    Severity severity = Severity::Warning;
    int nItem = 0;     // 0: none
    int nAccount = 0;  // account code; 0: none
    int nMonth = 0;    // calendar month; 0: none
    CString strMessage;
    std::optional<double> dAmount = std::nullopt;  // yen
  };

  CString m_strDataID;
  CString m_strJigyoName;
  int m_nStart[3] = {};  // fiscal year: year, month, day
  int m_nEnd[3] = {};
  int m_nFromMonth = 0;  // aggregation span, calendar months
  int m_nToMonth = 0;
  CString m_strSettings;  // the settings file the report was made with
  // False for a report read from a file: no accounts, no findings that need
  // the books.
  bool m_bFromBooks = true;
  std::vector<int> m_arMonth;  // calendar month of each column of the span
  std::vector<Item> m_arItem;
  std::vector<Finding> m_arFinding;

  bool HasWarnings() const;
  const Item* FindItem(int nNumber) const;

  // An item with the number, name, tag and kind its definition gives it.
  static Item DefinedItem(const _SG_INIT_BODY& body);
  // True for a balance-sheet item (区分 2 of a main item).
  static bool IsBalanceSheetItem(const _SG_INIT_BODY& body);
};
