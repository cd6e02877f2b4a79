#include "CInstallation.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "Cp932.h"
#include "FolderOps.h"
#include "OsPath.h"

namespace {

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

bool ParseEdition(const std::string& text, short& nEdition) {
  if (text.empty() || text.size() > 4) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  nEdition = static_cast<short>(std::stoi(text));
  return true;
}

}  // namespace

bool CInstallation::GetProgramFolder(CString& strFolder) {
  strFolder.clear();
  const char* env = std::getenv(ENV_PROGRAM_DIR);
  if (env != nullptr && *env != '\0') {
    if (!platform::FromOsPath(env, strFolder)) return false;
    while (strFolder.size() > 1 && strFolder.back() == '/') strFolder.pop_back();
    return true;
  }
  return platform::GetProgramFolder(strFolder);
}

bool CInstallation::WriteSettings(const CString& strFolder, short nEdition,
                                  const CString& strManagementDb, const CString& strProductName) {
  std::string osFile, db, name;
  if (!platform::ToOsPath(strFolder + "/" + SETTINGS_FILE, osFile) ||
      !cp932::ToUtf8(strManagementDb, db) || !cp932::ToUtf8(strProductName, name))
    return false;
  if (db.find('\n') != std::string::npos || name.find('\n') != std::string::npos) return false;
  std::ofstream out(osFile, std::ios::binary | std::ios::trunc);
  out << "[Host]\nEdition=" << nEdition << "\nManagementDb=" << db << "\nProductName=" << name
      << "\n";
  out.close();
  return !out.fail();
}

bool CInstallation::Load() {
  CString strFolder;
  if (!GetProgramFolder(strFolder)) {
    *this = CInstallation();
    return false;
  }
  return Load(strFolder);
}

bool CInstallation::Load(const CString& strFolder) {
  *this = CInstallation();
  std::string osFile;
  if (!platform::ToOsPath(strFolder + "/" + SETTINGS_FILE, osFile)) return false;
  std::ifstream in(osFile, std::ios::binary);
  if (!in) return false;
  short nEdition = EDITION_REGULAR;
  CString strDb, strName;
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == '#' || line[0] == ';' || line[0] == '[') continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) return false;
    const std::string key = Trim(line.substr(0, eq));
    const std::string value = Trim(line.substr(eq + 1));
    if (key == "Edition") {
      if (!ParseEdition(value, nEdition)) return false;
    } else if (key == "ManagementDb") {
      if (!cp932::FromUtf8(value, strDb)) return false;
    } else if (key == "ProductName") {
      if (!cp932::FromUtf8(value, strName)) return false;
    }
  }
  if (in.bad() || strDb.empty()) return false;
  m_strFolder = strFolder;
  m_nEdition = nEdition;
  m_strManagementDb = strDb[0] == '/' ? strDb : strFolder + "/" + strDb;
  m_strProductName = strName;
  return true;
}
