// Reads a journal interchange export from the input (fiscal year April 2024
// to March 2025). A refused journal names its problems; an accepted one is
// written back out, a voucher per voucher with its books lines, and must
// read back to the same balance on every account.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "AccountNames.h"
#include "Cp932.h"
#include "InterchangeCsvReader.h"
#include "JournalConverter.h"
#include "StandardChart.h"

namespace {

using Balances = std::map<std::string, long long>;

[[noreturn]] void Fail(const char* pszWhat) {
  std::fprintf(stderr, "%s\n", pszWhat);
  std::abort();
}

// Reads a journal; the lines it stores go to arLine; the balances by title.
bool Read(const std::string& strText, std::vector<JournalConverter::Line>& arLine,
          AccountNames& names, Balances& balances) {
  InterchangeCsvReader reader;
  reader.OpenText(strText);
  JournalConverter converter(names, {2024, 4, 1}, {2025, 3, 31});
  const bool bOk = converter.Convert(reader, "journal.csv",
                                     [&](const JournalConverter::Line& l) { arLine.push_back(l); });
  if (!bOk && converter.m_arError.empty()) Fail("a refused journal names no problem");
  if (bOk && !converter.m_arError.empty()) Fail("an accepted journal has problems");
  for (const JournalConverter::Line& l : arLine) {
    balances[StandardChart::Key(names.m_arName[l.m_nDebit].m_strWritten)] += l.m_nAmount;
    balances[StandardChart::Key(names.m_arName[l.m_nCredit].m_strWritten)] -= l.m_nAmount;
  }
  for (auto it = balances.begin(); it != balances.end();) {
    it = it->second == 0 ? balances.erase(it) : std::next(it);
  }
  return bOk;
}

std::string Field(const std::string& strCp932) {
  std::string utf8;
  if (!cp932::ToUtf8(strCp932, utf8)) Fail("an accepted text is not CP932");
  std::string out = "\"";
  for (char c : utf8) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

// The books lines as a journal export: UTF-8, one line per books line.
std::string Export(const std::vector<JournalConverter::Line>& arLine, const AccountNames& names) {
  std::string out = "\xEF\xBB\xBF";
  for (std::size_t i = 0; i < arLine.size(); ++i) {
    const JournalConverter::Line& l = arLine[i];
    const bool bFirst = i == 0 || arLine[i - 1].m_nVoucher != l.m_nVoucher;
    const bool bLast = i + 1 == arLine.size() || arLine[i + 1].m_nVoucher != l.m_nVoucher;
    const char* szFlag = bFirst && bLast ? "2000" : bFirst ? "2110" : bLast ? "2101" : "2100";
    char szDate[32];
    std::snprintf(szDate, sizeof szDate, "%04d/%d/%d", l.m_date.m_nYear, l.m_date.m_nMonth,
                  l.m_date.m_nDay);
    const std::string amount = std::to_string(l.m_nAmount);
    out += std::string(szFlag) + ",," + (l.m_bSettlement ? "\xE6\x9C\xAC\xE6\xB1\xBA" : "") + "," +
           szDate + "," + Field(names.m_arName[l.m_nDebit].m_strWritten) + ",,,," + amount + ",0," +
           Field(names.m_arName[l.m_nCredit].m_strWritten) + ",,,," + amount + ",0," +
           Field(l.m_strDescription) + ",,,0,,,0,0,no\r\n";
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
  const std::string strInput(reinterpret_cast<const char*>(pData), nSize);
  std::vector<JournalConverter::Line> arLine;
  AccountNames names;
  Balances balances;
  if (!Read(strInput, arLine, names, balances)) return 0;

  std::vector<JournalConverter::Line> arAgain;
  AccountNames namesAgain;
  Balances again;
  if (!Read(Export(arLine, names), arAgain, namesAgain, again)) Fail("the export is refused");
  if (again != balances) Fail("the export reads back to other balances");
  return 0;
}
