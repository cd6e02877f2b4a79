#pragma once
// The tip text of a report item: the names of the accounts matched to it.

#include <cstdint>

#include "S_KANKAMOKU.h"
#include "SettingsRecords.h"
#include "WinTypes.h"

// Text shown for an item that no account feeds.
extern const char TIP_TEXT_NO_ACCOUNT[];

// Appends to str, for each match of item nItemNo in match-list order, the
// name of every account title with the match's code, joined by ", ". When
// str is still empty afterwards it becomes TIP_TEXT_NO_ACCOUNT. Callers
// empty str first.
void BuildTipText(CString& str, std::int16_t nItemNo,
                  const CArray<S_KANKAMOKU, S_KANKAMOKU>& arKamoku,
                  const CArray<_SG_MATCH, _SG_MATCH>& arMatch);
