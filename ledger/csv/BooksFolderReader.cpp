#include "BooksFolderReader.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "CFiscalYear.h"
#include "Cp932.h"
#include "CsvReader.h"

namespace {

const char* const kCompany = "company.csv";
const char* const kAccounts = "accounts.csv";
const char* const kOpening = "opening.csv";
const char* const kJournal = "journal.csv";

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return s;
}

// UTF-8 text of a u8 literal (plain literals are CP932 in this build).
std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

// A decimal integer with an optional minus sign and nothing else.
bool ParseInt(const std::string& s, long long nMin, long long nMax, long long& nOut) {
  std::size_t i = 0;
  bool bNeg = false;
  if (i < s.size() && s[i] == '-') {
    bNeg = true;
    ++i;
  }
  if (i == s.size() || s.size() - i > 18) return false;
  long long n = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    n = n * 10 + (s[i] - '0');
  }
  if (bNeg) n = -n;
  if (n < nMin || n > nMax) return false;
  nOut = n;
  return true;
}

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool bLeap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && bLeap ? 29 : days[m - 1];
}

// YYYY-MM-DD; slashes are accepted too, as many bookkeeping exports write them.
bool ParseDate(const std::string& s, BooksData::Date& d) {
  const char sep = s.find('/') != std::string::npos ? '/' : '-';
  const auto p1 = s.find(sep);
  const auto p2 = p1 == std::string::npos ? p1 : s.find(sep, p1 + 1);
  if (p2 == std::string::npos || p1 != 4) return false;
  long long y = 0, m = 0, day = 0;
  const std::string sm = s.substr(p1 + 1, p2 - p1 - 1);
  const std::string sd = s.substr(p2 + 1);
  if (sm.empty() || sm.size() > 2 || sd.empty() || sd.size() > 2 || sm[0] == '-' || sd[0] == '-')
    return false;
  if (!ParseInt(s.substr(0, 4), 1900, 2999, y) || !ParseInt(sm, 1, 12, m) ||
      !ParseInt(sd, 1, 31, day))
    return false;
  if (day > DaysInMonth(static_cast<int>(y), static_cast<int>(m))) return false;
  d = {static_cast<int>(y), static_cast<int>(m), static_cast<int>(day)};
  return true;
}

// The first day after a period of twelve months from d; a day the target
// month lacks (29 February) rolls over to the first of the next month.
BooksData::Date TwelveMonthsLater(const BooksData::Date& d) {
  BooksData::Date r{d.m_nYear + 1, d.m_nMonth, d.m_nDay};
  if (r.m_nDay > DaysInMonth(r.m_nYear, r.m_nMonth)) {
    r.m_nDay = 1;
    ++r.m_nMonth;
  }
  return r;
}

// The last day of a fiscal year that lasts twelve months from start.
BooksData::Date LastDayOfTwelveMonths(const BooksData::Date& start) {
  BooksData::Date d = TwelveMonthsLater(start);
  if (--d.m_nDay == 0) {
    if (--d.m_nMonth == 0) {
      d.m_nMonth = 12;
      --d.m_nYear;
    }
    d.m_nDay = DaysInMonth(d.m_nYear, d.m_nMonth);
  }
  return d;
}

std::string DateText(const BooksData::Date& d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.m_nYear, d.m_nMonth, d.m_nDay);
  return buf;
}

bool ParseFlag(const std::string& s, bool& b) {
  if (s.empty() || s == "0") {
    b = false;
    return true;
  }
  if (s == "1") {
    b = true;
    return true;
  }
  return false;
}

// Length in CP932 bytes; npos when the text has no CP932 form.
std::size_t Cp932Length(const std::string& s) {
  std::string out;
  if (!cp932::FromUtf8(s, out)) return std::string::npos;
  return out.size();
}

}  // namespace

const std::vector<std::string>& BooksFolderReader::Classes() {
  static const std::vector<std::string> classes = {"assets",
                                                   "liabilities",
                                                   "net_assets",
                                                   "sales",
                                                   "cost_of_sales",
                                                   "sga",
                                                   "non_operating_income",
                                                   "non_operating_expense",
                                                   "special_gain",
                                                   "special_loss",
                                                   "income_tax"};
  return classes;
}

bool BooksFolderReader::IsBalanceSheetClass(const std::string& strClass) {
  return strClass == "assets" || strClass == "liabilities" || strClass == "net_assets";
}

bool BooksFolderReader::IsReserved(int n) {
  for (int r : {9071, 9111, 9143, 9160, 9201, 9202, 9241, 9282}) {
    if (n == r) return true;
  }
  return false;
}

void BooksFolderReader::Error(const std::string& strFile, int nLine, const std::string& strField,
                              const std::string& strText) {
  if (m_arError.size() >= kErrorMax) {
    ++m_nSuppressed;
    return;
  }
  std::string s = strFile;
  if (nLine > 0) s += " line " + std::to_string(nLine);
  if (!strField.empty()) s += ", field " + strField;
  m_arError.push_back(s + ": " + strText);
}

bool BooksFolderReader::CheckRowWidth(const CsvReader& csv, int nLine, std::size_t nFields) {
  if (nFields == csv.m_arHeader.size()) return true;
  Error(csv.m_strFile, nLine, "",
        std::to_string(nFields) + " fields where the header has " +
            std::to_string(csv.m_arHeader.size()));
  return false;
}

bool BooksFolderReader::Read(const std::filesystem::path& folder, BooksData& data) {
  m_arError.clear();
  m_nSuppressed = 0;
  data = BooksData{};

  CsvReader company, accounts, opening, journal;
  bool bFiles = true;
  for (auto [csv, name] : {std::pair{&company, kCompany}, std::pair{&accounts, kAccounts},
                           std::pair{&journal, kJournal}}) {
    if (!csv->Load(folder, name)) {
      m_arError.push_back(csv->m_strError);
      bFiles = false;
    }
  }
  // No opening.csv is a business without balances carried forward.
  std::error_code ec;
  const bool bOpening = std::filesystem::exists(folder / kOpening, ec);
  if (bOpening && !opening.Load(folder, kOpening)) {
    m_arError.push_back(opening.m_strError);
    bFiles = false;
  }
  if (!bFiles) return false;

  ReadCompany(company, data);
  ReadAccounts(accounts, data);
  if (!m_arError.empty()) {
    // Balances and entries cannot be checked against a broken company or chart.
    return false;
  }
  if (bOpening) ReadOpening(opening, data);
  ReadJournal(journal, data);
  if (m_nSuppressed > 0) {
    m_arError.push_back("... and " + std::to_string(m_nSuppressed) + " more problems");
  }
  return m_arError.empty();
}

bool BooksFolderReader::ReadCompanyFields(
    const std::vector<std::pair<std::string, std::string>>& arField, const std::string& strSource,
    BooksData& data) {
  m_arError.clear();
  m_nSuppressed = 0;
  std::string strHeader, strRow;
  for (const auto& [name, value] : arField) {
    strHeader += (strHeader.empty() ? "" : ",") + name;
    std::string quoted = "\"";
    for (char c : value) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    strRow += (strRow.empty() ? "" : ",") + quoted + "\"";
  }
  CsvReader csv;
  if (!csv.Parse(strSource, strHeader + "\n" + strRow + "\n")) {
    m_arError.push_back(csv.m_strError);
    return false;
  }
  m_strCompanyFile = strSource;
  ReadCompany(csv, data);
  m_strCompanyFile = kCompany;
  return m_arError.empty();
}

void BooksFolderReader::ReadCompany(CsvReader& csv, BooksData& data) {
  if (!csv.BindColumns(
          {"name", "fiscal_start", "fiscal_end", "management_form", "net_assets", "data_id"},
          {"alt_folder"})) {
    m_arError.push_back(csv.m_strError);
    return;
  }
  if (csv.m_arRow.size() != 1) {
    Error(m_strCompanyFile, csv.m_arRow.empty() ? 0 : csv.m_arRow[1].m_nLine, "",
          csv.m_arRow.empty() ? "no data row; one row describes the business"
                              : "only one data row is allowed");
    return;
  }
  const CsvReader::Row& row = csv.m_arRow.front();
  if (!CheckRowWidth(csv, CompanyLine(row), row.m_arField.size())) return;
  ReadCompanyName(csv, row, data);
  ReadFiscalYear(csv, row, data);
  ReadManagementForm(csv, row, data);
  const int n = CompanyLine(row);
  if (!ParseFlag(csv.Field(row, "net_assets"), data.m_bNetAssets)) {
    Error(m_strCompanyFile, n, "net_assets",
          Quote(csv.Field(row, "net_assets")) + " is not 0 or 1");
  }
  ReadDataId(csv, row, data);
  ReadAltFolder(csv, row, data);
}

// Fields given elsewhere than in the file have no line.
int BooksFolderReader::CompanyLine(const CsvReader::Row& row) const {
  return m_strCompanyFile == kCompany ? row.m_nLine : 0;
}

void BooksFolderReader::ReadCompanyName(const CsvReader& csv, const CsvReader::Row& row,
                                        BooksData& data) {
  const int n = CompanyLine(row);
  data.m_strName = csv.Field(row, "name");
  const std::size_t nName = Cp932Length(data.m_strName);
  if (data.m_strName.empty()) {
    Error(m_strCompanyFile, n, "name", "the business name is empty");
  } else if (nName == std::string::npos) {
    Error(m_strCompanyFile, n, "name", "has a character with no Shift_JIS (CP932) form");
  } else if (nName > kNameMax) {
    Error(m_strCompanyFile, n, "name",
          "longer than " + std::to_string(kNameMax) + " bytes in CP932");
  }
}

void BooksFolderReader::ReadFiscalYear(const CsvReader& csv, const CsvReader::Row& row,
                                       BooksData& data) {
  const int n = CompanyLine(row);
  const bool bStart = ParseDate(csv.Field(row, "fiscal_start"), data.m_start);
  if (!bStart) {
    Error(m_strCompanyFile, n, "fiscal_start",
          Quote(csv.Field(row, "fiscal_start")) + " is not a date YYYY-MM-DD");
  }
  const bool bEnd = ParseDate(csv.Field(row, "fiscal_end"), data.m_end);
  if (!bEnd) {
    Error(m_strCompanyFile, n, "fiscal_end",
          Quote(csv.Field(row, "fiscal_end")) + " is not a date YYYY-MM-DD");
  }
  if (bStart && bEnd) CheckFiscalSpan(n, data.m_start, data.m_end);
}

void BooksFolderReader::CheckFiscalSpan(int n, const BooksData::Date& start,
                                        const BooksData::Date& end) {
  if (end.Serial() < start.Serial()) {
    Error(m_strCompanyFile, n, "fiscal_end", "the fiscal year ends before it starts");
  } else if (end.Serial() >= TwelveMonthsLater(start).Serial()) {
    Error(m_strCompanyFile, n, "fiscal_end",
          "the fiscal year is longer than twelve months (it must end by " +
              DateText(LastDayOfTwelveMonths(start)) + ")");
  } else if (start.m_nDay > 28) {
    // Month periods begin on the start day, which every month must have.
    Error(m_strCompanyFile, n, "fiscal_start",
          "a fiscal year must start on day 1 to 28 of a month");
  } else if (!CFiscalYear(start.m_nYear, start.m_nMonth, start.m_nDay, end.m_nYear, end.m_nMonth,
                          end.m_nDay)
                  .IsValid()) {
    // The host judges a twelve-month year by its start and end months alone.
    Error(m_strCompanyFile, n, "fiscal_end",
          "a year ending in month " + std::to_string(end.m_nMonth) +
              " counts as twelve months, but it does not cover twelve month periods "
              "starting on day " +
              std::to_string(start.m_nDay));
  }
}

void BooksFolderReader::ReadManagementForm(const CsvReader& csv, const CsvReader::Row& row,
                                           BooksData& data) {
  const std::string& strForm = csv.Field(row, "management_form");
  const std::string form = Lower(strForm);
  long long nForm = 0;
  if (form == "corporation" || strForm == U8(u8"法人")) {
    data.m_nKeieiKeitai = 1;
  } else if (form == "individual" || strForm == U8(u8"個人")) {
    data.m_nKeieiKeitai = 2;
  } else if (ParseInt(form, 0, 32767, nForm)) {
    data.m_nKeieiKeitai = static_cast<std::int16_t>(nForm);
  } else {
    Error(m_strCompanyFile, CompanyLine(row), "management_form",
          Quote(strForm) + " is neither corporation, individual nor a number 0-32767");
  }
}

void BooksFolderReader::ReadDataId(const CsvReader& csv, const CsvReader::Row& row,
                                   BooksData& data) {
  const int n = CompanyLine(row);
  data.m_strDataId = csv.Field(row, "data_id");
  const bool bIdChars = std::all_of(data.m_strDataId.begin(), data.m_strDataId.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
           c == '_';
  });
  if (data.m_strDataId.empty()) {
    Error(m_strCompanyFile, n, "data_id", "the data ID is empty");
  } else if (!bIdChars) {
    // The ID names the folder and keys the settings lines, which use , : / " as separators.
    Error(m_strCompanyFile, n, "data_id",
          Quote(data.m_strDataId) + " may hold only letters, digits, - and _");
  } else if (data.m_strDataId.size() > kDataIdMax) {
    Error(m_strCompanyFile, n, "data_id",
          "longer than " + std::to_string(kDataIdMax) + " characters");
  }
}

void BooksFolderReader::ReadAltFolder(const CsvReader& csv, const CsvReader::Row& row,
                                      BooksData& data) {
  data.m_strAltFolder = csv.Field(row, "alt_folder");
  const std::size_t len = Cp932Length(data.m_strAltFolder);
  if (len == std::string::npos) {
    Error(m_strCompanyFile, CompanyLine(row), "alt_folder", "has a character with no Shift_JIS (CP932) form");
  } else if (len > kAltFolderMax) {
    Error(m_strCompanyFile, CompanyLine(row), "alt_folder",
          "longer than " + std::to_string(kAltFolderMax) + " bytes in CP932");
  }
}

void BooksFolderReader::ReadAccounts(CsvReader& csv, BooksData& data) {
  if (!csv.BindColumns({"code", "number", "name", "side", "class"}, {"display_name", "hidden"})) {
    m_arError.push_back(csv.m_strError);
    return;
  }
  if (csv.m_arRow.empty()) {
    Error(kAccounts, 0, "", "no accounts");
    return;
  }
  std::map<long long, int> codeLine, numberLine;
  for (const CsvReader::Row& row : csv.m_arRow) {
    const int n = row.m_nLine;
    if (!CheckRowWidth(csv, n, row.m_arField.size())) continue;
    BooksData::Account a;
    long long v = 0;
    bool bOk = ReadAccountKey(csv.Field(row, "code"), n, "code", 32767, codeLine, v);
    if (bOk) a.m_nCode = static_cast<std::int16_t>(v);
    if (ReadAccountKey(csv.Field(row, "number"), n, "number", 2147483647, numberLine, v)) {
      a.m_nNumber = static_cast<std::int32_t>(v);
    } else {
      bOk = false;
    }
    a.m_strName = csv.Field(row, "name");
    a.m_strDispName = csv.Field(row, "display_name");
    if (a.m_strDispName.empty()) a.m_strDispName = a.m_strName;
    bOk = CheckAccountNames(n, a) && bOk;
    bOk = ReadAccountKind(csv, row, a) && bOk;
    if (bOk) data.m_arAccount.push_back(std::move(a));
  }
}

// An account's code or number: in 1 to nMax, not one the ledger keeps for
// itself, not given before (seen holds the line of each one given).
bool BooksFolderReader::ReadAccountKey(const std::string& strText, int n, const char* pszField,
                                       long long nMax, std::map<long long, int>& seen,
                                       long long& v) {
  const std::string strWhat = std::string("account ") + pszField;
  if (!ParseInt(strText, 1, nMax, v)) {
    Error(kAccounts, n, pszField,
          Quote(strText) + " is not an " + strWhat + " 1-" + std::to_string(nMax));
    return false;
  }
  if (IsReserved(static_cast<int>(v))) {
    Error(kAccounts, n, pszField, strText + " is kept for the ledger's total accounts");
    return false;
  }
  if (auto [it, bNew] = seen.emplace(v, n); !bNew) {
    Error(kAccounts, n, pszField,
          "duplicate " + strWhat + " " + strText + " (first on line " +
              std::to_string(it->second) + ")");
    return false;
  }
  return true;
}

bool BooksFolderReader::CheckAccountNames(int n, const BooksData::Account& a) {
  bool bOk = true;
  for (auto [field, text, max] : {std::tuple{"name", &a.m_strName, kAccountNameMax},
                                  std::tuple{"display_name", &a.m_strDispName, kDispNameMax}}) {
    const std::size_t len = Cp932Length(*text);
    if (text->empty()) {
      // An empty display name is the name; that one is reported once.
      if (text == &a.m_strDispName) continue;
      Error(kAccounts, n, field, "the account name is empty");
      bOk = false;
    } else if (len == std::string::npos) {
      Error(kAccounts, n, field, "has a character with no Shift_JIS (CP932) form");
      bOk = false;
    } else if (len > max) {
      Error(kAccounts, n, field,
            Quote(*text) + " is longer than " + std::to_string(max) + " bytes in CP932");
      bOk = false;
    }
  }
  return bOk;
}

// The side, the class and the hidden flag of an account.
bool BooksFolderReader::ReadAccountKind(const CsvReader& csv, const CsvReader::Row& row,
                                        BooksData::Account& a) {
  const int n = row.m_nLine;
  bool bOk = true;
  const std::string side = Lower(csv.Field(row, "side"));
  if (side == "debit" || side == U8(u8"借方")) {
    a.m_bCredit = false;
  } else if (side == "credit" || side == U8(u8"貸方")) {
    a.m_bCredit = true;
  } else {
    Error(kAccounts, n, "side", Quote(csv.Field(row, "side")) + " is neither debit nor credit");
    bOk = false;
  }
  a.m_strClass = Lower(csv.Field(row, "class"));
  if (std::find(Classes().begin(), Classes().end(), a.m_strClass) == Classes().end()) {
    std::string list;
    for (const auto& c : Classes()) list += (list.empty() ? "" : ", ") + c;
    Error(kAccounts, n, "class", Quote(csv.Field(row, "class")) + " is not one of " + list);
    bOk = false;
  }
  if (!ParseFlag(csv.Field(row, "hidden"), a.m_bHidden)) {
    Error(kAccounts, n, "hidden", Quote(csv.Field(row, "hidden")) + " is not 0 or 1");
    bOk = false;
  }
  return bOk;
}

void BooksFolderReader::ReadOpening(CsvReader& csv, BooksData& data) {
  if (!csv.BindColumns({"code", "balance"}, {})) {
    m_arError.push_back(csv.m_strError);
    return;
  }
  std::map<std::int16_t, const BooksData::Account*> accounts;
  for (const auto& a : data.m_arAccount) accounts[a.m_nCode] = &a;
  std::map<long long, int> seen;
  long long nDebit = 0, nCredit = 0;
  for (const CsvReader::Row& row : csv.m_arRow) {
    const int n = row.m_nLine;
    if (!CheckRowWidth(csv, n, row.m_arField.size())) continue;
    const std::string& code = csv.Field(row, "code");
    const std::string& balance = csv.Field(row, "balance");
    long long nCode = 0, nBalance = 0;
    bool bOk = true;
    const BooksData::Account* pAccount = nullptr;
    if (!ParseInt(code, -32768, 32767, nCode)) {
      Error(kOpening, n, "code", Quote(code) + " is not an account code");
      bOk = false;
    } else if (auto it = accounts.find(static_cast<std::int16_t>(nCode)); it == accounts.end()) {
      Error(kOpening, n, "code", "unknown account code " + code);
      bOk = false;
    } else if (auto [first, bNew] = seen.emplace(nCode, n); !bNew) {
      Error(kOpening, n, "code",
            "duplicate account code " + code + " (first on line " + std::to_string(first->second) +
                ")");
      bOk = false;
    } else {
      pAccount = it->second;
    }
    if (!ParseInt(balance, -kAmountMax, kAmountMax, nBalance)) {
      Error(kOpening, n, "balance", Quote(balance) + " is not an amount in whole yen");
      bOk = false;
    }
    if (bOk && nBalance != 0 && !IsBalanceSheetClass(pAccount->m_strClass)) {
      Error(kOpening, n, "code",
            "account " + code + " is a profit-and-loss account (" + pAccount->m_strClass +
                ") and carries no opening balance");
      bOk = false;
    }
    if (!bOk) continue;
    (pAccount->m_bCredit ? nCredit : nDebit) += nBalance;
    data.m_arOpening.push_back({static_cast<std::int16_t>(nCode), nBalance});
  }
  if (m_arError.empty() && nDebit != nCredit) {
    // Unbalanced books would make total assets differ from liabilities plus capital.
    Error(kOpening, 0, "balance",
          "the balances do not balance: debit side " + std::to_string(nDebit) + ", credit side " +
              std::to_string(nCredit));
  }
}

void BooksFolderReader::ReadJournal(CsvReader& csv, BooksData& data) {
  if (!csv.BindColumns({"date", "debit", "credit", "amount", "settlement"}, {"description"})) {
    m_arError.push_back(csv.m_strError);
    return;
  }
  std::map<long long, bool> codes;
  for (const auto& a : data.m_arAccount) codes[a.m_nCode] = true;
  data.m_arEntry.reserve(csv.m_arRow.size());
  for (const CsvReader::Row& row : csv.m_arRow) {
    const int n = row.m_nLine;
    if (!CheckRowWidth(csv, n, row.m_arField.size())) continue;
    BooksData::Entry e;
    bool bOk = ReadEntryDate(csv, row, data, e);
    bOk = ReadEntryAccounts(csv, row, codes, e) && bOk;
    const std::string& amount = csv.Field(row, "amount");
    long long v = 0;
    if (!ParseInt(amount, -kAmountMax, kAmountMax, v)) {
      Error(kJournal, n, "amount", Quote(amount) + " is not an amount in whole yen");
      bOk = false;
    }
    e.m_nAmount = v;
    if (!ParseFlag(csv.Field(row, "settlement"), e.m_bSettlement)) {
      Error(kJournal, n, "settlement", Quote(csv.Field(row, "settlement")) + " is not 0 or 1");
      bOk = false;
    }
    e.m_strDescription = csv.Field(row, "description");
    if (Cp932Length(e.m_strDescription) == std::string::npos) {
      Error(kJournal, n, "description", "has a character with no Shift_JIS (CP932) form");
      bOk = false;
    }
    if (bOk) data.m_arEntry.push_back(std::move(e));
  }
}

bool BooksFolderReader::ReadEntryDate(const CsvReader& csv, const CsvReader::Row& row,
                                      const BooksData& data, BooksData::Entry& e) {
  const std::string& date = csv.Field(row, "date");
  if (!ParseDate(date, e.m_date)) {
    Error(kJournal, row.m_nLine, "date", Quote(date) + " is not a date YYYY-MM-DD");
    return false;
  }
  if (e.m_date.Serial() < data.m_start.Serial() || e.m_date.Serial() > data.m_end.Serial()) {
    Error(kJournal, row.m_nLine, "date",
          date + " is outside the fiscal year " + DateText(data.m_start) + " to " +
              DateText(data.m_end));
    return false;
  }
  return true;
}

// The debit and the credit account of an entry: known, and not the same.
bool BooksFolderReader::ReadEntryAccounts(const CsvReader& csv, const CsvReader::Row& row,
                                          const std::map<long long, bool>& codes,
                                          BooksData::Entry& e) {
  const int n = row.m_nLine;
  bool bOk = true;
  for (auto [field, pCode] :
       {std::pair{"debit", &e.m_nDebit}, std::pair{"credit", &e.m_nCredit}}) {
    const std::string& code = csv.Field(row, field);
    long long v = 0;
    if (!ParseInt(code, -32768, 32767, v)) {
      Error(kJournal, n, field, Quote(code) + " is not an account code");
      bOk = false;
    } else if (!codes.contains(v)) {
      Error(kJournal, n, field, "unknown account code " + code);
      bOk = false;
    } else {
      *pCode = static_cast<std::int16_t>(v);
    }
  }
  if (e.m_nDebit != 0 && e.m_nDebit == e.m_nCredit) {
    Error(kJournal, n, "credit",
          "the same account " + std::to_string(e.m_nDebit) + " on both sides");
    bOk = false;
  }
  return bOk;
}
