#include "JournalCommand.h"

#include <iostream>
#include <map>

#include "CInstallation.h"
#include "HostPaths.h"
#include "HostUsage.h"
#include "JournalImport.h"

namespace {

int Usage(const std::string& strError) {
  std::cerr << "QT10.EXE import-journal: " << strError << "\n" << HostUsage::Text();
  return HostUsage::EXIT_USAGE;
}

}  // namespace

int JournalCommand::Run(const std::vector<std::string>& arArg) {
  std::vector<std::string> arPlain;
  std::map<std::string, std::string> mapOption;
  JournalImport::Options options;
  for (std::size_t i = 0; i < arArg.size(); ++i) {
    const std::string& a = arArg[i];
    if (a == "--dry-run") {
      options.m_bDryRun = true;
    } else if (a == "--opening" || a == "--accounts" || a == "--name" || a == "--fiscal-start" ||
               a == "--fiscal-end" || a == "--data-id" || a == "--net-assets") {
      if (i + 1 == arArg.size()) return Usage(a + " needs a value");
      if (!mapOption.emplace(a, arArg[++i]).second) return Usage(a + " is given twice");
    } else if (a.starts_with("--")) {
      return Usage("unknown option " + a);
    } else {
      arPlain.push_back(a);
    }
  }
  if (arPlain.size() != 2) return Usage("expects INSTALLATION JOURNAL.csv");
  for (const char* szRequired : {"--name", "--fiscal-start", "--fiscal-end"}) {
    if (!mapOption.contains(szRequired)) return Usage(std::string(szRequired) + " is required");
  }
  options.m_journal = arPlain[1];
  options.m_opening = mapOption["--opening"];
  options.m_accounts = mapOption["--accounts"];
  options.m_strName = mapOption["--name"];
  options.m_strStart = mapOption["--fiscal-start"];
  options.m_strEnd = mapOption["--fiscal-end"];
  options.m_strDataId = mapOption["--data-id"];
  if (mapOption.contains("--net-assets")) options.m_strNetAssets = mapOption["--net-assets"];

  CInstallation installation;
  CString strFolder;
  std::string strError;
  if (!HostPaths::ToLedgerPath(arPlain[0], strFolder, strError) || !installation.Load(strFolder)) {
    std::cerr << "QT10.EXE import-journal: "
              << (strError.empty() ? arPlain[0] + ": not an installation (no readable " +
                                         CInstallation::SETTINGS_FILE + "; create one with init)"
                                   : strError)
              << "\n";
    return HostUsage::EXIT_FAILED;
  }
  JournalImport import;
  if (!import.Run(installation, HostPaths::DataFolder() / JournalImport::CHART_FILE, options,
                  std::cout)) {
    std::cerr << "QT10.EXE import-journal: " << arPlain[1] << " was not added:\n";
    for (const std::string& e : import.m_arError) std::cerr << "  " << e << "\n";
    return HostUsage::EXIT_FAILED;
  }
  if (!options.m_bDryRun) {
    std::cout << "added " << arPlain[1] << " as "
              << (installation.GetEdition() >= CInstallation::EDITION_COOPERATIVE ? "member "
                                                                                  : "data set ")
              << import.m_nDataNo << "\n";
  }
  return HostUsage::EXIT_OK;
}
