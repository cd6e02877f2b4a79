#include "HostInit.h"

#include <fstream>
#include <iostream>

#include "BooksCsvImporter.h"
#include "BooksFolderReader.h"
#include "CInstallation.h"
#include "CManagementDb.h"
#include "HostPaths.h"
#include "HostUsage.h"
#include "JournalImport.h"

namespace {

const char* const kManagementDb = "books/kanri.db";
const char* const kComponent = "QT10ToRX16_G";

}  // namespace

int HostInit::Run(const std::vector<std::string>& arArg) {
  if (!ParseArgs(arArg)) {
    std::cerr << "QT10.EXE init: " << m_strError << "\n" << HostUsage::Text();
    return HostUsage::EXIT_USAGE;
  }
  if (!HostPaths::ToLedgerPath(m_dir.string(), m_strDir, m_strError)) {
    std::cerr << "QT10.EXE init: " << m_strError << "\n";
    return HostUsage::EXIT_FAILED;
  }
  std::error_code ec;
  const bool bExisted = std::filesystem::exists(m_dir, ec);
  if (bExisted &&
      (!std::filesystem::is_directory(m_dir, ec) || !std::filesystem::is_empty(m_dir, ec))) {
    std::cerr << "QT10.EXE init: " << m_dir.string() << ": exists and is not an empty folder\n";
    return HostUsage::EXIT_FAILED;
  }
  if (!Install()) {
    // Leave nothing half made: remove what this run created.
    if (bExisted) {
      for (const auto& entry : std::filesystem::directory_iterator(m_dir, ec)) {
        std::filesystem::remove_all(entry.path(), ec);
      }
    } else {
      std::filesystem::remove_all(m_dir, ec);
    }
    std::cerr << "QT10.EXE init: " << m_strError << "\n";
    return HostUsage::EXIT_FAILED;
  }
  std::cout << "installed the " << (m_bCooperative ? "cooperative" : "regular") << " edition in "
            << m_dir.string() << " with " << m_nBooks
            << (m_bCooperative ? " members" : " data sets") << "\n";
  if (m_component.empty()) {
    std::cout << "note: the component " << kComponent
              << " was not found (build it, or give --component PATH)\n";
  }
  return HostUsage::EXIT_OK;
}

bool HostInit::ParseArgs(const std::vector<std::string>& arArg) {
  m_data = HostPaths::DataFolder();
  for (std::size_t i = 0; i < arArg.size(); ++i) {
    const std::string& a = arArg[i];
    const bool bValue = i + 1 < arArg.size();
    if (a == "--edition" && bValue) {
      const std::string& e = arArg[++i];
      if (e != "regular" && e != "cooperative") {
        m_strError = "--edition takes regular or cooperative, not " + e;
        return false;
      }
      m_bCooperative = e == "cooperative";
    } else if (a == "--component" && bValue) {
      m_component = arArg[++i];
      std::error_code ec;
      if (!std::filesystem::is_regular_file(m_component, ec)) {
        m_strError = m_component.string() + ": no such component file";
        return false;
      }
    } else if (a == "--data" && bValue) {
      m_data = arArg[++i];
    } else if (a.starts_with("--")) {
      m_strError = "unknown option or missing value: " + a;
      return false;
    } else if (m_dir.empty()) {
      m_dir = a;
    } else {
      m_strError = "more than one folder given";
      return false;
    }
  }
  if (m_dir.empty()) {
    m_strError = "no installation folder given";
    return false;
  }
  std::error_code ec;
  m_dir = std::filesystem::absolute(m_dir, ec).lexically_normal();
  if (m_dir.filename().empty()) m_dir = m_dir.parent_path();
  if (m_component.empty()) m_component = FindComponent();
  return true;
}

std::filesystem::path HostInit::FindComponent() const {
  // Beside this program in an installation, or in the build tree's app/.
  const std::filesystem::path exeDir = HostPaths::Executable().parent_path();
  for (const auto& p : {exeDir / kComponent, exeDir / "../../app" / kComponent}) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(p, ec)) return p.lexically_normal();
  }
  return {};
}

bool HostInit::CopyFile(const std::filesystem::path& from, const std::string& strName) {
  std::error_code ec;
  std::filesystem::copy_file(from, m_dir / strName, ec);
  if (ec) {
    m_strError = "cannot copy " + from.string() + " to " + (m_dir / strName).string() + " (" +
                 ec.message() + ")";
    return false;
  }
  return true;
}

bool HostInit::LinkFile(const std::filesystem::path& to, const std::string& strName) {
  std::error_code ec;
  // A link, not a copy: upgrading the programs upgrades every installation,
  // and the component still takes the link's folder as its program folder.
  const std::filesystem::path target = std::filesystem::canonical(to, ec);
  if (!ec) std::filesystem::create_symlink(target, m_dir / strName, ec);
  if (ec) {
    m_strError = "cannot link " + (m_dir / strName).string() + " to " + to.string() + " (" +
                 ec.message() + ")";
    return false;
  }
  return true;
}

bool HostInit::Install() {
  std::error_code ec;
  std::filesystem::create_directories(m_dir / "books", ec);
  if (ec) {
    m_strError = "cannot create " + (m_dir / "books").string() + " (" + ec.message() + ")";
    return false;
  }
  const std::filesystem::path exe = HostPaths::Executable();
  const std::string strInit =
      std::string(m_bCooperative ? "KP10" : "QT10") + "ToRX16_G_common_init.dat";
  if (exe.empty() || !LinkFile(exe, "QT10.EXE") || !LinkFile(exe, "KP10.EXE") ||
      (!m_component.empty() && !LinkFile(m_component, kComponent)) ||
      !CopyFile(m_data / "SUPPORT.INF", "SUPPORT.INF") ||
      !CopyFile(m_data / "MirabellDef.ini", "MirabellDef.ini") ||
      !CopyFile(m_data / strInit, strInit) ||
      !CopyFile(m_data / JournalImport::CHART_FILE, JournalImport::CHART_FILE)) {
    if (exe.empty()) m_strError = "cannot find this program's own file";
    return false;
  }

  const short nEdition =
      m_bCooperative ? CInstallation::EDITION_COOPERATIVE : CInstallation::EDITION_REGULAR;
  if (!CInstallation::WriteSettings(m_strDir, nEdition, kManagementDb, "ハルモア１０") ||
      !CManagementDb::Create(m_strDir + "/" + kManagementDb, nEdition)) {
    m_strError = "cannot write the host settings or the management database";
    return false;
  }
  return LoadBooks();
}

bool HostInit::LoadBooks() {
  CInstallation installation;
  if (!installation.Load(m_strDir)) {
    m_strError = "cannot read the host settings just written";
    return false;
  }
  const std::filesystem::path books = m_data / "books";
  const std::filesystem::path list = books / (m_bCooperative ? "cooperative.list" : "regular.list");
  std::ifstream in(list);
  if (!in) {
    m_strError = list.string() + ": cannot read the list of sample books";
    return false;
  }
  std::string strFolder;
  while (std::getline(in, strFolder)) {
    if (strFolder.empty()) continue;
    BooksCsvImporter importer;
    if (!importer.Import(installation, books / strFolder)) {
      m_strError = "sample books " + strFolder + ":";
      for (const auto& e : importer.m_arError) m_strError += "\n  " + e;
      return false;
    }
    ++m_nBooks;
  }
  return true;
}
