#pragma once
// The program's start-up: the checks before any books are read, in their
// fixed order, the two guards of a run, the opening of the data access and
// the process-wide host objects (CHostObjects), for each way the program
// runs (StartUpUse). A check that fails returns false and leaves what it
// found in Failure(); the caller shows it once: the application in a
// message box, the command-line modes on standard error.
//
// The order, each step for the uses marked:
//   product name                                  every use
//   system date, the two guards                   Run, Batch
//   the program folder becomes the current folder every use
//   paging memory                                 Run, Batch
//   the host libraries' set-up                    every use
//   the host executable in the program folder     Run
//   start drive, program level                    Run, Batch
//   the data access object                        every use
//   the data access's release                     Run, Batch
//   management database, data access opened,
//   the accounting objects                        all but Installation
//   the program files (and, for the modes that
//   read settings only, the initial data)         every use
//   the selection dialogs' set-up                 Run

#include "CHostObjects.h"
#include "NamedGuard.h"
#include "StartUpFailure.h"
#include "WinTypes.h"

class CJetAccess;

enum class StartUpUse {
  Run,           // a run by hand or from the host: every check, the guards, the dialogs
  Batch,         // the checks and guards of a run; the books are read only
  Read,          // the books read only, no guard: the report, a worker of the batch
  Installation,  // the installation's files alone, no books: a report from a file
};

class CStartUp {
 public:
  // The guards' names: this program, and the host application.
  static constexpr const char* CHECK_MAP_NAME = "RoderoZerozUvo";
  static constexpr const char* HOST_MAP_NAME = "QuillmossQT10";

  explicit CStartUp(StartUpUse use);
  CStartUp(const CStartUp&) = delete;
  CStartUp& operator=(const CStartUp&) = delete;

  // Every step of the use, in order; false at the first that fails.
  bool Start();
  const StartUpFailure& Failure() const { return m_failure; }

  // Registers the host product name with the window utilities.
  static void RegisterProduct();

  // The single steps; each false after setting Failure().
  bool CheckSystemDate();
  bool TakeGuards();
  bool EnterProgramFolder();
  bool CheckMemory();
  bool CheckHostExe();
  bool CheckStartDrive();
  bool CheckProgramLevel();
  bool CreateJetAccess();
  bool CheckJetVersion();
  bool OpenBooks();
  bool CheckProgramFiles();

  // The cooperative edition, asked afresh each time.
  static bool IsCooperative();
  const CString& ProgramFolder() const { return m_strProgramFolder; }
  bool IsBooksOpen() const { return m_objects.IsOpen(); }
  // The data access; valid after CreateJetAccess until CloseBooks.
  CJetAccess& JetAccess() const { return *g_pJetAccess; }
  // Ends the data access and opens it again (after a refused choice); its
  // result is not looked at.
  void ReopenAccess();
  // Ends the data access and deletes the host objects; the guards stay.
  void CloseBooks() { m_objects.Release(); }
  void ReleaseGuards();

 private:
  bool IsChecked() const { return m_use == StartUpUse::Run || m_use == StartUpUse::Batch; }
  bool ReadsSettingsOnly() const { return m_use != StartUpUse::Run; }
  bool OpenAccess();
  bool CreateAccounting();
  bool Fail(LPCSTR pszText, UINT nIcon = MB_ICONWARNING, const CString& strFile = CString());

  StartUpUse m_use;
  StartUpFailure m_failure;
  CString m_strProgramFolder;
  CString m_strKanriDb;
  NamedGuard m_checkMap;
  NamedGuard m_hostMap;
  // Declared last, so the host objects go before the guards.
  CHostObjects m_objects;
};
