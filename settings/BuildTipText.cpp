#include "BuildTipText.h"

#include <cstring>

const char TIP_TEXT_NO_ACCOUNT[] = "集約されている科目は有りません。";

void BuildTipText(CString& str, std::int16_t nItemNo,
                  const CArray<S_KANKAMOKU, S_KANKAMOKU>& arKamoku,
                  const CArray<_SG_MATCH, _SG_MATCH>& arMatch) {
  for (const _SG_MATCH& match : arMatch) {
    if (match.nGaiNo != nItemNo) continue;
    for (const S_KANKAMOKU& kamoku : arKamoku) {
      if (kamoku.nKamokuCode != match.nBokiCode) continue;
      if (!str.empty()) str += ", ";
      // The host terminates its names; the field bounds the read all the same.
      str.append(kamoku.szKamokuName, strnlen(kamoku.szKamokuName, sizeof kamoku.szKamokuName));
    }
  }
  if (str.empty()) str = TIP_TEXT_NO_ACCOUNT;
}
