#include "StaleTemps.h"

#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

namespace platform {
namespace {

const char kMarker[] = ".tmp-";

// The process number at nAt in strName, ended by "-" or "."; 0 when there is none.
pid_t PidAt(const std::string& strName, std::size_t nAt) {
  long long nPid = 0;
  std::size_t i = nAt;
  while (i < strName.size() && strName[i] >= '0' && strName[i] <= '9' && nPid < (1LL << 31))
    nPid = nPid * 10 + (strName[i++] - '0');
  if (i == nAt || i == strName.size() || (strName[i] != '-' && strName[i] != '.')) return 0;
  return nPid > 0 && nPid < (1LL << 31) ? static_cast<pid_t>(nPid) : 0;
}

bool ProcessGone(pid_t nPid) { return ::kill(nPid, 0) != 0 && errno == ESRCH; }

}  // namespace

std::string TempName(const std::string& strName, const std::string& strUnique) {
  return "." + strName + kMarker + std::to_string(::getpid()) + "-" + strUnique;
}

void RemoveStaleTemps(const std::string& strOsFolder, const std::string& strPrefix,
                      const std::string& strMarker) {
  std::error_code ec;
  const std::filesystem::path folder(strOsFolder.empty() ? "." : strOsFolder);
  std::vector<std::filesystem::path> arStale;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string strName = it->path().filename().string();
    if (!strName.starts_with(strPrefix)) continue;
    std::size_t nPid = strPrefix.size();
    if (!strMarker.empty()) {
      const std::size_t nMarker = strName.rfind(strMarker);
      if (nMarker == std::string::npos || nMarker < strPrefix.size()) continue;
      nPid = nMarker + strMarker.size();
    }
    const pid_t nProcess = PidAt(strName, nPid);
    if (nProcess == 0 || nProcess == ::getpid() || !ProcessGone(nProcess)) continue;
    arStale.push_back(it->path());
  }
  for (const auto& path : arStale) std::filesystem::remove_all(path, ec);
}

void RemoveStaleTempsOf(const std::string& strOsFile) {
  const std::size_t nSlash = strOsFile.rfind('/');
  const std::size_t nName = nSlash == std::string::npos ? 0 : nSlash + 1;
  RemoveStaleTemps(strOsFile.substr(0, nName), "." + strOsFile.substr(nName) + kMarker);
}

}  // namespace platform
