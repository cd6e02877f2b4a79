#include "HostBooksCommands.h"

#include <iostream>

#include "BooksCsvExporter.h"
#include "BooksCsvImporter.h"
#include "BooksDbReader.h"
#include "CInstallation.h"
#include "CManagementDb.h"
#include "Cp932.h"
#include "HostPaths.h"
#include "HostUsage.h"

bool HostBooksCommands::LoadInstallation(const std::string& strDir, CInstallation& installation,
                                         std::string& strError) {
  CString strFolder;
  if (!HostPaths::ToLedgerPath(strDir, strFolder, strError)) return false;
  if (!installation.Load(strFolder)) {
    strError = strDir + ": not an installation (no readable " + CInstallation::SETTINGS_FILE +
               "; create one with init)";
    return false;
  }
  return true;
}

int HostBooksCommands::Usage(const char* szCommand, const std::string& strError) {
  std::cerr << "QT10.EXE " << szCommand << ": " << strError << "\n" << HostUsage::Text();
  return HostUsage::EXIT_USAGE;
}

int HostBooksCommands::Begin(const char* szCommand, const std::vector<std::string>& arArg,
                             std::size_t nCount, const char* szExpects,
                             CInstallation& installation) {
  if (arArg.size() != nCount) return Usage(szCommand, szExpects);
  std::string strError;
  if (!LoadInstallation(arArg[0], installation, strError)) return Failed(szCommand, strError);
  return HostUsage::EXIT_OK;
}

int HostBooksCommands::Failed(const char* szCommand, const std::string& strWhy) {
  std::cerr << "QT10.EXE " << szCommand << ": " << strWhy << "\n";
  return HostUsage::EXIT_FAILED;
}

int HostBooksCommands::AddBooks(const std::vector<std::string>& arArg) {
  CInstallation installation;
  const int nBegun = Begin("add-books", arArg, 2, "expects INSTALLATION FOLDER", installation);
  if (nBegun != HostUsage::EXIT_OK) return nBegun;
  BooksCsvImporter importer;
  const bool bAdded = importer.Import(installation, arArg[1]);
  for (const auto& strNote : importer.m_arNote) std::cout << strNote << "\n";
  if (!bAdded) {
    std::cerr << "QT10.EXE add-books: " << arArg[1] << " was not added:\n";
    for (const auto& e : importer.m_arError) std::cerr << "  " << e << "\n";
    return HostUsage::EXIT_FAILED;
  }
  std::cout << "added " << arArg[1] << " as "
            << (installation.GetEdition() >= CInstallation::EDITION_COOPERATIVE ? "member "
                                                                                : "data set ")
            << importer.m_nDataNo << "\n";
  return HostUsage::EXIT_OK;
}

int HostBooksCommands::ExportBooks(const std::vector<std::string>& arArg) {
  CInstallation installation;
  const int nBegun =
      Begin("export-books", arArg, 3, "expects INSTALLATION DATASET FOLDER", installation);
  if (nBegun != HostUsage::EXIT_OK) return nBegun;
  BooksCsvExporter exporter;
  if (!exporter.Export(installation, arArg[1], arArg[2])) {
    return Failed("export-books", exporter.m_strError);
  }
  std::cout << "exported " << arArg[1] << " to " << arArg[2] << "\n";
  return HostUsage::EXIT_OK;
}

int HostBooksCommands::List(const std::vector<std::string>& arArg) {
  CInstallation installation;
  const int nBegun = Begin("list", arArg, 1, "expects INSTALLATION", installation);
  if (nBegun != HostUsage::EXIT_OK) return nBegun;
  CManagementDb db;
  std::vector<LEDGER_DATASET> rows;
  if (!db.Open(installation.GetManagementDb(), false) || !db.List(rows)) {
    return Failed("list", "cannot read the management database");
  }
  // number, data ID, fiscal year and name, tab-separated, in list order.
  for (const LEDGER_DATASET& row : rows) {
    BooksDbReader reader;
    BooksData data;
    std::string strName, strPath;
    cp932::ToUtf8(row.szName, strName);
    cp932::ToUtf8(row.szDataPath, strPath);
    if (!reader.Read(row.szDataPath, data)) {
      std::cout << row.nDataNo << "\t?\t?\t" << strName << "\t(" << reader.m_strError << ": "
                << strPath << ")\n";
      continue;
    }
    char szYear[32];
    std::snprintf(szYear, sizeof szYear, "%04d-%02d-%02d..%04d-%02d-%02d", data.m_start.m_nYear,
                  data.m_start.m_nMonth, data.m_start.m_nDay, data.m_end.m_nYear,
                  data.m_end.m_nMonth, data.m_end.m_nDay);
    std::cout << row.nDataNo << '\t' << data.m_strDataId << '\t' << szYear << '\t' << strName
              << "\n";
  }
  return HostUsage::EXIT_OK;
}
