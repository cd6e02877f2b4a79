#include "JournalConverter.h"

#include <cstdio>
#include <tuple>

#include "AccountNames.h"
#include "BooksFolderReader.h"
#include "Cp932.h"
#include "JournalText.h"
#include "StandardChart.h"

namespace {

using journal_text::Cp932;
using journal_text::Quote;
using journal_text::Utf8;

const char8_t* const kColumn[] = {
    u8"識別フラグ",   u8"伝票No",       u8"決算",       u8"取引日付",   u8"借方勘定科目",
    u8"借方補助科目", u8"借方部門",     u8"借方税区分", u8"借方金額",   u8"借方税金額",
    u8"貸方勘定科目", u8"貸方補助科目", u8"貸方部門",   u8"貸方税区分", u8"貸方金額",
    u8"貸方税金額",   u8"摘要",         u8"番号",       u8"期日",       u8"タイプ",
    u8"生成元",       u8"仕訳メモ",     u8"付箋1",      u8"付箋2",      u8"調整"};
constexpr std::size_t kColumns = 25;
constexpr std::size_t kColumnsMin = 16;  // up to 貸方税金額
constexpr std::size_t kFlag = 0, kKessan = 2, kDate = 3, kDebit = 4, kCredit = 10, kTekiyo = 16;
// Offsets within a side's six columns.
constexpr std::size_t kTaxClass = 3, kAmount = 4, kTaxAmount = 5;

bool Digits(const std::string& s, std::size_t nMin, std::size_t nMax, int& n) {
  if (s.size() < nMin || s.size() > nMax) return false;
  n = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  return true;
}

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool bLeap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && bLeap ? 29 : days[m - 1];
}

// "Y?M?D" split at sep; each part digits of the given widths.
bool SplitDate(const std::string& s, char sep, std::size_t nYearMin, std::size_t nYearMax, int& y,
               int& m, int& d) {
  const auto p1 = s.find(sep);
  if (p1 == std::string::npos) return false;
  const auto p2 = s.find(sep, p1 + 1);
  if (p2 == std::string::npos) return false;
  return Digits(s.substr(0, p1), nYearMin, nYearMax, y) &&
         Digits(s.substr(p1 + 1, p2 - p1 - 1), 1, 2, m) && Digits(s.substr(p2 + 1), 1, 2, d);
}

std::string DateText(const BooksData::Date& d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.m_nYear, d.m_nMonth, d.m_nDay);
  return buf;
}

}  // namespace

bool JournalConverter::ParseDate(const std::string& s, BooksData::Date& date) {
  int y = 0, m = 0, d = 0;
  int nFirst = 0, nLast = 99999999;  // the era's first and last day, YYYYMMDD
  if (!s.empty() && (s[0] == 'R' || s[0] == 'r' || s[0] == 'H' || s[0] == 'h')) {
    const bool bReiwa = s[0] == 'R' || s[0] == 'r';
    const std::string rest = s.substr(s.size() > 1 && s[1] == '.' ? 2 : 1);
    if (!SplitDate(rest, '/', 1, 2, y, m, d) || y < 1) return false;
    y += bReiwa ? 2018 : 1988;
    nFirst = bReiwa ? 20190501 : 19890108;
    nLast = bReiwa ? nLast : 20190430;
  } else if (s.size() == 8 && Digits(s, 8, 8, y)) {
    d = y % 100;
    m = y / 100 % 100;
    y /= 10000;
  } else if (!SplitDate(s, s.find('/') != std::string::npos ? '/' : '-', 4, 4, y, m, d)) {
    return false;
  }
  if (y < 1900 || y > 2999 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return false;
  const BooksData::Date parsed{y, m, d};
  if (parsed.Serial() < nFirst || parsed.Serial() > nLast) return false;
  date = parsed;
  return true;
}

bool JournalConverter::ParseAmount(const std::string& s, long long& nAmount) {
  const bool bNeg = !s.empty() && s[0] == '-';
  const std::string digits = s.substr(bNeg ? 1 : 0);
  if (digits.empty() || digits.size() > 15) return false;
  long long n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n > BooksFolderReader::kAmountMax) return false;
  nAmount = bNeg ? -n : n;
  return true;
}

JournalConverter::JournalConverter(AccountNames& names, const BooksData::Date& start,
                                   const BooksData::Date& end)
    : m_names(names), m_start(start), m_end(end) {}

void JournalConverter::Error(int nLine, const char8_t* szField, const std::string& strText) {
  if (m_arError.size() >= BooksFolderReader::kErrorMax) {
    ++m_nSuppressed;
    return;
  }
  std::string s = m_strFile + " line " + std::to_string(nLine);
  if (szField != nullptr) s += ", field " + Utf8(szField);
  m_arError.push_back(s + ": " + strText);
}

bool JournalConverter::Convert(InterchangeCsvReader& reader, const std::string& strFile,
                               const Sink& sink) {
  m_strFile = strFile;
  m_arError.clear();
  m_nSuppressed = 0;
  m_nRecords = m_nVouchers = 0;
  m_arVoucher.clear();
  m_bOpen = m_bBroken = false;
  InterchangeCsvReader::Record in;
  while (reader.Next(in)) {
    ++m_nRecords;
    Record r;
    int nFlag = 0;
    const bool bOk = ReadRecord(in, r, nFlag);
    if (nFlag == 2000 || nFlag == 2111 || nFlag == 2110) {
      DropOpenVoucher();
      m_bOpen = nFlag == 2110;
    } else if ((nFlag == 2100 || nFlag == 2101) && !m_bOpen) {
      Error(in.m_nLine, kColumn[kFlag],
            std::to_string(nFlag) + (nFlag == 2100 ? " (a middle line)" : " (a last line)") +
                " without a voucher begun by 2110");
      continue;
    }
    if (nFlag == 0 || !bOk) {
      m_bBroken = true;
    } else if (!m_arVoucher.empty() && (r.m_date != m_arVoucher.front().m_date ||
                                        r.m_bSettlement != m_arVoucher.front().m_bSettlement)) {
      Error(in.m_nLine, r.m_date != m_arVoucher.front().m_date ? kColumn[kDate] : kColumn[kKessan],
            "the lines of a voucher share one date and one period (line " +
                std::to_string(m_arVoucher.front().m_nLine) + " has " +
                DateText(m_arVoucher.front().m_date) +
                (m_arVoucher.front().m_bSettlement ? ", settlement" : "") + ")");
      m_bBroken = true;
    }
    if (nFlag != 0) m_arVoucher.push_back(std::move(r));
    if (nFlag == 2000 || nFlag == 2111 || nFlag == 2101 || nFlag == 0) {
      m_bOpen = false;
      CloseVoucher(sink);
    }
  }
  if (!reader.m_strError.empty()) {
    m_arError.push_back(m_strFile + " " + reader.m_strError);
  }
  DropOpenVoucher();
  if (m_nSuppressed > 0) {
    m_arError.push_back("... and " + std::to_string(m_nSuppressed) + " more problems");
  }
  return m_arError.empty();
}

void JournalConverter::DropOpenVoucher() {
  if (m_bOpen && !m_arVoucher.empty()) {
    Error(m_arVoucher.front().m_nLine, kColumn[kFlag],
          "the voucher begun here by 2110 has no last line (2101)");
  }
  m_bOpen = false;
  m_arVoucher.clear();
  m_bBroken = false;
}

bool JournalConverter::ReadRecord(const InterchangeCsvReader::Record& in, Record& r, int& nFlag) {
  const int n = in.m_nLine;
  r.m_nLine = n;
  nFlag = 0;
  bool bOk = true;
  if (!in.m_strError.empty()) {
    Error(n, nullptr, in.m_strError);
    bOk = false;
  }
  if (in.m_arField.size() < kColumnsMin || in.m_arField.size() > kColumns) {
    Error(n, nullptr,
          std::to_string(in.m_arField.size()) + " fields where the journal has " +
              std::to_string(kColumns) + " (at least " + std::to_string(kColumnsMin) + ")");
    return false;
  }
  for (std::size_t i : in.m_arBadField) {
    Error(n, kColumn[i], "has a character with no Shift_JIS (CP932) form");
    bOk = false;
  }
  if (!bOk) return false;
  const std::vector<std::string>& f = in.m_arField;

  int flag = 0;
  if (Digits(f[kFlag], 4, 4, flag) &&
      (flag == 2000 || flag == 2111 || flag == 2110 || flag == 2100 || flag == 2101)) {
    nFlag = flag;
  } else {
    Error(n, kColumn[kFlag], Quote(f[kFlag]) + " is not a flag 2000, 2111, 2110, 2100 or 2101");
    bOk = false;
  }

  static const std::string chuketsu = Cp932(u8"中決"), chukessan = Cp932(u8"中決算");
  static const std::string honketsu = Cp932(u8"本決"), honkessan = Cp932(u8"本決算");
  const std::string& kessan = f[kKessan];
  if (kessan == honketsu || kessan == honkessan) {
    r.m_bSettlement = true;
  } else if (!kessan.empty() && kessan != chuketsu && kessan != chukessan) {
    Error(n, kColumn[kKessan], Quote(kessan) + Utf8(u8" is neither empty, 中決 nor 本決"));
    bOk = false;
  }

  if (!ParseDate(f[kDate], r.m_date)) {
    Error(n, kColumn[kDate],
          Quote(f[kDate]) + " is not a date (20240401, 2024/4/1, 2024-04-01, R.06/04/01)");
    bOk = false;
  } else if (r.m_date.Serial() < m_start.Serial() || r.m_date.Serial() > m_end.Serial()) {
    Error(n, kColumn[kDate],
          DateText(r.m_date) + " is outside the fiscal year " + DateText(m_start) + " to " +
              DateText(m_end));
    bOk = false;
  }
  bOk = ReadSide(in, kDebit, r.m_debit) && bOk;
  bOk = ReadSide(in, kCredit, r.m_credit) && bOk;
  if (r.m_debit.m_nId < 0 && r.m_credit.m_nId < 0) {
    Error(n, kColumn[kDebit], "neither a debit nor a credit account");
    bOk = false;
  }
  if (f.size() > kTekiyo) r.m_strDescription = f[kTekiyo];
  return bOk;
}

bool JournalConverter::ReadSide(const InterchangeCsvReader::Record& in, std::size_t nFirst,
                                Side& side) {
  const int n = in.m_nLine;
  const std::vector<std::string>& f = in.m_arField;
  const std::string& account = f[nFirst];
  const std::string& amount = f[nFirst + kAmount];
  const std::string& tax = f[nFirst + kTaxAmount];
  bool bOk = true;
  long long nAmount = 0, nTax = 0;
  if (!amount.empty() && !ParseAmount(amount, nAmount)) {
    Error(n, kColumn[nFirst + kAmount], Quote(amount) + " is not an amount in whole yen");
    bOk = false;
  }
  if (!tax.empty() && !ParseAmount(tax, nTax)) {
    Error(n, kColumn[nFirst + kTaxAmount], Quote(tax) + " is not an amount in whole yen");
    bOk = false;
  }
  if (account.empty()) {
    if (nAmount != 0 || nTax != 0) {
      Error(n, kColumn[nFirst], "an amount without an account");
      bOk = false;
    }
    return bOk;
  }
  if (amount.empty()) {
    Error(n, kColumn[nFirst + kAmount], "an account without an amount");
    bOk = false;
  }
  side.m_nId = m_names.Id(account, m_strFile, n);
  side.m_nAmount = nAmount;
  static const std::string zeinuki = Cp932(u8"税抜");
  if (nTax != 0 && f[nFirst + kTaxClass].find(zeinuki) != std::string::npos) {
    if ((nTax < 0) != (nAmount < 0) ||
        (nTax < 0 ? -nTax : nTax) > (nAmount < 0 ? -nAmount : nAmount)) {
      Error(n, kColumn[nFirst + kTaxAmount],
            "the tax " + std::to_string(nTax) + " is not a part of the amount " +
                std::to_string(nAmount));
      bOk = false;
    }
    side.m_nTax = nTax;
  }
  return bOk;
}

void JournalConverter::CloseVoucher(const Sink& sink) {
  const bool bSound = !m_bBroken && !m_arVoucher.empty();
  std::vector<Record> arLine = std::move(m_arVoucher);
  m_arVoucher.clear();
  m_bBroken = false;
  if (!bSound || !CheckVoucher(arLine)) return;
  ++m_nVouchers;
  for (const Record& r : arLine) EmitRecord(r, sink);
}

// A voucher balances, adds up within range and nets 諸口 to zero.
bool JournalConverter::CheckVoucher(const std::vector<Record>& arLine) {
  // Totals stay far inside 64 bits: a voucher within 9,000 lines of the
  // largest amount; longer ones are refused rather than wrapped.
  long long nDebit = 0, nCredit = 0, nClearing = 0;
  // The journal may name 諸口 itself; the lines it does not pair use it too.
  const int nClearingId = m_names.Find(StandardChart::ClearingName());
  bool bOverflow = false;
  for (const Record& r : arLine) {
    bOverflow |= __builtin_add_overflow(nDebit, r.m_debit.m_nAmount, &nDebit);
    bOverflow |= __builtin_add_overflow(nCredit, r.m_credit.m_nAmount, &nCredit);
    if (nClearingId >= 0 && r.m_debit.m_nId == nClearingId) nClearing += r.m_debit.m_nAmount;
    if (nClearingId >= 0 && r.m_credit.m_nId == nClearingId) nClearing -= r.m_credit.m_nAmount;
  }
  const std::string strLines = arLine.size() == 1 ? "the entry"
                                                  : "the voucher on lines " +
                                                        std::to_string(arLine.front().m_nLine) +
                                                        "-" + std::to_string(arLine.back().m_nLine);
  if (bOverflow) {
    Error(arLine.front().m_nLine, kColumn[kDebit + kAmount], strLines + " adds up beyond range");
    return false;
  }
  if (nDebit != nCredit) {
    Error(arLine.front().m_nLine, kColumn[kDebit + kAmount],
          strLines + " does not balance: debits " + std::to_string(nDebit) + ", credits " +
              std::to_string(nCredit));
    return false;
  }
  if (nClearing != 0) {
    Error(arLine.front().m_nLine, kColumn[kDebit],
          strLines + " leaves " + std::to_string(nClearing) +
              Utf8(u8" on 諸口, which must net to zero over each voucher"));
    return false;
  }
  return true;
}

// Each side: its account and, split off, its tax account.
JournalConverter::Legs JournalConverter::SideLegs(const Side& side, const std::string& strTaxName,
                                                  int nLine) {
  Legs legs;
  if (side.m_nId < 0) return legs;
  legs.arId[0] = side.m_nId;
  legs.arAmount[0] = side.m_nAmount - side.m_nTax;
  legs.nCount = 1;
  if (side.m_nTax != 0) {
    legs.arId[1] = m_names.Id(strTaxName, m_strFile, nLine);
    legs.arAmount[1] = side.m_nTax;
    legs.nCount = 2;
  }
  return legs;
}

// A record as books lines: a side of one leg takes the other side's legs
// straight; otherwise every leg goes against 諸口.
void JournalConverter::EmitRecord(const Record& r, const Sink& sink) {
  static const std::string karibarai = Cp932(u8"仮払消費税"), kariuke = Cp932(u8"仮受消費税");
  const Legs debit = SideLegs(r.m_debit, karibarai, r.m_nLine);
  const Legs credit = SideLegs(r.m_credit, kariuke, r.m_nLine);
  const bool bEqual = r.m_debit.m_nId >= 0 && r.m_credit.m_nId >= 0 &&
                      r.m_debit.m_nAmount == r.m_credit.m_nAmount;
  if (bEqual && debit.nCount == 1) {
    for (int i = 0; i < credit.nCount; ++i) {
      Emit(r, debit.arId[0], credit.arId[i], credit.arAmount[i], sink);
    }
  } else if (bEqual && credit.nCount == 1) {
    for (int i = 0; i < debit.nCount; ++i) {
      Emit(r, debit.arId[i], credit.arId[0], debit.arAmount[i], sink);
    }
  } else {
    const int nShokuchi = m_names.Id(StandardChart::ClearingName(), m_strFile, r.m_nLine);
    for (int i = 0; i < debit.nCount; ++i) {
      Emit(r, debit.arId[i], nShokuchi, debit.arAmount[i], sink);
    }
    for (int i = 0; i < credit.nCount; ++i) {
      Emit(r, nShokuchi, credit.arId[i], credit.arAmount[i], sink);
    }
  }
}

void JournalConverter::Emit(const Record& r, int nDebit, int nCredit, long long nAmount,
                            const Sink& sink) {
  if (nAmount == 0 || nDebit == nCredit) return;
  Line line;
  line.m_date = r.m_date;
  line.m_nDebit = nDebit;
  line.m_nCredit = nCredit;
  line.m_nAmount = nAmount;
  line.m_bSettlement = r.m_bSettlement;
  line.m_strDescription = r.m_strDescription;
  line.m_nVoucher = m_nVouchers;
  sink(line);
}
