#include "OpeningReader.h"

#include "AccountNames.h"
#include "BooksFolderReader.h"
#include "Cp932.h"
#include "JournalConverter.h"
#include "JournalText.h"

namespace {

using journal_text::Cp932;
using journal_text::Quote;
using journal_text::Utf8;

const char8_t* const kColumn[] = {u8"期首日",   u8"勘定科目", u8"貸借区分",
                                  u8"補助科目", u8"部門",     u8"前期繰越残高"};
constexpr std::size_t kColumns = 6;
constexpr std::size_t kStart = 0, kAccount = 1, kSide = 2, kBalance = 5;

}  // namespace

bool OpeningReader::Read(InterchangeCsvReader& reader, const std::string& strFile,
                         AccountNames& names, const BooksData::Date& start) {
  m_arBalance.clear();
  m_arError.clear();
  static const std::string karikata = Cp932(u8"借方"), kari = Cp932(u8"借");
  static const std::string kasikata = Cp932(u8"貸方"), kasi = Cp932(u8"貸");
  InterchangeCsvReader::Record in;
  bool bFirst = true;
  while (reader.Next(in)) {
    const int n = in.m_nLine;
    auto error = [&](const char8_t* szField, const std::string& strText) {
      if (m_arError.size() >= BooksFolderReader::kErrorMax) return;
      m_arError.push_back(strFile + " line " + std::to_string(n) +
                          (szField != nullptr ? ", field " + Utf8(szField) : "") + ": " + strText);
    };
    long long nAmount = 0;
    if (bFirst && in.m_arField.size() == kColumns &&
        !JournalConverter::ParseAmount(in.m_arField[kBalance], nAmount)) {
      bFirst = false;
      continue;  // the header row
    }
    bFirst = false;
    if (!in.m_strError.empty()) error(nullptr, in.m_strError);
    if (in.m_arField.size() != kColumns) {
      error(nullptr, std::to_string(in.m_arField.size()) + " fields where the file has " +
                         std::to_string(kColumns));
      continue;
    }
    for (std::size_t i : in.m_arBadField) {
      error(kColumn[i], "has a character with no Shift_JIS (CP932) form");
    }
    if (!in.m_arBadField.empty() || !in.m_strError.empty()) continue;
    const std::vector<std::string>& f = in.m_arField;
    Balance b;
    b.m_nLine = n;
    bool bOk = true;
    BooksData::Date date;
    if (!f[kStart].empty() && (!JournalConverter::ParseDate(f[kStart], date) || !(date == start))) {
      error(kColumn[kStart], Quote(f[kStart]) + " is not the first day of the fiscal year");
      bOk = false;
    }
    if (f[kSide] == kasikata || f[kSide] == kasi) {
      b.m_bCredit = true;
    } else if (f[kSide] != karikata && f[kSide] != kari) {
      error(kColumn[kSide], Quote(f[kSide]) + Utf8(u8" is neither 借方 nor 貸方"));
      bOk = false;
    }
    if (!JournalConverter::ParseAmount(f[kBalance], b.m_nAmount)) {
      error(kColumn[kBalance], Quote(f[kBalance]) + " is not an amount in whole yen");
      bOk = false;
    }
    if (f[kAccount].empty()) {
      error(kColumn[kAccount], "no account");
      bOk = false;
    }
    if (!bOk) continue;
    b.m_nId = names.Id(f[kAccount], strFile, n);
    m_arBalance.push_back(b);
  }
  if (!reader.m_strError.empty()) m_arError.push_back(strFile + " " + reader.m_strError);
  return m_arError.empty();
}
