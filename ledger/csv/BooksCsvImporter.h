#pragma once
// Adds a books folder (see BooksFolderReader) to an installation: a data set
// in the regular edition, a member in the cooperative edition. The data
// set's folder is named after its data ID beside the management database.
// All or nothing: when any line is rejected or a write fails, the
// installation is left as it was.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "BooksData.h"
#include "CBooksDatabase.h"
#include "WinTypes.h"

class CInstallation;

class BooksCsvImporter {
 public:
  bool Import(const CInstallation& installation, const std::filesystem::path& folder);
  // Adds books already read (and checked) from a folder.
  bool Add(const CInstallation& installation, const BooksData& data);
  // Takes journal lines (CP932) after data's own from a feed, which hands
  // each to its store, so that a journal need not be held in memory. A
  // store or feed that returns false fails the import; a feed says why in
  // m_arError.
  using Store = std::function<bool(const CBooksDatabase::Journal&)>;
  using Feed = std::function<bool(const Store&)>;
  bool Add(const CInstallation& installation, const BooksData& data, const Feed& feed);

  // Problems in UTF-8, each naming the file, line and field where it can.
  std::vector<std::string> m_arError;
  // What the add did besides, in UTF-8: a data-set folder of the same ID that
  // no data set lists (an add that died) is moved aside as
  // ID.orphan-YYYYMMDD-HHMMSS.
  std::vector<std::string> m_arNote;
  int m_nDataNo = 0;  // number the management database gave the data set

 private:
  // False, with an error, when the existing folder is listed or cannot be moved.
  bool MoveAsideUnlisted(const CString& strDb, const CString& strFolder,
                         const std::string& osFolder, const std::string& strDataId);
  // The accounts, balances and entries of data into the books being made.
  bool AddLines(CBooksDatabase& books, const BooksData& data);
  // Notes what failed with the books' reason and drops the books: false.
  bool Fail(CBooksDatabase& books, const std::string& strWhat);
};
