#pragma once
// The management database: the data sets of the regular edition (or the
// members of the cooperative edition) and their folders.
//
// Schema: ledger_meta(key, value) with kind = "management", schema = "1",
// edition = the host edition; dataset(data_no, name, folder, seq), listed by
// seq. A folder below the management database's folder is stored relative to
// it, so that an installation can be moved or copied as a whole; others are
// stored as given. A relative folder is taken relative to the folder of the
// management database, an absolute one as it stands.

#include <vector>

#include "CSqlite.h"
#include "LEDGER_DATASET.h"
#include "WinTypes.h"

class CManagementDb {
 public:
  // Creates a new, empty management database; false when the file exists.
  static bool Create(const CString& strPath, short nEdition);

  bool Open(const CString& strPath, bool bWrite);
  void Close();
  bool IsOpen() const { return m_db.IsOpen(); }
  CSqlite& Db() { return m_db; }

  // Every data set in list order, folders made absolute and ending in "/".
  // False when the database cannot be read or a row does not fit.
  bool List(std::vector<LEDGER_DATASET>& arRows);
  // The absolute folder (ending in "/") of a stored folder text.
  bool ResolveFolder(const CString& strStored, CString& strFolder) const;
  // Adds a row at the end of the list; nDataNo 0 takes the next free number.
  bool Insert(int nDataNo, const CString& strName, const CString& strFolder, int& nAssigned);
  // The text Insert stores for a folder.
  CString StoredFolder(const CString& strFolder) const;

 private:
  CSqlite m_db;
  // Folder of the database, ending in "/"; absolute unless the working folder
  // has no CP932 form.
  CString m_strDir;
};
