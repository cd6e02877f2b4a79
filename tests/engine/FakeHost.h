#pragma once
// A host stand-in for the aggregation tests: books given as a monthly table
// per account code, failures switched on by flag, and the XML builder's
// calls recorded instead of written.

#include <array>
#include <string>
#include <vector>

#include "S_KANKAMOKU.h"
#include "S_KANRI.h"
#include "WinTypes.h"

namespace fake {

struct XmlCall {
  char cKind;  // 'I' Init, 'W' FileWrite, 'O' open, 'L' line, 'C' close, 'F' Finish
  std::string strTag;
  std::string strText;
  int nLevel;
  bool operator==(const XmlCall&) const = default;
};

struct Host {
  S_KANRI kanri{};
  std::vector<S_KANKAMOKU> arKamoku;
  // Amounts of each title, in title order.
  std::vector<std::array<double, 14>> arAmounts;
  short nCountDelta = 0;  // the count reported beyond the titles read
  bool bFailReadKanri = false;
  bool bFailCount = false;
  bool bFailReadKamoku = false;
  bool bFailTukiKan = false;
  int nTukiKanCalls = 0;
  // The XML builder's calls in order; the call with this index fails.
  std::vector<XmlCall> arXml;
  int nFailXmlCall = -1;
};

// Cleared by Reset, which also sets a regular April-March year.
Host& State();
void Reset();
void AddAccount(short nCode, BYTE nSide, const std::array<double, 14>& amounts);
// The calls of the XML builder as one text per call, for readable failures.
std::vector<std::string> XmlLines();

}  // namespace fake
