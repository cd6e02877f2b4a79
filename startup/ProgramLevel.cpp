#include "ProgramLevel.h"

#include <cstdlib>
#include <cstring>

#include "FolderOps.h"
#include "WinProfile.h"

namespace {

const char* const kIniName = "MirabellDef.ini";
const char* const kSection = "ProgramLevel";
constexpr int kValueSize = 16;

}  // namespace

int ReadProgramLevel(char* pszBuffer, LPCSTR pszFolder, LPCSTR pszKey, int nRequired) {
  if (pszFolder == nullptr || *pszFolder == '\0') return -1;
  std::memset(pszBuffer, 0, PROGRAM_LEVEL_PATH_SIZE);
  // A folder that leaves no room for the file name cannot hold the file.
  const std::size_t nFolder = std::strlen(pszFolder);
  if (nFolder + 1 + std::strlen(kIniName) >= static_cast<std::size_t>(PROGRAM_LEVEL_PATH_SIZE)) {
    return -1;
  }
  std::memcpy(pszBuffer, pszFolder, nFolder);
  if (!AppendPathSeparator(pszBuffer, PROGRAM_LEVEL_PATH_SIZE)) return -1;
  std::strcat(pszBuffer, kIniName);
  // A folder of that name is no file to read a level from.
  if (!platform::FileExists(pszBuffer)) return -1;

  char szValue[kValueSize] = {};
  GetPrivateProfileStringA(kSection, pszKey, "1", szValue, kValueSize, pszBuffer);
  if (szValue[0] == '\0') return -1;
  const int nLevel = std::atoi(szValue);
  if (nLevel == nRequired) return 0;
  return nLevel < nRequired ? 1 : 2;
}

int AppendPathSeparator(char* pszPath, int nCapacity) {
  // A "/" byte is never the second byte of a CP932 character, so a path
  // ending in a double-byte character always gets its separator.
  return platform::AddPathSeparator(pszPath, nCapacity);
}
