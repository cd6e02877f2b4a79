#include "BooksCsvExporter.h"

#include <vector>

#include "BooksDbReader.h"
#include "BooksFolderWriter.h"
#include "CInstallation.h"
#include "CManagementDb.h"

bool BooksCsvExporter::Find(const CInstallation& installation, const std::string& strDataSet,
                            CString& strFolder) {
  m_strError.clear();
  strFolder.clear();
  CManagementDb db;
  std::vector<LEDGER_DATASET> rows;
  if (!db.Open(installation.GetManagementDb(), false) || !db.List(rows)) {
    m_strError = "cannot read the management database of the installation";
    return false;
  }
  const CString* pByNumber = nullptr;
  std::vector<CString> folders;
  for (const LEDGER_DATASET& row : rows) folders.emplace_back(row.szDataPath);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    BooksDbReader reader;
    BooksData data;
    if (reader.Read(folders[i], data) && data.m_strDataId == strDataSet) {
      strFolder = folders[i];
      return true;
    }
    if (std::to_string(rows[i].nDataNo) == strDataSet) pByNumber = &folders[i];
  }
  if (pByNumber != nullptr) {
    strFolder = *pByNumber;
    return true;
  }
  m_strError = "the installation has no data set with the data ID or number " + strDataSet;
  return false;
}

bool BooksCsvExporter::Export(const CInstallation& installation, const std::string& strDataSet,
                              const std::filesystem::path& folder) {
  CString strFolder;
  if (!Find(installation, strDataSet, strFolder)) return false;
  BooksDbReader reader;
  BooksData data;
  if (!reader.Read(strFolder, data)) {
    m_strError = "data set " + strDataSet + ": " + reader.m_strError;
    return false;
  }
  BooksFolderWriter writer;
  if (!writer.Write(data, folder)) {
    m_strError = writer.m_strError;
    return false;
  }
  return true;
}
