#include "BooksFolderWriter.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <system_error>

namespace {

// Quotes a field only when it must be: a comma, a quotation mark, a line
// break, or blanks at either end that the reader would otherwise trim.
std::string Field(const std::string& s) {
  const bool bQuote = s.find_first_of(",\"\r\n") != std::string::npos ||
                      (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.back() == ' ' ||
                                      s.back() == '\t'));
  if (!bQuote) return s;
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string DateText(const BooksData::Date& d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.m_nYear, d.m_nMonth, d.m_nDay);
  return buf;
}

std::string FormText(std::int16_t n) {
  if (n == 1) return "corporation";
  if (n == 2) return "individual";
  return std::to_string(n);
}

}  // namespace

bool BooksFolderWriter::Write(const BooksData& data, const std::filesystem::path& folder) {
  m_strError.clear();
  std::error_code ec;
  if (std::filesystem::exists(folder, ec) &&
      (!std::filesystem::is_directory(folder, ec) || !std::filesystem::is_empty(folder, ec))) {
    m_strError = folder.string() + ": exists and is not an empty folder";
    return false;
  }
  std::filesystem::path target = std::filesystem::absolute(folder, ec).lexically_normal();
  if (target.filename().empty()) target = target.parent_path();
  // Appended piece by piece: GCC 12 at -O2 misreads '"." + string' as an overlapping copy.
  std::string workName = ".";
  workName += target.filename().string();
  workName += ".tmp-";
  workName += std::to_string(::getpid());
  const std::filesystem::path work = target.parent_path() / workName;
  std::filesystem::remove_all(work, ec);
  if (!std::filesystem::create_directory(work, ec)) {
    m_strError = work.string() + ": cannot create the folder (" + ec.message() + ")";
    return false;
  }

  std::ofstream company(work / "company.csv", std::ios::binary);
  company << "name,fiscal_start,fiscal_end,management_form,net_assets,data_id,alt_folder\n"
          << Field(data.m_strName) << ',' << DateText(data.m_start) << ',' << DateText(data.m_end)
          << ',' << FormText(data.m_nKeieiKeitai) << ',' << (data.m_bNetAssets ? 1 : 0) << ','
          << Field(data.m_strDataId) << ',' << Field(data.m_strAltFolder) << '\n';

  std::ofstream accounts(work / "accounts.csv", std::ios::binary);
  accounts << "code,number,name,display_name,side,class,hidden\n";
  for (const auto& a : data.m_arAccount) {
    accounts << a.m_nCode << ',' << a.m_nNumber << ',' << Field(a.m_strName) << ','
             << Field(a.m_strDispName) << ',' << (a.m_bCredit ? "credit" : "debit") << ','
             << a.m_strClass << ',' << (a.m_bHidden ? 1 : 0) << '\n';
  }

  std::ofstream opening(work / "opening.csv", std::ios::binary);
  opening << "code,balance\n";
  for (const auto& o : data.m_arOpening) opening << o.m_nCode << ',' << o.m_nBalance << '\n';

  std::ofstream journal(work / "journal.csv", std::ios::binary);
  journal << "date,debit,credit,amount,settlement,description\n";
  for (const auto& e : data.m_arEntry) {
    journal << DateText(e.m_date) << ',' << e.m_nDebit << ',' << e.m_nCredit << ',' << e.m_nAmount
            << ',' << (e.m_bSettlement ? 1 : 0) << ',' << Field(e.m_strDescription) << '\n';
  }

  for (std::ofstream* f : {&company, &accounts, &opening, &journal}) {
    f->close();
    if (f->fail()) {
      m_strError = folder.string() + ": cannot write the files";
      std::filesystem::remove_all(work, ec);
      return false;
    }
  }
  std::filesystem::rename(work, target, ec);
  if (ec) {
    m_strError = folder.string() + ": cannot move the files into place (" + ec.message() + ")";
    std::filesystem::remove_all(work, ec);
    return false;
  }
  return true;
}
