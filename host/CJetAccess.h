#pragma once
// The data access: one composite object whose parts read the books of the
// data set chosen in the selection dialogs.
//
// Life cycle: construct, GetVersion, MasterInit, CheckFile, Init("TOKA", 0,
// 0, nullptr) opens the management database, a selection (SelectDataSet or
// SelectDataPath, called by the selection dialogs and by tests) chooses the
// books that the Read and Count parts read, Term closes. Term keeps the
// choice, so reads after Term and a new Init see the same data set again
// (checked afresh). Every short result is 0 for success.

#include "CJetAccessCheck.h"
#include "CJetAccessCount.h"
#include "CJetAccessFile.h"
#include "CJetAccessRead.h"
#include "LEDGER_DATASET.h"
#include "MAXDATACOUNT.h"
#include "WinTypes.h"

class CJetAccess : public CJetAccessRead,
                   public CJetAccessCount,
                   public CJetAccessCheck,
                   public CJetAccessFile {
 public:
  // The only access string the books accept.
  inline static constexpr const char* ACCESS_STRING = "TOKA";

  CJetAccess();
  virtual ~CJetAccess();

  // Takes copies of the two limit tables (both required).
  short MasterInit(const MAXDATACOUNT* pFirst, const MAXDATACOUNT* pSecond);
  // Opens the management database named by the installation's host settings.
  // szAccess must be "TOKA"; wMode and nOption 0; szExtra null or empty.
  short Init(LPCSTR szAccess, WORD wMode, short nOption, LPCSTR szExtra);
  short Term();

  // Selection entry: the management database's data sets (members) in their
  // order. Valid between Init and Term.
  short GetDataSetCount(short* pnCount);
  short GetDataSetInfo(short nIndex, LEDGER_DATASET* pInfo);
  // Chooses the nIndex-th data set, or the one whose folder is szDataPath
  // (with or without the trailing "/"). Non-zero when there is none.
  short SelectDataSet(short nIndex);
  short SelectDataPath(LPCSTR szDataPath);
  // Chooses the data set whose books carry the data ID szDataID (S_KANRI2).
  // Non-zero when no listed data set has readable books with that ID; books
  // of other data sets that cannot be read are passed over.
  short SelectDataID(LPCSTR szDataID);
  // The chosen data set's folder ending in "/", empty when none is chosen.
  CString GetSelectedDataPath() const;

  // Why the last read of the chosen books failed.
  static constexpr short READ_FAULT_NONE = 0;     // no read failed, or for another reason
  static constexpr short READ_FAULT_MISSING = 1;  // there is no books file
  static constexpr short READ_FAULT_IN_USE = 2;   // another program holds the books locked
  static constexpr short READ_FAULT_DAMAGED = 3;  // the file is not readable as books
  short GetReadFault() const;
  // The chosen data set's books file, empty when none is chosen.
  CString GetBooksFile() const;
};
