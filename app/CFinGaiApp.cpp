#include "CFinGaiApp.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <new>

#include "CAccSelDlg.h"
#include "CConv.h"
#include "CDenModify.h"
#include "CFinGaiSum.h"
#include "CGetDriveType.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CKumiSen.h"
#include "CMembSelDlg.h"
#include "CScaleDlg.h"
#include "CSemaFile.h"
#include "CSetGaiSht.h"
#include "CUiBackend.h"
#include "CUtyFile.h"
#include "CValueMgr.h"
#include "CYmd.h"
#include "Cp932.h"
#include "FailureTexts.h"
#include "FinGaiAppMessages.h"
#include "FolderOps.h"
#include "InitJetAccessDLL.h"
#include "InitWinLibDLL.h"
#include "LedgerSel.h"
#include "LocalClock.h"
#include "MaxDataCounts.h"
#include "ProgramLevel.h"
#include "ShowFailure.h"
#include "WinFile.h"
#include "WinHostWindow.h"
#include "WinMemory.h"

CJetAccess* g_pJetAccess = nullptr;
CConv* g_pConv = nullptr;
CYmd* g_pYmd = nullptr;
CKumiSen* g_pKumiSen = nullptr;
CKaikei* g_pKaikei = nullptr;
CDenModify* g_pDenModify = nullptr;

namespace {

const char* const kProductName = "ハルモア１０";
const char* const kLevelKey = "RX16_G";
constexpr int kRequiredLevel = 1;
constexpr int kLatestYear = 2035;
constexpr std::uint64_t kMinPagingBytes = 0x500000;
constexpr int kCooperativeEdition = 10;
constexpr int kHostExeDirSize = 256;
constexpr short kRequiredJetMajor = 6;
constexpr short kRequiredJetMinor = 15;
constexpr char kRequiredJetLetter = 'N';

// Closes the progress window before the run's last message.
void CloseProgress(std::unique_ptr<CScaleDlg>& pScale) {
  if (!pScale) return;
  pScale->Term();
  pScale->DestroyWindow();
  pScale.reset();
}

}  // namespace

CFinGaiApp::CFinGaiApp() = default;

CFinGaiApp::~CFinGaiApp() {
  if (m_bLinked == 1) {
    ::SetForegroundWindow(m_hHostWnd);
    ::EnableWindow(m_hHostWnd, TRUE);
    const auto wParam = static_cast<WPARAM>(static_cast<std::intptr_t>(m_nFunctionNo));
    ::PostMessageA(m_hHostWnd, m_nHostMsg, wParam, m_nResult);
    UiNotifyPost(m_hHostWnd, m_nHostMsg, wParam, m_nResult);
  }
  if (m_bJetOpen == 1 && g_pJetAccess) g_pJetAccess->Term();
  delete g_pJetAccess;
  g_pJetAccess = nullptr;
  delete g_pConv;
  g_pConv = nullptr;
  delete g_pYmd;
  g_pYmd = nullptr;
  delete g_pKaikei;
  g_pKaikei = nullptr;
  delete g_pDenModify;
  g_pDenModify = nullptr;
  delete g_pKumiSen;
  g_pKumiSen = nullptr;
  m_arKamoku.clear();
  m_arMatch.clear();
  m_arInitBody.clear();
  CValueMgr::Instance()->Release();
}

int CFinGaiApp::ExitInstance() {
  m_hCheckMap.Close();
  m_hHostMap.Close();
  return 0;
}

BOOL CFinGaiApp::InitInstance() {
  std::unique_ptr<CUtyFile> pUtyFile;
  if (!StartUp(pUtyFile)) return FALSE;

  std::unique_ptr<CSemaFile> pSema(new (std::nothrow) CSemaFile);
  if (!pSema) {
    Stop(APP_MSG_NO_MEMORY_CLOSE_OTHERS, MB_ICONWARNING);
    return FALSE;
  }
  char szDataPath[MAX_PATH] = {};
  if (SelectData(*pSema, szDataPath)) RunSequence(pSema, szDataPath);
  pSema.reset();
  pUtyFile.reset();
  return FALSE;
}

BOOL CFinGaiApp::StartUp(std::unique_ptr<CUtyFile>& pUtyFile) {
  CValueMgr::Instance()->Set(kProductName, 0);

  if (ParseCommandLine(m_strCmdLine.c_str())) {
    m_bLinked = 1;
    ::EnableWindow(m_hHostWnd, FALSE);
    m_pParentWnd = CWnd::FromHandle(m_hHostWnd);
  }

  if (!CheckSystemDate()) return FALSE;

  if (NamedGuard::IsHeld(CHECK_MAP_NAME)) return Stop(APP_MSG_DOUBLE_START, MB_ICONWARNING);
  if (!CreateCheckMap()) return FALSE;
  if (NamedGuard::IsHeld(HOST_MAP_NAME)) return Stop(APP_MSG_HOST_RUNNING, MB_ICONWARNING);
  if (!CreateHostMap()) return FALSE;

  // Every file named without a folder below is the installation's.
  CString strProgramFolder;
  if (!platform::GetProgramFolder(strProgramFolder) ||
      !SetCurrentDirectoryA(strProgramFolder.c_str())) {
    return Stop(APP_MSG_NO_HOST_EXE, MB_ICONWARNING);
  }

  if (!CheckMemory()) return FALSE;
  InitJetAccessDLL();
  InitWinLibDLL();
  if (!CheckHostExe()) return FALSE;
  if (!CheckStartDrive()) return FALSE;
  if (!CheckProgramLevel()) return FALSE;

  g_pJetAccess = new (std::nothrow) CJetAccess;
  if (!g_pJetAccess) return Stop(APP_MSG_NO_MEMORY_CLOSE_OTHERS, MB_ICONWARNING);
  if (!CheckJetVersion()) return FALSE;
  g_pJetAccess->MasterInit(&MAX_DATA_COUNT_FIRST, &MAX_DATA_COUNT_SECOND);

  if (!OpenKanriDb(pUtyFile)) return FALSE;
  if (OpenAccess() != 0) return Stop(APP_MSG_ACCESS_INIT, MB_ICONWARNING);
  m_bJetOpen = 1;

  if (!CreateAccounting()) return Stop(APP_MSG_NO_MEMORY_CLOSE_OTHERS, MB_ICONWARNING);
  if (!CheckProgramFiles()) return FALSE;
  LedgerSel_InitClass(g_pJetAccess, g_pConv);
  return TRUE;
}

void CFinGaiApp::RefuseCommandLine(LPCSTR pszRawLine) {
  CValueMgr::Instance()->Set(kProductName, 0);
  // Of a launch only the three numbers are needed to answer the host, and
  // they are ASCII; the path after them is what could not be converted.
  const CString strLine = pszRawLine == nullptr ? CString() : CString(pszRawLine);
  std::size_t nComma = CString::npos;
  for (int i = 0; i < 3; ++i) {
    nComma = strLine.find(',', nComma + 1);
    if (nComma == CString::npos) break;
  }
  if (nComma != CString::npos && ParseCommandLine(strLine.substr(0, nComma + 1).c_str())) {
    m_bLinked = 1;
    ::EnableWindow(m_hHostWnd, FALSE);
    m_pParentWnd = CWnd::FromHandle(m_hHostWnd);
  }
  Stop(APP_MSG_BAD_COMMAND_LINE, MB_ICONWARNING);
}

void CFinGaiApp::RunGuarded(const std::function<void()>& run) {
  try {
    run();
  } catch (const std::exception& e) {
    CString strWhat;
    OnUnexpectedFailure(cp932::FromUtf8(e.what(), strWhat) ? strWhat.c_str() : nullptr);
  } catch (...) {
    OnUnexpectedFailure(nullptr);
  }
}

void CFinGaiApp::OnUnexpectedFailure(LPCSTR pszWhat) {
  CString strText = APP_MSG_UNEXPECTED;
  if (pszWhat != nullptr && *pszWhat != '\0') strText += CString("\n\n") + pszWhat;
  Stop(strText.c_str(), MB_ICONWARNING);
}

BOOL CFinGaiApp::ParseCommandLine(LPCSTR pszCmdLine) {
  if (pszCmdLine == nullptr || *pszCmdLine == '\0') return FALSE;
  // Cutting a longer line could turn it into another window or path.
  if (std::strlen(pszCmdLine) > static_cast<std::size_t>(CMDLINE_MAX)) return FALSE;
  char szLine[MAX_PATH] = {};
  std::strcpy(szLine, pszCmdLine);

  char* pField = szLine;
  char* pComma = std::strchr(pField, ',');
  if (!pComma) return FALSE;
  *pComma = '\0';
  m_hHostWnd = reinterpret_cast<HWND>(static_cast<std::intptr_t>(std::atol(pField)));

  pField = pComma + 1;
  pComma = std::strchr(pField, ',');
  if (!pComma) return FALSE;
  *pComma = '\0';
  m_nHostMsg = static_cast<UINT>(std::atol(pField));

  pField = pComma + 1;
  pComma = std::strchr(pField, ',');
  if (!pComma) return FALSE;
  *pComma = '\0';
  m_nFunctionNo = static_cast<short>(std::atoi(pField));

  if (pComma[1] != '\0') m_strLinkParam = pComma + 1;
  return TRUE;
}

BOOL CFinGaiApp::CheckSystemDate() {
  std::tm now{};
  if (!platform::GetCurrentLocalTime(now) || now.tm_year + 1900 > kLatestYear) {
    return Stop(APP_MSG_SYSTEM_DATE, MB_ICONINFORMATION);
  }
  return TRUE;
}

BOOL CFinGaiApp::CreateCheckMap() {
  if (!m_hCheckMap.Create(CHECK_MAP_NAME)) return Stop(APP_MSG_SHARED_MEMORY, MB_ICONWARNING);
  return TRUE;
}

BOOL CFinGaiApp::CreateHostMap() {
  if (!m_hHostMap.Create(HOST_MAP_NAME)) return Stop(APP_MSG_SHARED_MEMORY, MB_ICONWARNING);
  return TRUE;
}

BOOL CFinGaiApp::CheckMemory() {
  MEMORYSTATUS status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatus(&status);
  if (status.dwAvailPageFile < kMinPagingBytes) return Stop(APP_MSG_LOW_PAGING, MB_ICONWARNING);
  return TRUE;
}

BOOL CFinGaiApp::CheckHostExe() {
  char szPath[kHostExeDirSize + 16] = {};
  const DWORD nLength = GetCurrentDirectoryA(kHostExeDirSize, szPath);
  if (nLength == 0 || nLength >= static_cast<DWORD>(kHostExeDirSize)) {
    return Stop(APP_MSG_NO_HOST_EXE, MB_ICONWARNING);
  }
  std::strcat(szPath, IsCooperative() ? "/KP10.EXE" : "/QT10.EXE");
  const HFILE hFile = _lopen(szPath, OF_READ);
  if (hFile == HFILE_ERROR) return Stop(APP_MSG_NO_HOST_EXE, MB_ICONWARNING);
  _lclose(hFile);
  return TRUE;
}

BOOL CFinGaiApp::CheckStartDrive() {
  auto* pDrive = new (std::nothrow) CGetDriveType;
  if (!pDrive) return Stop(APP_MSG_NO_MEMORY_CLOSE_OTHERS, MB_ICONWARNING);
  const short nType = pDrive->GetCurrentDriveType();
  delete pDrive;
  switch (nType) {
    case CGetDriveType::DRIVE_KIND_REMOVABLE:
      return Stop(APP_MSG_REMOVABLE, MB_ICONWARNING);
    case CGetDriveType::DRIVE_KIND_NETWORK:
      return Stop(APP_MSG_NETWORK, MB_ICONWARNING);
    case CGetDriveType::DRIVE_KIND_INVALID:
      return Stop(APP_MSG_BAD_DRIVE, MB_ICONWARNING);
    default:
      return TRUE;
  }
}

BOOL CFinGaiApp::CheckProgramLevel() {
  char szFolder[MAX_PATH + 1] = {};
  const DWORD nLength = GetCurrentDirectoryA(MAX_PATH + 1, szFolder);
  if (nLength > static_cast<DWORD>(MAX_PATH)) szFolder[0] = '\0';
  char szBuffer[PROGRAM_LEVEL_PATH_SIZE];
  switch (ReadProgramLevel(szBuffer, szFolder, kLevelKey, kRequiredLevel)) {
    case 0:
      return TRUE;
    case 1:
      return Stop(APP_MSG_LEVEL_HOST_OLD, MB_ICONWARNING);
    case 2:
      return Stop(APP_MSG_LEVEL_COMPONENT_OLD, MB_ICONWARNING);
    default:
      return Stop(APP_MSG_LEVEL_NO_INI, MB_ICONWARNING);
  }
}

BOOL CFinGaiApp::CheckJetVersion() {
  S_JETVERSION version{};
  if (g_pJetAccess->GetVersion(&version) != 0) return Stop(APP_MSG_VERSION_READ, MB_ICONWARNING);
  if (!IsRequiredJetVersion(version)) return Stop(APP_MSG_VERSION_WRONG, MB_ICONWARNING);
  return TRUE;
}

bool CFinGaiApp::IsRequiredJetVersion(const S_JETVERSION& version) {
  return version.nMajor == kRequiredJetMajor && version.nMinor == kRequiredJetMinor &&
         version.cLetter == kRequiredJetLetter;
}

BOOL CFinGaiApp::OpenKanriDb(std::unique_ptr<CUtyFile>& pUtyFile) {
  pUtyFile.reset(new (std::nothrow) CUtyFile);
  if (!pUtyFile) return Stop(APP_MSG_NO_MEMORY_CLOSE_OTHERS, MB_ICONWARNING);
  int nMode = 4;
  if (!IsCooperative() && CValueMgr::Instance()->GetOSType() < 3) nMode = 8;
  char szKanriDb[MAX_PATH] = {};
  if (pUtyFile->GetFilePath(CUtyFile::FILE_KANRIDB, szKanriDb, MAX_PATH, nMode) == 0) {
    return Stop(APP_MSG_KANRI_DB_PATH, MB_ICONINFORMATION);
  }
  if (g_pJetAccess->CheckFile(szKanriDb) != 0) return Stop(APP_MSG_NO_SYSTEM_FILE, MB_ICONWARNING);
  return TRUE;
}

short CFinGaiApp::OpenAccess() {
  return g_pJetAccess->Init(CJetAccess::ACCESS_STRING, 0, 0, nullptr);
}

BOOL CFinGaiApp::CreateAccounting() {
  g_pConv = new (std::nothrow) CConv;
  if (!g_pConv) return FALSE;
  g_pYmd = new (std::nothrow) CYmd;
  if (!g_pYmd) return FALSE;
  g_pKumiSen = new (std::nothrow) CKumiSen(g_pJetAccess, 0);
  if (!g_pKumiSen) return FALSE;
  g_pKaikei = new (std::nothrow) CKaikei(g_pJetAccess, g_pYmd, g_pKumiSen);
  if (!g_pKaikei) return FALSE;
  g_pDenModify = new (std::nothrow) CDenModify(g_pJetAccess, g_pKaikei);
  if (!g_pDenModify) return FALSE;
  g_pKaikei->SetDenModClass(g_pDenModify);
  return TRUE;
}

BOOL CFinGaiApp::CheckProgramFiles() {
  const char* arFiles[] = {IsCooperative() ? "KP10.EXE" : "QT10.EXE", "SUPPORT.INF"};
  for (const char* pszFile : arFiles) {
    if (g_pJetAccess->CheckFile(pszFile) != 0) {
      return Stop(APP_MSG_NO_PROGRAM_FILE, MB_ICONWARNING);
    }
  }
  return TRUE;
}

BOOL CFinGaiApp::SelectData(CSemaFile& sema, char* szDataPath) {
  std::unique_ptr<S_ENV> pSavedEnv;
  for (;;) {
    CAccSelDlg accSel(m_pParentWnd);
    CMembSelDlg membSel(m_pParentWnd);
    const bool bCooperative = IsCooperative();
    INT_PTR nChoice;
    if (!bCooperative) {
      nChoice = accSel.DoModal();
      accSel.GetSelectedDataPath(szDataPath);
    } else {
      membSel.m_pSemaFile = &sema;
      membSel.SetEnvInfo(pSavedEnv.get());
      nChoice = membSel.DoModal();
      membSel.GetSelectedDataPath(szDataPath);
    }
    if (nChoice == IDCANCEL) {
      if (!m_bLinked) Message(APP_MSG_STOPPED, MB_ICONWARNING);
      m_nResult = RESULT_CANCELLED;
      return FALSE;
    }
    const KanriCheck check = CheckKanri();
    // A management record that cannot be read leaves nothing sound to
    // aggregate: the run ends as an error rather than going on.
    if (check == KanriCheck::ReadFailed) {
      m_nResult = RESULT_ERROR;
      return FALSE;
    }
    if (check == KanriCheck::Accepted) break;

    Message(bCooperative ? APP_MSG_KOJIN_MEMBER : APP_MSG_KOJIN_DATA, MB_ICONWARNING);
    g_pJetAccess->Term();
    OpenAccess();
    if (bCooperative) {
      if (!pSavedEnv) pSavedEnv.reset(new (std::nothrow) S_ENV{});
      if (pSavedEnv) membSel.GetSelectedEnvInfo(pSavedEnv.get());
    }
  }
  pSavedEnv.reset();

  if (!ReadKamoku()) {
    Message(APP_MSG_KAMOKU_FAILED, MB_ICONWARNING);
    m_nResult = RESULT_ERROR;
    return FALSE;
  }
  return TRUE;
}

CFinGaiApp::KanriCheck CFinGaiApp::CheckKanri() {
  std::unique_ptr<S_KANRI> pKanri(new (std::nothrow) S_KANRI{});
  if (!pKanri) {
    Message(FINGAI_MSG_NO_MEMORY, MB_ICONWARNING);
    return KanriCheck::ReadFailed;
  }
  if (g_pJetAccess->ReadKanri(pKanri.get()) != 0) {
    Message(FINGAI_MSG_KANRI_READ, MB_ICONWARNING);
    return KanriCheck::ReadFailed;
  }
  return pKanri->nKeiei == KEIEI_KOJIN ? KanriCheck::Kojin : KanriCheck::Accepted;
}

BOOL CFinGaiApp::ReadKamoku() {
  if (g_pJetAccess->GetKanKamokuCount(&m_nKamokuCount) != 0 || m_nKamokuCount < 0) {
    Message(APP_MSG_KAMOKU_COUNT, MB_ICONWARNING);
    return FALSE;
  }
  std::unique_ptr<S_KANKAMOKU[]> pBlock(new (std::nothrow) S_KANKAMOKU[m_nKamokuCount]{});
  if (!pBlock) {
    Message(FINGAI_MSG_NO_MEMORY, MB_ICONWARNING);
    return FALSE;
  }
  short nRead = 0;
  if (g_pJetAccess->ReadKanKamoku(pBlock.get(), 0, m_nKamokuCount, &nRead, 0) != 0) {
    pBlock.reset();
    Message(APP_MSG_KAMOKU_READ, MB_ICONWARNING);
    return FALSE;
  }
  m_arKamoku.insert(m_arKamoku.end(), pBlock.get(), pBlock.get() + m_nKamokuCount);
  return TRUE;
}

void CFinGaiApp::RunSequence(std::unique_ptr<CSemaFile>& pSema, const char* szDataPath) {
  CSetGaiSht sheet(&m_arKamoku, &m_arMatch, &m_arInitBody);
  std::unique_ptr<CFinGaiSum> pSum;
  sheet.m_strDataPath = szDataPath;
  sheet.m_strLinkParam = m_strLinkParam;
  if (!sheet.DispSheet(m_pParentWnd)) {
    if (!m_bLinked) Message(APP_MSG_STOPPED, MB_ICONWARNING);
    // Only the user's own cancel is a cancellation; a wizard that could not
    // load or save the settings failed.
    m_nResult = sheet.m_bCancelled ? RESULT_CANCELLED : RESULT_ERROR;
    pSema.reset();
    return;
  }
  const _SG_CONDITION cond = sheet.m_cond;

  std::unique_ptr<CScaleDlg> pScale(new (std::nothrow) CScaleDlg(CWnd::FromHandle(m_hHostWnd)));
  if (!pScale) {
    Stop(FINGAI_MSG_NO_MEMORY, MB_ICONWARNING);
    pSema.reset();
    return;
  }
  pScale->Init(2, 1);
  pScale->Create();
  pScale->SetWindowText(APP_PROGRESS_TITLE);
  pScale->DispMessage(APP_PROGRESS_TEXT);
  pScale->SetForegroundWindow();
  pScale->DispScale(30);

  pSum.reset(new (std::nothrow) CFinGaiSum(m_hHostWnd));
  if (!pSum) {
    CloseProgress(pScale);
    Stop(FINGAI_MSG_NO_MEMORY, MB_ICONWARNING);
  } else if (!pSum->Init(cond, &m_arKamoku, &m_arMatch, &m_arInitBody, m_nFunctionNo)) {
    ShowFailure(pSum->m_hWnd, pSum->GetFailure());
    CloseProgress(pScale);
    if (!m_bLinked) Message(APP_MSG_STOPPED, MB_ICONWARNING);
    m_nResult = RESULT_ERROR;
  } else {
    pScale->DispScale(50);
    if (!pSum->Run(m_hHostWnd)) {
      ShowFailure(pSum->m_hWnd, pSum->GetFailure());
      CloseProgress(pScale);
      if (!m_bLinked) Message(APP_MSG_STOPPED, MB_ICONWARNING);
      m_nResult = RESULT_ERROR;
    } else {
      pScale->DispScale(100);
      CloseProgress(pScale);
      if (!m_bLinked) Message(APP_MSG_COMPLETED, MB_ICONINFORMATION);
    }
  }
  pSema.reset();
  pSum.reset();
}

void CFinGaiApp::Message(LPCSTR pszText, UINT nIcon) {
  MessageBoxA(m_hHostWnd, pszText, FINGAI_CAPTION, MB_OK | nIcon);
}

BOOL CFinGaiApp::Stop(LPCSTR pszText, UINT nIcon) {
  Message(pszText, nIcon);
  m_nResult = RESULT_ERROR;
  return FALSE;
}

BOOL CFinGaiApp::IsCooperative() const {
  return CValueMgr::Instance()->GetNo() >= kCooperativeEdition;
}
