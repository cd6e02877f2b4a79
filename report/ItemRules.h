#pragma once
// What the item definitions say about the accounts an item may take and
// the figures it may show, read with two small tables: the account classes
// an item of each kind and side takes when its candidate list names no
// account of the books, and the formula total whose remainder (the form's
// "other") takes the accounts of each class that no item takes.

#include <cstdint>
#include <vector>

#include "S_KANKAMOKU.h"
#include "SettingsRecords.h"
#include "WinTypes.h"

namespace report {

// True when the account number is among the candidates that the item's
// 科目性格 names (one number, a "+" list, a "-" range or ALL).
bool IsCandidate(const _SG_INIT_BODY& body, std::int32_t nNumber);
// The classes of the books' accounts the item's candidate list names;
// empty when it names none of them (or reads ALL).
std::vector<std::uint8_t> CandidateClasses(const _SG_INIT_BODY& body,
                                           const CArray<S_KANKAMOKU, S_KANKAMOKU>& arKamoku);
// The account classes the item takes: its candidate classes, else the
// table's for its kind and side.
std::vector<std::uint8_t> ItemClasses(const _SG_INIT_BODY& body,
                                      const CArray<S_KANKAMOKU, S_KANKAMOKU>& arKamoku);
// The host total account whose item keeps the accounts of the class that
// no item takes; 0 when no item does.
short TotalOfClass(std::uint8_t byClass);
// True when a sound year never shows the main item below zero: the sales,
// cost of sales and asset totals, and an account-mapped item whose
// candidate accounts all take its side but for allowances of their class.
bool CannotBeNegative(const _SG_INIT_BODY& body,
                      const CArray<S_KANKAMOKU, S_KANKAMOKU>& arKamoku);

}  // namespace report
