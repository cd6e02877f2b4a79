#pragma once
// The link component's application object. It does the whole run inside
// InitInstance: start-up checks, the choice of the books, the settings
// wizard, the aggregation and the output. InitInstance always returns FALSE;
// the caller then calls ExitInstance and destroys the object, whose
// destructor reports the result to the host window when the host launched
// the program.

#include <functional>
#include <memory>

#include "CStartUp.h"
#include "CWnd.h"
#include "S_KANKAMOKU.h"
#include "SettingsRecords.h"
#include "WinTypes.h"

class CSemaFile;

class CFinGaiApp {
 public:
  // Results reported to the host.
  static constexpr int RESULT_COMPLETED = 0;
  static constexpr int RESULT_CANCELLED = 1;
  static constexpr int RESULT_ERROR = 2;

  // Longest command line the launch parameters are read from (bytes, CP932).
  static constexpr int CMDLINE_MAX = MAX_PATH - 1;

  CFinGaiApp();
  ~CFinGaiApp();
  CFinGaiApp(const CFinGaiApp&) = delete;
  CFinGaiApp& operator=(const CFinGaiApp&) = delete;

  // The run; always FALSE.
  BOOL InitInstance();
  // Releases the guards; the process exit code, always 0.
  int ExitInstance();

  // Instead of InitInstance when the command line has text with no CP932
  // form (pszRawLine as it came): shows why the run cannot start and, when
  // the line is a launch, answers the host with an error.
  void RefuseCommandLine(LPCSTR pszRawLine);
  // Runs the program's work (InitInstance or RefuseCommandLine) as the last
  // resort against what nothing else caught: an exception escaping it is
  // shown and reported to the host as an error.
  void RunGuarded(const std::function<void()>& run);

  // Reads "window,message,function,path" into the launch members; TRUE when
  // all three commas are there. A line longer than CMDLINE_MAX is not a
  // launch and sets nothing.
  BOOL ParseCommandLine(LPCSTR pszCmdLine);

  // Single start-up checks (CStartUp): TRUE when passed, FALSE after their
  // own message.
  BOOL CheckMemory();
  BOOL CheckHostExe();
  BOOL CheckProgramLevel();

  enum class KanriCheck { Accepted, Kojin, ReadFailed };
  KanriCheck CheckKanri();
  // Appends every account title of the chosen books to m_arKamoku; FALSE
  // after its own message.
  BOOL ReadKamoku();

  // The program's command line in CP932, set before InitInstance.
  CString m_strCmdLine;

  CArray<S_KANKAMOKU, S_KANKAMOKU> m_arKamoku;
  CArray<_SG_MATCH, _SG_MATCH> m_arMatch;
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> m_arInitBody;
  short m_nKamokuCount = 0;
  int m_bLinked = 0;
  HWND m_hHostWnd = nullptr;
  UINT m_nHostMsg = 0;
  short m_nFunctionNo = 2;
  CString m_strLinkParam;
  CWnd* m_pParentWnd = nullptr;
  int m_nResult = RESULT_COMPLETED;

 private:
  // The launch parameters, then the start-up checks up to the opening of
  // the host data; FALSE after a stop.
  BOOL StartUp();
  // A launch from the host: the host window is disabled and owns the dialogs.
  void Link();
  // The selection cycle; FALSE when the run ends there. szDataPath holds
  // MAX_PATH bytes.
  BOOL SelectData(CSemaFile& sema, char* szDataPath);
  // Wizard, aggregation and output.
  void RunSequence(std::unique_ptr<CSemaFile>& pSema, const char* szDataPath);

  void OnUnexpectedFailure(LPCSTR pszWhat);
  void Message(LPCSTR pszText, UINT nIcon);
  // Shows the message and ends the run with an error.
  BOOL Stop(LPCSTR pszText, UINT nIcon);
  // TRUE when the check passed, else FALSE after a stop with its failure.
  BOOL Checked(bool bPassed);

  // The checks, the guards and the host objects; ExitInstance releases the
  // guards, the destructor the host objects.
  CStartUp m_startUp{StartUpUse::Run};
};
