#include "JournalImport.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>

#include "BooksCsvImporter.h"
#include "BooksFolderReader.h"
#include "CInstallation.h"
#include "Cp932.h"
#include "DefaultMapping.h"
#include "InterchangeCsvReader.h"
#include "JournalConverter.h"
#include "JournalText.h"
#include "OsPath.h"

namespace {

using journal_text::Cp932;
using journal_text::Utf8;

std::filesystem::path OsPath(const CString& str) {
  std::string os;
  platform::ToOsPath(str, os);
  return os;
}

// The side a class's balance stands on.
bool CreditClass(const std::string& strClass) {
  return strClass == "liabilities" || strClass == "net_assets" || strClass == "sales" ||
         strClass == "non_operating_income" || strClass == "special_gain";
}

// A name the host's 16 bytes can hold: without a trailing remark in
// brackets when that is enough, else cut at a character boundary and
// numbered ~2, ~3, ... when the cut meets another cut name.
std::string ShortName(const std::string& strName, std::vector<std::string>& arCut) {
  const std::size_t nMax = BooksFolderReader::kAccountNameMax;
  if (strName.size() <= nMax) return strName;
  static const std::string open = Cp932(u8"（");
  for (const std::string& bracket : {open, std::string("(")}) {
    const std::size_t nOpen = strName.rfind(bracket);
    if (nOpen != std::string::npos && nOpen > 0 && nOpen <= nMax) return strName.substr(0, nOpen);
  }
  std::string cut = strName.substr(0, cp932::CutLength(strName, nMax));
  for (int n = 2; std::find(arCut.begin(), arCut.end(), cut) != arCut.end(); ++n) {
    const std::string suffix = "~" + std::to_string(n);
    cut = strName.substr(0, cp932::CutLength(strName, nMax - suffix.size())) + suffix;
  }
  arCut.push_back(cut);
  return cut;
}

std::string Grouped(long long n) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(i, ",");
  return (n < 0 ? "-" : "") + digits;
}

// The host's totals as the ledger fills them from the classes.
std::map<std::string, long long> HostTotals(const std::map<std::string, long long>& byClass) {
  auto cls = [&](const char* sz) { return byClass.contains(sz) ? byClass.at(sz) : 0LL; };
  const long long nSales = cls("sales"), nCost = cls("cost_of_sales");
  const long long nGross = nSales - nCost, nOperating = nGross - cls("sga");
  const long long nBeforeTax = nOperating + cls("non_operating_income") -
                               cls("non_operating_expense") + cls("special_gain") -
                               cls("special_loss");
  return {
      {"URIAGE", nSales},
      {"GENKA", nCost},
      {"URISOURIEKI", nGross},
      {"EIGYOSONEKI", nOperating},
      {"ZEIBIKIMAE", nBeforeTax},
      {"SHISAN", cls("assets")},
      {"HUSAI", cls("liabilities")},
      {"SHIHON", cls("net_assets") + nBeforeTax - cls("income_tax")},
  };
}

// The main items with the shipped defaults: a total item from the host's
// totals, any other the sum of its accounts' closing balances.
void PrintMainItems(std::ostream& out, const DefaultMapping& defaults,
                    const std::map<std::string, long long>& totals,
                    const std::map<int, long long>& closing) {
  out << Utf8(u8"事業概況書 main items with the shipped defaults (yen, the whole year):\n");
  for (const DefaultMapping::Item& item : defaults.m_arItem) {
    if (item.m_nKubun >= 12) continue;
    long long n = 0;
    if (totals.contains(item.m_strFormula)) {
      n = totals.at(item.m_strFormula);
    } else {
      for (const DefaultMapping::Match& m : defaults.m_arMatch) {
        if (m.m_nItem != item.m_nItem || !closing.contains(m.m_nCode)) continue;
        n += (m.m_bCredit == item.m_bCredit ? 1 : -1) * closing.at(m.m_nCode);
      }
    }
    char szItem[8];
    std::snprintf(szItem, sizeof szItem, "%3d", item.m_nItem);
    out << "  " << szItem << '\t' << Utf8(item.m_strName) << '\t' << Grouped(n) << '\n';
  }
}

}  // namespace

bool JournalImport::Run(const CInstallation& installation, const std::filesystem::path& shipped,
                        const Options& options, std::ostream& out) {
  m_arError.clear();
  m_unknownFile.clear();
  if (!ReadCompany(installation, options)) return false;

  StandardChart chart;
  const std::filesystem::path installed = OsPath(installation.GetFolder()) / CHART_FILE;
  std::error_code ec;
  chart.Load(std::filesystem::exists(installed, ec) ? installed : shipped);
  if (!options.m_accounts.empty()) chart.Load(options.m_accounts);
  if (chart.m_arError.empty()) chart.Complete();
  if (!chart.m_arError.empty()) {
    m_arError = chart.m_arError;
    return false;
  }

  const std::string strJournal = options.m_journal.filename().string();
  InterchangeCsvReader reader;
  if (!reader.Open(options.m_journal)) {
    m_arError.push_back(options.m_journal.string() + ": " + reader.m_strError);
    return false;
  }
  JournalConverter converter(m_names, m_data.m_start, m_data.m_end);
  bool bOverflow = false;
  converter.Convert(reader, strJournal, [&](const JournalConverter::Line& line) {
    for (int id : {line.m_nDebit, line.m_nCredit}) {
      if (static_cast<std::size_t>(id) >= m_arTotal.size()) m_arTotal.resize(id + 1);
    }
    // A year's totals beyond 64 bits are refused rather than wrapped.
    bOverflow |= __builtin_add_overflow(m_arTotal[line.m_nDebit].m_nDebit, line.m_nAmount,
                                        &m_arTotal[line.m_nDebit].m_nDebit);
    bOverflow |= __builtin_add_overflow(m_arTotal[line.m_nCredit].m_nCredit, line.m_nAmount,
                                        &m_arTotal[line.m_nCredit].m_nCredit);
    ++m_nLines;
  });
  m_arError = converter.m_arError;
  if (bOverflow) {
    m_arError.push_back(strJournal + ": an account's total for the year is out of range");
  }
  m_nRecords = converter.m_nRecords;
  m_nVouchers = converter.m_nVouchers;
  if (!options.m_opening.empty()) ReadOpening(options.m_opening);
  m_arTotal.resize(m_names.m_arName.size());
  // Unknown titles are listed with the other problems, all at once.
  const bool bKnown = ResolveAccounts(chart, options.m_journal);
  if (!m_arError.empty() || !bKnown) return false;
  if (!options.m_opening.empty() && !BuildOpening(options.m_opening.filename().string())) {
    return false;
  }
  if (options.m_bDryRun) {
    Preview(installation, out);
    return true;
  }
  return Store(installation, options);
}

bool JournalImport::ReadCompany(const CInstallation& installation, const Options& options) {
  std::string strDataId = options.m_strDataId;
  if (strDataId.empty()) {
    // The first eight-digit number no data set's folder has.
    const CString& strDb = installation.GetManagementDb();
    const std::filesystem::path books = OsPath(strDb.substr(0, strDb.rfind('/') + 1));
    std::error_code ec;
    for (int n = 1; n < 100000000; ++n) {
      char sz[16];
      std::snprintf(sz, sizeof sz, "%08d", n);
      if (!std::filesystem::exists(books / sz, ec)) {
        strDataId = sz;
        break;
      }
    }
  }
  BooksFolderReader company;
  if (!company.ReadCompanyFields({{"name", options.m_strName},
                                  {"fiscal_start", options.m_strStart},
                                  {"fiscal_end", options.m_strEnd},
                                  {"management_form", "corporation"},
                                  {"net_assets", options.m_strNetAssets},
                                  {"data_id", strDataId}},
                                 "the command line", m_data)) {
    m_arError = company.m_arError;
    return false;
  }
  return true;
}

bool JournalImport::ReadOpening(const std::filesystem::path& path) {
  InterchangeCsvReader reader;
  if (!reader.Open(path)) {
    m_arError.push_back(path.string() + ": " + reader.m_strError);
    return false;
  }
  OpeningReader opening;
  opening.Read(reader, path.filename().string(), m_names, m_data.m_start);
  m_arError.insert(m_arError.end(), opening.m_arError.begin(), opening.m_arError.end());
  m_arBalance = std::move(opening.m_arBalance);
  return opening.m_arError.empty();
}

bool JournalImport::ResolveAccounts(const StandardChart& chart,
                                    const std::filesystem::path& journal) {
  std::vector<const StandardChart::Title*> arTitle;
  std::vector<std::size_t> arUnknown;
  for (std::size_t id = 0; id < m_names.m_arName.size(); ++id) {
    arTitle.push_back(chart.Find(m_names.m_arName[id].m_strWritten));
    if (arTitle.back() == nullptr) arUnknown.push_back(id);
  }
  if (!arUnknown.empty()) {
    m_unknownFile = journal;
    m_unknownFile.replace_extension(".unknown-accounts.csv");
    std::ofstream skeleton(m_unknownFile, std::ios::binary);
    skeleton << "name,class,side,code,number,display_name\r\n";
    for (std::size_t id : arUnknown) {
      const AccountNames::Name& name = m_names.m_arName[id];
      std::string strUses;
      for (const std::string& use : name.m_arUse) strUses += (strUses.empty() ? "" : ", ") + use;
      if (name.m_nUses > name.m_arUse.size()) {
        strUses += " and " + std::to_string(name.m_nUses - name.m_arUse.size()) + " more";
      }
      m_arError.push_back("unknown account title \"" + Utf8(name.m_strWritten) + "\" (" + strUses +
                          ")");
      skeleton << '"' << name.m_strWritten << "\",,,,,\r\n";
    }
    skeleton.close();
    m_arError.push_back(
        (skeleton.fail() ? "the titles could not be written to " : "the titles are listed in ") +
        m_unknownFile.string() + ": give each its class and side and pass it as --accounts");
    return false;
  }

  // One account per code; the first title the books use for it names it.
  // The chart's other accounts come too, so that every default mapping
  // finds its account.
  std::map<int, const std::string*> nameOfCode;
  m_arCodeOfId.assign(m_names.m_arName.size(), 0);
  for (std::size_t id = 0; id < arTitle.size(); ++id) {
    m_arCodeOfId[id] = arTitle[id]->m_nCode;
    nameOfCode.emplace(arTitle[id]->m_nCode, &m_names.m_arName[id].m_strWritten);
  }
  std::vector<std::string> arCut;
  for (const StandardChart::Title* t : chart.Accounts()) {
    const auto used = nameOfCode.find(t->m_nCode);
    const std::string& written = used != nameOfCode.end() ? *used->second : t->m_strName;
    BooksData::Account a;
    a.m_nCode = static_cast<std::int16_t>(t->m_nCode);
    a.m_nNumber = t->m_nNumber;
    const std::string name = ShortName(written, arCut);
    // A shortened name keeps the whole one as the display name where it fits.
    std::string disp = name != written             ? written
                       : !t->m_strDispName.empty() ? t->m_strDispName
                                                   : written;
    disp.resize(cp932::CutLength(disp, BooksFolderReader::kDispNameMax));
    a.m_strName = Utf8(name);
    a.m_strDispName = Utf8(disp);
    a.m_bCredit = t->m_bCredit;
    a.m_strClass = t->m_strClass;
    a.m_bHidden = t->m_bHidden;
    m_data.m_arAccount.push_back(std::move(a));
  }
  return true;
}

bool JournalImport::BuildOpening(const std::string& strFile) {
  std::map<int, long long> balance;
  std::map<int, int> line;
  auto account = [&](int nCode) {
    return std::find_if(m_data.m_arAccount.begin(), m_data.m_arAccount.end(),
                        [nCode](const BooksData::Account& x) { return x.m_nCode == nCode; });
  };
  for (const OpeningReader::Balance& b : m_arBalance) {
    const auto a = account(m_arCodeOfId[static_cast<std::size_t>(b.m_nId)]);
    if (!BooksFolderReader::IsBalanceSheetClass(a->m_strClass)) {
      m_arError.push_back(strFile + " line " + std::to_string(b.m_nLine) +
                          Utf8(u8", field 勘定科目: ") + a->m_strName + " is a " + a->m_strClass +
                          " account and carries no balance forward");
      continue;
    }
    balance[a->m_nCode] += b.m_bCredit == a->m_bCredit ? b.m_nAmount : -b.m_nAmount;
    line.emplace(a->m_nCode, b.m_nLine);
  }
  long long nAssets = 0, nClaims = 0;
  for (const auto& [nCode, nBalance] : balance) {
    const auto a = account(nCode);
    if (nBalance > BooksFolderReader::kAmountMax || nBalance < -BooksFolderReader::kAmountMax) {
      m_arError.push_back(strFile + " line " + std::to_string(line[nCode]) + ": the balances of " +
                          a->m_strName + " add up beyond range");
      continue;
    }
    const long long nDebitPositive = a->m_bCredit ? -nBalance : nBalance;
    (a->m_strClass == "assets" ? nAssets : nClaims) +=
        a->m_strClass == "assets" ? nDebitPositive : -nDebitPositive;
    if (nBalance != 0) m_data.m_arOpening.push_back({a->m_nCode, nBalance});
  }
  if (m_arError.empty() && nAssets != nClaims) {
    m_arError.push_back(strFile + ": assets " + Grouped(nAssets) +
                        " do not equal liabilities plus net assets " + Grouped(nClaims) +
                        " (difference " + Grouped(nAssets - nClaims) + ")");
  }
  return m_arError.empty();
}

bool JournalImport::Store(const CInstallation& installation, const Options& options) {
  BooksCsvImporter importer;
  const bool bAdded = importer.Add(installation, m_data, [&](const BooksCsvImporter::Store& store) {
    InterchangeCsvReader reader;
    if (!reader.Open(options.m_journal)) {
      m_arError.push_back(options.m_journal.string() + ": " + reader.m_strError);
      return false;
    }
    m_names.m_bRecord = false;
    JournalConverter converter(m_names, m_data.m_start, m_data.m_end);
    bool bStored = true;
    const bool bRead = converter.Convert(
        reader, options.m_journal.filename().string(), [&](const JournalConverter::Line& l) {
          if (!bStored) return;
          CBooksDatabase::Journal line;
          line.nDate = l.m_date.Serial();
          line.nDebit = static_cast<short>(m_arCodeOfId[static_cast<std::size_t>(l.m_nDebit)]);
          line.nCredit = static_cast<short>(m_arCodeOfId[static_cast<std::size_t>(l.m_nCredit)]);
          line.llAmount = l.m_nAmount;
          line.bSettlement = l.m_bSettlement;
          line.strDescription = l.m_strDescription;
          // Titles of one account on both sides move nothing.
          if (line.nDebit != line.nCredit) bStored = store(line);
        });
    if (!bRead) {
      // The file changed since it was checked.
      m_arError = converter.m_arError;
    }
    return bRead && bStored;
  });
  if (!bAdded) {
    m_arError.insert(m_arError.end(), importer.m_arError.begin(), importer.m_arError.end());
    return false;
  }
  m_nDataNo = importer.m_nDataNo;
  return true;
}

long long JournalImport::Closing(const BooksData::Account& account) const {
  long long n = 0;
  for (std::size_t id = 0; id < m_arTotal.size(); ++id) {
    if (m_arCodeOfId[id] != account.m_nCode) continue;
    n += account.m_bCredit ? m_arTotal[id].m_nCredit - m_arTotal[id].m_nDebit
                           : m_arTotal[id].m_nDebit - m_arTotal[id].m_nCredit;
  }
  for (const BooksData::Opening& o : m_data.m_arOpening) {
    if (o.m_nCode == account.m_nCode) n += o.m_nBalance;
  }
  return n;
}

void JournalImport::Preview(const CInstallation& installation, std::ostream& out) const {
  DefaultMapping defaults;
  const bool bDefaults =
      defaults.Load(OsPath(installation.GetFolder()) /
                    (installation.GetEdition() >= CInstallation::EDITION_COOPERATIVE
                         ? "KP10ToRX16_G_common_init.dat"
                         : "QT10ToRX16_G_common_init.dat"));
  out << "would add " << m_data.m_strName << " (data ID " << m_data.m_strDataId << "), "
      << m_nRecords << " journal lines in " << m_nVouchers << " vouchers as " << m_nLines
      << " books lines\n";

  out << "accounts (code, number, class, side, name, display name, items):\n";
  std::map<std::string, long long> byClass;
  std::map<int, long long> closing;
  for (const BooksData::Account& a : m_data.m_arAccount) {
    closing[a.m_nCode] = Closing(a);
    byClass[a.m_strClass] +=
        (a.m_bCredit == CreditClass(a.m_strClass) ? 1 : -1) * closing[a.m_nCode];
    out << "  " << a.m_nCode << '\t' << a.m_nNumber << '\t' << a.m_strClass << '\t'
        << (a.m_bCredit ? "credit" : "debit") << '\t' << a.m_strName << '\t' << a.m_strDispName
        << '\t';
    std::string strItems;
    for (const DefaultMapping::Match& m : defaults.m_arMatch) {
      if (m.m_nCode == a.m_nCode)
        strItems += (strItems.empty() ? "" : " ") + std::to_string(m.m_nItem);
    }
    out << (strItems.empty() ? "-" : strItems) << '\n';
  }

  out << "trial balance by class (yen, on the class's side):\n";
  for (const std::string& strClass : BooksFolderReader::Classes()) {
    if (byClass.contains(strClass)) {
      out << "  " << strClass << '\t' << Grouped(byClass[strClass]) << '\n';
    }
  }

  if (!bDefaults) {
    out << "no figures: " << defaults.m_strError << '\n';
    return;
  }
  PrintMainItems(out, defaults, HostTotals(byClass), closing);
}
