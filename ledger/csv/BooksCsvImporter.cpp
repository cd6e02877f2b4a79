#include "BooksCsvImporter.h"

#include <ctime>

#include "BooksFolderReader.h"
#include "CBooksDatabase.h"
#include "CInstallation.h"
#include "CManagementDb.h"
#include "Cp932.h"
#include "KAMOKU_CLASS.h"
#include "LocalClock.h"
#include "OsPath.h"
#include "S_KANKAMOKU.h"

namespace {

std::uint8_t ClassOf(const std::string& strClass) {
  static const std::pair<const char*, KAMOKU_CLASS> classes[] = {
      {"assets", KAMOKU_CLASS_ASSETS},
      {"liabilities", KAMOKU_CLASS_LIABILITIES},
      {"net_assets", KAMOKU_CLASS_NET_ASSETS},
      {"sales", KAMOKU_CLASS_SALES},
      {"cost_of_sales", KAMOKU_CLASS_COST_OF_SALES},
      {"sga", KAMOKU_CLASS_SGA},
      {"non_operating_income", KAMOKU_CLASS_NON_OPERATING_INCOME},
      {"non_operating_expense", KAMOKU_CLASS_NON_OPERATING_EXPENSE},
      {"special_gain", KAMOKU_CLASS_SPECIAL_GAIN},
      {"special_loss", KAMOKU_CLASS_SPECIAL_LOSS},
      {"income_tax", KAMOKU_CLASS_INCOME_TAX},
  };
  for (const auto& [name, value] : classes) {
    if (strClass == name) return value;
  }
  return 0;
}

// The reader has checked that every text has a CP932 form.
CString ToCp932(const std::string& utf8) {
  CString out;
  cp932::FromUtf8(utf8, out);
  return out;
}

CBooksDatabase::Company CompanyOf(const BooksData& data) {
  CBooksDatabase::Company company;
  company.strName = ToCp932(data.m_strName);
  company.nStartYear = static_cast<short>(data.m_start.m_nYear);
  company.nStartMonth = static_cast<short>(data.m_start.m_nMonth);
  company.nStartDay = static_cast<short>(data.m_start.m_nDay);
  company.nEndYear = static_cast<short>(data.m_end.m_nYear);
  company.nEndMonth = static_cast<short>(data.m_end.m_nMonth);
  company.nEndDay = static_cast<short>(data.m_end.m_nDay);
  company.nKeiei = data.m_nKeieiKeitai;
  company.bNetAssets = data.m_bNetAssets;
  company.strDataID = data.m_strDataId;
  company.strAltFolder = ToCp932(data.m_strAltFolder);
  return company;
}

CBooksDatabase::Account AccountOf(const BooksData::Account& a) {
  CBooksDatabase::Account account;
  account.nCode = a.m_nCode;
  account.strName = ToCp932(a.m_strName);
  account.strDispName = ToCp932(a.m_strDispName);
  account.nNo = a.m_nNumber;
  account.bHide = a.m_bHidden;
  account.bySide = a.m_bCredit ? KAMOKU_KASIKATA : KAMOKU_KARIKATA;
  account.byClass = ClassOf(a.m_strClass);
  return account;
}

CBooksDatabase::Journal JournalOf(const BooksData::Entry& e) {
  CBooksDatabase::Journal line;
  line.nDate = e.m_date.Serial();
  line.nDebit = e.m_nDebit;
  line.nCredit = e.m_nCredit;
  line.llAmount = e.m_nAmount;
  line.bSettlement = e.m_bSettlement;
  line.strDescription = ToCp932(e.m_strDescription);
  return line;
}

}  // namespace

bool BooksCsvImporter::Import(const CInstallation& installation,
                              const std::filesystem::path& folder) {
  m_arError.clear();
  BooksFolderReader reader;
  BooksData data;
  if (!reader.Read(folder, data)) {
    m_arError = reader.m_arError;
    return false;
  }
  return Add(installation, data);
}

bool BooksCsvImporter::MoveAsideUnlisted(const CString& strDb, const CString& strFolder,
                                         const std::string& osFolder,
                                         const std::string& strDataId) {
  CManagementDb mgmt;
  std::vector<LEDGER_DATASET> arRow;
  if (!mgmt.Open(strDb, false) || !mgmt.List(arRow)) {
    m_arError.push_back("cannot read the management database beside " + osFolder);
    return false;
  }
  for (const LEDGER_DATASET& row : arRow) {
    if (CString(row.szDataPath) == strFolder + "/") {
      m_arError.push_back("company.csv, field data_id: the installation has data ID " + strDataId +
                          " already (" + osFolder + ")");
      return false;
    }
  }
  // A folder no data set lists is what an add that died before recording it
  // left: it is kept under a name of its own, and the add goes on.
  std::tm now{};
  char szStamp[32] = "";
  if (platform::GetCurrentLocalTime(now))
    std::strftime(szStamp, sizeof szStamp, "%Y%m%d-%H%M%S", &now);
  const std::string osAside = osFolder + ".orphan-" + szStamp;
  std::error_code ec;
  if (!std::filesystem::exists(osAside, ec)) std::filesystem::rename(osFolder, osAside, ec);
  if (ec || std::filesystem::exists(osFolder, ec)) {
    m_arError.push_back("the folder " + osFolder +
                        " is listed by no data set and cannot be moved aside to " + osAside);
    return false;
  }
  m_arNote.push_back("the folder " + osFolder +
                     " was listed by no data set (an earlier add did not complete): moved aside "
                     "to " +
                     osAside);
  return true;
}

bool BooksCsvImporter::Add(const CInstallation& installation, const BooksData& data) {
  return Add(installation, data, Feed());
}

bool BooksCsvImporter::Add(const CInstallation& installation, const BooksData& data,
                           const Feed& feed) {
  m_arError.clear();
  m_arNote.clear();
  m_nDataNo = 0;
  const CString& strDb = installation.GetManagementDb();
  const auto slash = strDb.rfind('/');
  if (strDb.empty() || slash == CString::npos) {
    m_arError.push_back("the installation names no management database");
    return false;
  }
  const CString strFolder = strDb.substr(0, slash + 1) + data.m_strDataId;
  std::string osFolder;
  std::error_code ec;
  if (platform::ToOsPath(strFolder, osFolder) && std::filesystem::exists(osFolder, ec) &&
      !MoveAsideUnlisted(strDb, strFolder, osFolder, data.m_strDataId)) {
    return false;
  }

  CBooksDatabase books;
  if (!books.Begin(strFolder, CompanyOf(data))) return Fail(books, "cannot create the books");
  if (!AddLines(books, data)) return false;
  const Store store = [&](const CBooksDatabase::Journal& line) { return books.AddJournal(line); };
  if (feed && !feed(store)) {
    if (!books.GetError().empty()) return Fail(books, "the journal");
    books.Abort();
    return false;
  }
  if (!books.Commit(strDb, "", 0, &m_nDataNo)) return Fail(books, "cannot add the data set");
  return true;
}

bool BooksCsvImporter::AddLines(CBooksDatabase& books, const BooksData& data) {
  for (const BooksData::Account& a : data.m_arAccount) {
    if (!books.AddAccount(AccountOf(a))) {
      return Fail(books, "accounts.csv, account " + std::to_string(a.m_nCode));
    }
  }
  for (const BooksData::Opening& o : data.m_arOpening) {
    if (!books.SetOpeningBalance(o.m_nCode, o.m_nBalance)) {
      return Fail(books, "opening.csv, account " + std::to_string(o.m_nCode));
    }
  }
  for (const BooksData::Entry& e : data.m_arEntry) {
    if (!books.AddJournal(JournalOf(e))) return Fail(books, "journal.csv");
  }
  return true;
}

bool BooksCsvImporter::Fail(CBooksDatabase& books, const std::string& strWhat) {
  m_arError.push_back(strWhat + ": " + books.GetError());
  books.Abort();
  return false;
}
