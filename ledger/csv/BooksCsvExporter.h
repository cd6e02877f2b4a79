#pragma once
// Writes one data set of an installation out as a books folder, so that
// importing the folder again gives the same books.

#include <filesystem>
#include <string>

#include "WinTypes.h"

class CInstallation;

class BooksCsvExporter {
 public:
  // strDataSet: a data ID, or else the data set's number in the management
  // database (a data ID that looks like a number wins).
  bool Find(const CInstallation& installation, const std::string& strDataSet, CString& strFolder);
  bool Export(const CInstallation& installation, const std::string& strDataSet,
              const std::filesystem::path& folder);

  std::string m_strError;  // UTF-8
};
