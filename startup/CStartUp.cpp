#include "CStartUp.h"

#include <cstring>
#include <ctime>
#include <memory>
#include <new>

#include "CConv.h"
#include "CDenModify.h"
#include "CGetDriveType.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CKumiSen.h"
#include "CSetGaiFile.h"
#include "CUtyFile.h"
#include "CValueMgr.h"
#include "CYmd.h"
#include "FolderOps.h"
#include "InitJetAccessDLL.h"
#include "InitWinLibDLL.h"
#include "LedgerSel.h"
#include "LocalClock.h"
#include "MaxDataCounts.h"
#include "ProgramLevel.h"
#include "StartUpMessages.h"
#include "WinFile.h"
#include "WinMemory.h"

namespace {

const char* const kProductName = "ハルモア１０";
const char* const kLevelKey = "RX16_G";
constexpr int kRequiredLevel = 1;
constexpr int kLatestYear = 2035;
constexpr std::uint64_t kMinPagingBytes = 0x500000;
constexpr int kCooperativeEdition = 10;
constexpr int kHostExeDirSize = 256;
// The one release of the host's data access this component is built for.
constexpr short kRequiredJetMajor = 6;
constexpr short kRequiredJetMinor = 15;
constexpr char kRequiredJetLetter = 'N';

const char* HostExe() { return CStartUp::IsCooperative() ? "KP10.EXE" : "QT10.EXE"; }

}  // namespace

CStartUp::CStartUp(StartUpUse use) : m_use(use) {}

bool CStartUp::Start() {
  RegisterProduct();
  if (IsChecked() && !(CheckSystemDate() && TakeGuards())) return false;
  if (!EnterProgramFolder()) return false;
  if (IsChecked() && !CheckMemory()) return false;
  InitJetAccessDLL();
  InitWinLibDLL();
  if (m_use == StartUpUse::Run && !CheckHostExe()) return false;
  if (IsChecked() && !(CheckStartDrive() && CheckProgramLevel())) return false;
  if (!CreateJetAccess()) return false;
  if (IsChecked() && !CheckJetVersion()) return false;
  if (m_use != StartUpUse::Installation && !OpenBooks()) return false;
  if (!CheckProgramFiles()) return false;
  if (m_use == StartUpUse::Run) LedgerSel_InitClass(g_pJetAccess, g_pConv);
  return true;
}

bool CStartUp::Fail(LPCSTR pszText, UINT nIcon, const CString& strFile) {
  m_failure = {pszText, nIcon, strFile};
  return false;
}

void CStartUp::RegisterProduct() { CValueMgr::Instance()->Set(kProductName, 0); }

bool CStartUp::IsCooperative() { return CValueMgr::Instance()->GetNo() >= kCooperativeEdition; }

bool CStartUp::CheckSystemDate() {
  std::tm now{};
  if (!platform::GetCurrentLocalTime(now) || now.tm_year + 1900 > kLatestYear) {
    return Fail(STARTUP_MSG_SYSTEM_DATE, MB_ICONINFORMATION);
  }
  return true;
}

bool CStartUp::TakeGuards() {
  if (NamedGuard::IsHeld(CHECK_MAP_NAME)) return Fail(STARTUP_MSG_DOUBLE_START);
  if (!m_checkMap.Create(CHECK_MAP_NAME)) return Fail(STARTUP_MSG_SHARED_MEMORY);
  if (NamedGuard::IsHeld(HOST_MAP_NAME)) return Fail(STARTUP_MSG_HOST_RUNNING);
  if (!m_hostMap.Create(HOST_MAP_NAME)) return Fail(STARTUP_MSG_SHARED_MEMORY);
  return true;
}

void CStartUp::ReleaseGuards() {
  m_checkMap.Close();
  m_hostMap.Close();
}

// Every file named without a folder from here on is the installation's.
bool CStartUp::EnterProgramFolder() {
  if (!platform::GetProgramFolder(m_strProgramFolder) ||
      !SetCurrentDirectoryA(m_strProgramFolder.c_str())) {
    return Fail(STARTUP_MSG_NO_HOST_EXE, MB_ICONWARNING, m_strProgramFolder);
  }
  return true;
}

bool CStartUp::CheckMemory() {
  MEMORYSTATUS status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatus(&status);
  if (status.dwAvailPageFile < kMinPagingBytes) return Fail(STARTUP_MSG_LOW_PAGING);
  return true;
}

bool CStartUp::CheckHostExe() {
  char szPath[kHostExeDirSize + 16] = {};
  const DWORD nLength = GetCurrentDirectoryA(kHostExeDirSize, szPath);
  if (nLength == 0 || nLength >= static_cast<DWORD>(kHostExeDirSize)) {
    return Fail(STARTUP_MSG_NO_HOST_EXE);
  }
  std::strcat(szPath, "/");
  std::strcat(szPath, HostExe());
  const HFILE hFile = _lopen(szPath, OF_READ);
  if (hFile == HFILE_ERROR) return Fail(STARTUP_MSG_NO_HOST_EXE, MB_ICONWARNING, szPath);
  _lclose(hFile);
  return true;
}

// The program folder, the current folder by now, is on a drive a run may start from.
bool CStartUp::CheckStartDrive() {
  std::unique_ptr<CGetDriveType> pDrive(new (std::nothrow) CGetDriveType);
  if (!pDrive) return Fail(STARTUP_MSG_NO_MEMORY_CLOSE_OTHERS);
  const short nType = pDrive->GetCurrentDriveType();
  pDrive.reset();
  switch (nType) {
    case CGetDriveType::DRIVE_KIND_REMOVABLE:
      return Fail(STARTUP_MSG_REMOVABLE);
    case CGetDriveType::DRIVE_KIND_NETWORK:
      return Fail(STARTUP_MSG_NETWORK);
    case CGetDriveType::DRIVE_KIND_INVALID:
      return Fail(STARTUP_MSG_BAD_DRIVE);
    default:
      return true;
  }
}

bool CStartUp::CheckProgramLevel() {
  char szFolder[MAX_PATH + 1] = {};
  const DWORD nLength = GetCurrentDirectoryA(MAX_PATH + 1, szFolder);
  if (nLength > static_cast<DWORD>(MAX_PATH)) szFolder[0] = '\0';
  char szBuffer[PROGRAM_LEVEL_PATH_SIZE];
  switch (ReadProgramLevel(szBuffer, szFolder, kLevelKey, kRequiredLevel)) {
    case 0:
      return true;
    case 1:
      return Fail(STARTUP_MSG_LEVEL_HOST_OLD);
    case 2:
      return Fail(STARTUP_MSG_LEVEL_COMPONENT_OLD);
    default:
      return Fail(STARTUP_MSG_LEVEL_NO_INI);
  }
}

bool CStartUp::CreateJetAccess() {
  if (!m_objects.Hold(new (std::nothrow) CJetAccess)) {
    return Fail(STARTUP_MSG_NO_MEMORY_CLOSE_OTHERS);
  }
  return true;
}

bool CStartUp::CheckJetVersion() {
  S_JETVERSION version{};
  if (g_pJetAccess->GetVersion(&version) != 0) return Fail(STARTUP_MSG_VERSION_READ);
  if (version.nMajor != kRequiredJetMajor || version.nMinor != kRequiredJetMinor ||
      version.cLetter != kRequiredJetLetter) {
    return Fail(STARTUP_MSG_VERSION_WRONG);
  }
  return true;
}

// The record-count tables, the management database, the data access opened
// on it, then the accounting objects.
bool CStartUp::OpenBooks() {
  g_pJetAccess->MasterInit(&MAX_DATA_COUNT_FIRST, &MAX_DATA_COUNT_SECOND);
  std::unique_ptr<CUtyFile> pUtyFile(new (std::nothrow) CUtyFile);
  if (!pUtyFile) return Fail(STARTUP_MSG_NO_MEMORY_CLOSE_OTHERS);
  int nMode = 4;
  if (!IsCooperative() && CValueMgr::Instance()->GetOSType() < 3) nMode = 8;
  char szKanriDb[MAX_PATH] = {};
  if (pUtyFile->GetFilePath(CUtyFile::FILE_KANRIDB, szKanriDb, MAX_PATH, nMode) == 0) {
    return Fail(STARTUP_MSG_KANRI_DB_PATH, MB_ICONINFORMATION);
  }
  m_strKanriDb = szKanriDb;
  if (g_pJetAccess->CheckFile(szKanriDb) != 0) {
    return Fail(STARTUP_MSG_NO_SYSTEM_FILE, MB_ICONWARNING, m_strKanriDb);
  }
  if (!OpenAccess()) return Fail(STARTUP_MSG_ACCESS_INIT, MB_ICONWARNING, m_strKanriDb);
  if (!CreateAccounting()) return Fail(STARTUP_MSG_NO_MEMORY_CLOSE_OTHERS);
  return true;
}

bool CStartUp::OpenAccess() {
  if (g_pJetAccess->Init(CJetAccess::ACCESS_STRING, 0, 0, nullptr) != 0) return false;
  m_objects.SetOpen();
  return true;
}

void CStartUp::ReopenAccess() {
  g_pJetAccess->Term();
  g_pJetAccess->Init(CJetAccess::ACCESS_STRING, 0, 0, nullptr);
}

// Each object from the ones before it; those made before one that cannot be
// made stay for the owner to delete.
bool CStartUp::CreateAccounting() {
  if (!m_objects.Hold(new (std::nothrow) CConv) || !m_objects.Hold(new (std::nothrow) CYmd) ||
      !m_objects.Hold(new (std::nothrow) CKumiSen(g_pJetAccess, 0)) ||
      !m_objects.Hold(new (std::nothrow) CKaikei(g_pJetAccess, g_pYmd, g_pKumiSen)) ||
      !m_objects.Hold(new (std::nothrow) CDenModify(g_pJetAccess, g_pKaikei))) {
    return false;
  }
  g_pKaikei->SetDenModClass(g_pDenModify);
  return true;
}

// The modes that read settings only need the initial data's defaults; a run
// reads that file itself when it makes a data set's first settings.
bool CStartUp::CheckProgramFiles() {
  const char* arFiles[] = {
      HostExe(), "SUPPORT.INF",
      ReadsSettingsOnly() ? CSetGaiFile::InitFileName(IsCooperative()) : nullptr};
  for (const char* pszFile : arFiles) {
    if (pszFile != nullptr && g_pJetAccess->CheckFile(pszFile) != 0) {
      return Fail(STARTUP_MSG_NO_PROGRAM_FILE, MB_ICONWARNING, m_strProgramFolder + "/" + pszFile);
    }
  }
  return true;
}
