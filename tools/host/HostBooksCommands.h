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
  // Checks that szCommand has nCount arguments and loads the installation
  // named first; after saying what failed, its exit code, else EXIT_OK.
  static int Begin(const char* szCommand, const std::vector<std::string>& arArg, std::size_t nCount,
                   const char* szExpects, CInstallation& installation);
  // Says why szCommand failed; EXIT_FAILED.
  static int Failed(const char* szCommand, const std::string& strWhy);
};
