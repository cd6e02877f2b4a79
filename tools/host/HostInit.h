#pragma once
// "init DIR [--edition regular|cooperative] [--component PATH] [--data DIR]":
// creates an installation: the program folder with links to this program
// (as QT10.EXE and KP10.EXE) and to the component, copies of SUPPORT.INF,
// MirabellDef.ini and the common initial-data file, the host settings, the
// management database and the sample books of the edition. The installation
// files come from the data folder beside the programs (HostPaths). On
// failure nothing of it is left behind.

#include <filesystem>
#include <string>
#include <vector>

#include "WinTypes.h"

class HostInit {
 public:
  int Run(const std::vector<std::string>& arArg);

 private:
  bool ParseArgs(const std::vector<std::string>& arArg);
  bool Install();
  bool CopyFile(const std::filesystem::path& from, const std::string& strName);
  bool LinkFile(const std::filesystem::path& to, const std::string& strName);
  bool LoadBooks();
  std::filesystem::path FindComponent() const;

  std::filesystem::path m_dir;
  CString m_strDir;  // m_dir as the ledger takes it (CP932)
  std::filesystem::path m_data;
  std::filesystem::path m_component;
  bool m_bCooperative = false;
  int m_nBooks = 0;
  std::string m_strError;
};
