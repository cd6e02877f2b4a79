#include "HostPaths.h"

#include "OsPath.h"

bool HostPaths::ToLedgerPath(const std::string& strArg, CString& strOut, std::string& strError) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(strArg, ec).lexically_normal();
  std::string s = p.string();
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  if (ec || !platform::FromOsPath(s, strOut)) {
    strError = strArg + ": the path has a character with no Shift_JIS (CP932) form";
    return false;
  }
  return true;
}

std::filesystem::path HostPaths::Executable() {
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec);
}

std::filesystem::path HostPaths::DataFolder() {
  return (Executable().parent_path() / RX16_DATA_FROM_PROGRAM).lexically_normal();
}
