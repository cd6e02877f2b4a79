#include "CBatchChecks.h"

#include <ctime>

#include "BatchConsole.h"
#include "CFinGaiApp.h"
#include "CGetDriveType.h"
#include "CJetAccess.h"
#include "FinGaiAppMessages.h"
#include "FinGaiGlobals.h"
#include "LocalClock.h"
#include "ProgramLevel.h"
#include "ProgramResources.h"
#include "WinMemory.h"

namespace {

const char* const kLevelKey = "RX16_G";
constexpr int kRequiredLevel = 1;
constexpr int kLatestYear = 2035;
constexpr std::uint64_t kMinPagingBytes = 0x500000;

bool CheckProgramLevel(const CString& strFolder) {
  char szBuffer[PROGRAM_LEVEL_PATH_SIZE];
  switch (ReadProgramLevel(szBuffer, strFolder.c_str(), kLevelKey, kRequiredLevel)) {
    case 0:
      return true;
    case 1:
      BatchError(APP_MSG_LEVEL_HOST_OLD);
      return false;
    case 2:
      BatchError(APP_MSG_LEVEL_COMPONENT_OLD);
      return false;
    default:
      BatchError(APP_MSG_LEVEL_NO_INI);
      return false;
  }
}

bool CheckSystemDate() {
  std::tm now{};
  if (platform::GetCurrentLocalTime(now) && now.tm_year + 1900 <= kLatestYear) return true;
  BatchError(APP_MSG_SYSTEM_DATE);
  return false;
}

bool CheckMemory() {
  MEMORYSTATUS status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatus(&status);
  if (status.dwAvailPageFile >= kMinPagingBytes) return true;
  BatchError(APP_MSG_LOW_PAGING);
  return false;
}

// The data access the books were opened with is the release this component reads.
bool CheckJetVersion() {
  S_JETVERSION version{};
  if (g_pJetAccess->GetVersion(&version) != 0) {
    BatchError(APP_MSG_VERSION_READ);
    return false;
  }
  if (CFinGaiApp::IsRequiredJetVersion(version)) return true;
  BatchError(APP_MSG_VERSION_WRONG);
  return false;
}

// The program folder, the current folder by now, is on a drive a run may start from.
bool CheckStartDrive() {
  switch (CGetDriveType().GetCurrentDriveType()) {
    case CGetDriveType::DRIVE_KIND_REMOVABLE:
      BatchError(APP_MSG_REMOVABLE);
      return false;
    case CGetDriveType::DRIVE_KIND_NETWORK:
      BatchError(APP_MSG_NETWORK);
      return false;
    case CGetDriveType::DRIVE_KIND_INVALID:
      BatchError(APP_MSG_BAD_DRIVE);
      return false;
    default:
      return true;
  }
}

// Takes the named guard, unless another process holds it (pszHeld says so).
bool TakeGuard(NamedGuard& guard, const char* pszName, const char* pszHeld) {
  if (NamedGuard::IsHeld(pszName)) {
    BatchError(pszHeld);
    return false;
  }
  if (!guard.Create(pszName)) {
    BatchError(APP_MSG_SHARED_MEMORY);
    return false;
  }
  return true;
}

}  // namespace

bool CBatchChecks::BeforeBooks() {
  // The file's system block carries texts of the string table.
  RegisterProgramResources();
  if (!CheckSystemDate()) return false;
  // The guards of a run by hand, held to the end: no run by hand changes
  // settings while the batch reads them, and the host stays closed.
  return TakeGuard(m_checkGuard, CFinGaiApp::CHECK_MAP_NAME, APP_MSG_DOUBLE_START) &&
         TakeGuard(m_hostGuard, CFinGaiApp::HOST_MAP_NAME, APP_MSG_HOST_RUNNING) &&
         CheckMemory();
}

bool CBatchChecks::WithBooks(const CString& strProgramFolder) {
  return CheckStartDrive() && CheckProgramLevel(strProgramFolder) && CheckJetVersion();
}
