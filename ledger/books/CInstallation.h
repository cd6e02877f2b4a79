#pragma once
// Where the host stand-in is installed and how it is set up.
//
// The program folder is $QT10_PROGRAM_DIR when that is set and not empty
// (tests point it at a scratch installation), else the folder of the running
// executable. It holds QT10.EXE (or KP10.EXE), the component, SUPPORT.INF,
// MirabellDef.ini, the common initial-data file and the host settings file
// "LedgerHost.ini": UTF-8 lines "key=value" (blank lines, "[section]" lines
// and lines starting with "#" or ";" are skipped):
//   Edition=0            host edition; 10 or more is the cooperative edition
//   ManagementDb=PATH    the management database, relative to the program
//                        folder unless it starts with "/"
//   ProductName=TEXT     product name (optional)
// Paths and texts are handed out in CP932.
// $QT10_LEDGER_VERSION ("6.15N"), when set, is the data-access release the
// stand-in reports instead of its own; an unreadable value fails the query.

#include "WinTypes.h"

class CInstallation {
 public:
  inline static constexpr const char* ENV_PROGRAM_DIR = "QT10_PROGRAM_DIR";
  inline static constexpr const char* ENV_LEDGER_VERSION = "QT10_LEDGER_VERSION";
  inline static constexpr const char* SETTINGS_FILE = "LedgerHost.ini";
  inline static constexpr short EDITION_REGULAR = 0;
  inline static constexpr short EDITION_COOPERATIVE = 10;

  // The program folder without a trailing "/"; false when it cannot be found
  // or has no CP932 form.
  static bool GetProgramFolder(CString& strFolder);
  // Writes the settings file into strFolder (CP932 path and texts); the
  // management path is written as given.
  static bool WriteSettings(const CString& strFolder, short nEdition,
                            const CString& strManagementDb, const CString& strProductName);

  // Reads the settings of the program folder (or of strFolder). False when
  // the file is missing, unreadable, malformed or names no management
  // database; the object then holds no values.
  bool Load();
  bool Load(const CString& strFolder);

  const CString& GetFolder() const { return m_strFolder; }
  short GetEdition() const { return m_nEdition; }
  // Absolute path of the management database.
  const CString& GetManagementDb() const { return m_strManagementDb; }
  const CString& GetProductName() const { return m_strProductName; }

 private:
  CString m_strFolder;
  short m_nEdition = EDITION_REGULAR;
  CString m_strManagementDb;
  CString m_strProductName;
};
