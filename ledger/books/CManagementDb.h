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

#include <cstdint>
#include <unordered_map>
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
  CSqlite& Db() {
    m_bCached = false;
    return m_db;
  }

  // Every data set in list order, folders made absolute and ending in "/".
  // False when the database cannot be read or a row does not fit.
  bool List(std::vector<LEDGER_DATASET>& arRows);
  // The same rows, read again only when the database has changed since the
  // last read; null when it cannot be read. Valid until the next call.
  const std::vector<LEDGER_DATASET>* Rows();
  // The listed row of data-set number nDataNo, or null.
  const LEDGER_DATASET* Find(std::int32_t nDataNo);
  // The absolute folder (ending in "/") of a stored folder text.
  bool ResolveFolder(const CString& strStored, CString& strFolder) const;
  // Adds a row at the end of the list; nDataNo 0 takes the next free number.
  bool Insert(int nDataNo, const CString& strName, const CString& strFolder, int& nAssigned);
  // The text Insert stores for a folder.
  CString StoredFolder(const CString& strFolder) const;

 private:
  bool ReadRows(std::vector<LEDGER_DATASET>& arRows) const;

  CSqlite m_db;
  // Folder of the database, ending in "/"; absolute unless the working folder
  // has no CP932 form.
  CString m_strDir;
  // What Rows last read, and the database's data version it was read at.
  bool m_bCached = false;
  long long m_nCachedVersion = 0;
  std::vector<LEDGER_DATASET> m_arCached;
  std::unordered_map<std::int32_t, std::size_t> m_mapByNo;
};
