#pragma once
// The books commands of the host program, on an existing installation:
//   add-books INSTALLATION FOLDER
//   export-books INSTALLATION DATASET FOLDER
//   list INSTALLATION

#include <string>
#include <vector>

class CInstallation;

class HostBooksCommands {
 public:
  static int AddBooks(const std::vector<std::string>& arArg);
  static int ExportBooks(const std::vector<std::string>& arArg);
  static int List(const std::vector<std::string>& arArg);

 private:
  static bool LoadInstallation(const std::string& strDir, CInstallation& installation,
                               std::string& strError);
  static int Usage(const char* szCommand, const std::string& strError);
};
