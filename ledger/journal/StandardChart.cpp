#include "StandardChart.h"

#include <algorithm>
#include <map>
#include <set>

#include "BooksFolderReader.h"
#include "Cp932.h"
#include "CsvReader.h"
#include "JournalText.h"
#include "WinLocale.h"

namespace {

using journal_text::Cp932;
using journal_text::Utf8;

struct ClassRange {
  const char* szClass;
  int nFirstCode;
  int nFirstNumber;
};

// Where the sample chart puts each class; new titles go after its accounts.
const ClassRange kRanges[] = {
    {"assets", 101, 1000},
    {"liabilities", 201, 2000},
    {"net_assets", 301, 3000},
    {"sales", 401, 4000},
    {"cost_of_sales", 501, 5000},
    {"sga", 601, 6000},
    {"non_operating_income", 701, 7000},
    {"non_operating_expense", 711, 7500},
    {"special_gain", 801, 8000},
    {"special_loss", 811, 8100},
    {"income_tax", 901, 8900},
};

bool ParseNumber(const std::string& s, long long nMax, int& nOut) {
  if (s.empty() || s.size() > 10) return false;
  long long n = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n < 1 || n > nMax) return false;
  nOut = static_cast<int>(n);
  return true;
}

}  // namespace

const std::string& StandardChart::ClearingName() {
  static const std::string name = Cp932(u8"諸口");
  return name;
}

std::string StandardChart::Key(const std::string& strName) {
  static const std::string space = Cp932(u8"　");
  static const std::string kanjo = Cp932(u8"勘定");
  std::string wide(strName.size() * 2 + 2, '\0');
  const int n =
      LCMapStringA(LOCALE_SYSTEM_DEFAULT, LCMAP_FULLWIDTH, strName.data(),
                   static_cast<int>(strName.size()), wide.data(), static_cast<int>(wide.size()));
  if (n <= 0) return strName;
  wide.resize(static_cast<std::size_t>(n));
  std::string key;
  for (std::size_t i = 0; i < wide.size();) {
    const std::size_t w = cp932::CharLength(wide, i);
    if (wide.compare(i, w, space) != 0) key.append(wide, i, w);
    i += w;
  }
  if (key.size() > kanjo.size() && key.ends_with(kanjo)) key.resize(key.size() - kanjo.size());
  return key;
}

bool StandardChart::Load(const std::filesystem::path& path) {
  CsvReader csv;
  const std::string strFile = path.filename().string();
  if (!csv.Load(path.parent_path(), strFile)) {
    m_arError.push_back(path.string() + ": " + csv.m_strError);
    return false;
  }
  if (!csv.BindColumns({"name", "class", "side"}, {"code", "number", "display_name", "hidden"})) {
    m_arError.push_back(path.string() + ": " + csv.m_strError);
    return false;
  }
  const std::size_t nBefore = m_arError.size();
  for (const CsvReader::Row& row : csv.m_arRow) {
    const std::string strWhere = path.string() + " line " + std::to_string(row.m_nLine);
    auto error = [&](const char* szField, const std::string& strText) {
      m_arError.push_back(strWhere + ", field " + szField + ": " + strText);
    };
    Title t;
    t.m_strWhere = strWhere;
    t.m_nOrder = ++m_nOrder;
    const std::string& name = csv.Field(row, "name");
    if (name.empty()) {
      error("name", "the title is empty");
    } else if (!cp932::FromUtf8(name, t.m_strName)) {
      error("name", "has a character with no Shift_JIS (CP932) form");
    }
    if (!cp932::FromUtf8(csv.Field(row, "display_name"), t.m_strDispName)) {
      error("display_name", "has a character with no Shift_JIS (CP932) form");
    } else if (t.m_strDispName.size() > BooksFolderReader::kDispNameMax) {
      error("display_name",
            "longer than " + std::to_string(BooksFolderReader::kDispNameMax) + " bytes in CP932");
    }
    t.m_strClass = csv.Field(row, "class");
    const auto& classes = BooksFolderReader::Classes();
    if (std::find(classes.begin(), classes.end(), t.m_strClass) == classes.end()) {
      std::string list;
      for (const auto& c : classes) list += (list.empty() ? "" : ", ") + c;
      error("class", "\"" + t.m_strClass + "\" is not one of " + list);
    }
    const std::string& side = csv.Field(row, "side");
    if (side == "credit" || side == Utf8(u8"貸方")) {
      t.m_bCredit = true;
    } else if (side != "debit" && side != Utf8(u8"借方")) {
      error("side", "\"" + side + "\" is neither debit nor credit");
    }
    const std::string& code = csv.Field(row, "code");
    if (!code.empty() &&
        (!ParseNumber(code, 32767, t.m_nCode) || BooksFolderReader::IsReserved(t.m_nCode))) {
      error("code", "\"" + code + "\" is not a free account code 1-32767");
    }
    const std::string& number = csv.Field(row, "number");
    if (!number.empty() && (!ParseNumber(number, 2147483647, t.m_nNumber) ||
                            BooksFolderReader::IsReserved(t.m_nNumber))) {
      error("number", "\"" + number + "\" is not a free account number 1-2147483647");
    }
    const std::string& hidden = csv.Field(row, "hidden");
    if (hidden == "1") {
      t.m_bHidden = true;
    } else if (!hidden.empty() && hidden != "0") {
      error("hidden", "\"" + hidden + "\" is not 0 or 1");
    }
    if (m_arError.size() == nBefore) m_mapTitle[Key(t.m_strName)] = std::move(t);
  }
  return m_arError.size() == nBefore;
}

bool StandardChart::Complete() {
  // One account per code: its titles agree on everything but the name.
  std::map<int, const Title*> byCode;
  std::map<int, int> codeOfNumber;
  for (const auto& [key, t] : m_mapTitle) {
    if (t.m_nCode == 0) continue;
    const auto [it, bNew] = byCode.emplace(t.m_nCode, &t);
    if (!bNew && (it->second->m_strClass != t.m_strClass || it->second->m_bCredit != t.m_bCredit ||
                  (t.m_nNumber != 0 && it->second->m_nNumber != 0 &&
                   it->second->m_nNumber != t.m_nNumber))) {
      const Title& a = it->second->m_strWhere < t.m_strWhere ? *it->second : t;
      const Title& b = &a == &t ? *it->second : t;
      m_arError.push_back(b.m_strWhere + ", field code: code " + std::to_string(t.m_nCode) +
                          " is the account of " + a.m_strWhere +
                          " already, with another class, side or number");
    }
    if (t.m_nNumber != 0) {
      const auto [num, bFresh] = codeOfNumber.emplace(t.m_nNumber, t.m_nCode);
      if (!bFresh && num->second != t.m_nCode) {
        m_arError.push_back(t.m_strWhere + ", field number: number " + std::to_string(t.m_nNumber) +
                            " belongs to another code already");
      }
    }
  }
  if (!m_arError.empty()) return false;
  // A title with a code but no number takes its account's number.
  std::map<int, int> numberOfCode;
  for (const auto& [number, code] : codeOfNumber) numberOfCode[code] = number;
  std::set<int> usedCodes, usedNumbers;
  for (const auto& [code, number] : numberOfCode) usedNumbers.insert(number);
  for (const auto& [code, t] : byCode) usedCodes.insert(code);
  auto next = [](std::set<int>& used, int n, int nMax) {
    while (n <= nMax && (used.contains(n) || BooksFolderReader::IsReserved(n))) ++n;
    used.insert(n);
    return n;
  };
  // In the order of the files, so that the choice does not depend on hashing.
  std::vector<Title*> arOpen;
  for (auto& [key, t] : m_mapTitle) {
    if (t.m_nCode == 0 || t.m_nNumber == 0) arOpen.push_back(&t);
  }
  std::sort(arOpen.begin(), arOpen.end(),
            [](const Title* a, const Title* b) { return a->m_nOrder < b->m_nOrder; });
  for (Title* t : arOpen) {
    const ClassRange* range = &kRanges[0];
    for (const ClassRange& r : kRanges) {
      if (t->m_strClass == r.szClass) range = &r;
    }
    if (t->m_nCode == 0) t->m_nCode = next(usedCodes, range->nFirstCode, 32767);
    if (t->m_nNumber == 0) {
      const auto it = numberOfCode.find(t->m_nCode);
      t->m_nNumber = it != numberOfCode.end() ? it->second
                                              : next(usedNumbers, range->nFirstNumber, 2147483647);
      numberOfCode[t->m_nCode] = t->m_nNumber;
    }
    if (t->m_nCode > 32767) {
      m_arError.push_back(t->m_strWhere + ": no account code is free");
    }
  }
  return m_arError.empty();
}

const StandardChart::Title* StandardChart::Find(const std::string& strName) const {
  const auto it = m_mapTitle.find(Key(strName));
  return it == m_mapTitle.end() ? nullptr : &it->second;
}

std::vector<const StandardChart::Title*> StandardChart::Accounts() const {
  std::map<int, const Title*> byCode;
  for (const auto& [key, t] : m_mapTitle) {
    auto [it, bNew] = byCode.emplace(t.m_nCode, &t);
    if (!bNew && t.m_nOrder < it->second->m_nOrder) it->second = &t;
  }
  std::vector<const Title*> ar;
  for (const auto& [code, t] : byCode) ar.push_back(t);
  std::sort(ar.begin(), ar.end(),
            [](const Title* a, const Title* b) { return a->m_nNumber < b->m_nNumber; });
  return ar;
}
