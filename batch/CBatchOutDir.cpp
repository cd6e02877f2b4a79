#include "CBatchOutDir.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "CFolderSync.h"
#include "CReplaceFile.h"
#include "ConsoleMessages.h"
#include "FolderOps.h"
#include "OsPath.h"

namespace {

constexpr char kTempStem[] = "QT10ToRX16_G-";
constexpr char kSummary[] = "summary.csv";
constexpr char kInterrupted[] = "中断されました。";

// The process ID in the name of a batch's temporary file, or 0.
pid_t TempFileRun(const std::string& strName) {
  std::size_t nPos = strName.find_first_not_of('.');
  if (nPos == 0 || nPos > 2 || strName.compare(nPos, sizeof kTempStem - 1, kTempStem) != 0)
    return 0;
  nPos += sizeof kTempStem - 1;
  pid_t nPid = 0;
  std::size_t nDigits = 0;
  for (; nPos < strName.size() && strName[nPos] >= '0' && strName[nPos] <= '9'; ++nPos, ++nDigits)
    nPid = nPid * 10 + (strName[nPos] - '0');
  if (nDigits == 0 || nDigits > 9 || nPos >= strName.size()) return 0;
  return strName[nPos] == '-' || strName[nPos] == '.' ? nPid : 0;
}

// The system's text for an errno value, CP932.
CString SystemReason(int nErrno) {
  CString strReason;
  if (!platform::FromOsPath(std::strerror(nErrno), strReason))
    strReason = "error " + std::to_string(nErrno);
  return strReason;
}

bool HasEnded(pid_t nPid) { return ::kill(nPid, 0) != 0 && errno == ESRCH; }

}  // namespace

CBatchOutDir::CBatchOutDir(const CString& strOutDir, const std::string& strOsOutDir)
    : m_strOutDir(strOutDir), m_strOsOutDir(strOsOutDir), m_nPid(::getpid()) {}

std::string CBatchOutDir::OsPath(const CString& strPath) const {
  std::string strOs;
  platform::ToOsPath(strPath, strOs);
  return strOs;
}

bool CBatchOutDir::Prepare() const {
  std::error_code ec;
  std::filesystem::create_directories(m_strOsOutDir, ec);
  if (ec || !std::filesystem::is_directory(m_strOsOutDir, ec)) {
    ConsoleError("出力フォルダを作れません: " + m_strOutDir + " (" +
                 SystemReason(ec ? ec.value() : ENOTDIR) + ")");
    return false;
  }
  const std::string strProbe = m_strOsOutDir + "/." + kTempStem + std::to_string(m_nPid) + ".probe";
  const int nFd = ::open(strProbe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (nFd < 0) {
    ConsoleError("出力フォルダに書き込めません: " + m_strOutDir + " (" + SystemReason(errno) + ")");
    return false;
  }
  ::close(nFd);
  ::unlink(strProbe.c_str());
  return true;
}

template <class Pred>
void CBatchOutDir::RemoveTemporaryFiles(Pred bRemove) const {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(m_strOsOutDir, ec), end; !ec && it != end;
       it.increment(ec)) {
    const pid_t nPid = TempFileRun(it->path().filename().string());
    std::error_code ecFile;
    if (nPid > 0 && bRemove(nPid) && it->is_regular_file(ecFile))
      std::filesystem::remove(it->path(), ecFile);
  }
}

void CBatchOutDir::RemoveLeftoversOfEndedRuns() const {
  RemoveTemporaryFiles([this](pid_t nPid) { return nPid != m_nPid && HasEnded(nPid); });
}

void CBatchOutDir::RemoveOwnTemporaryFiles() const {
  RemoveTemporaryFiles([this](pid_t nPid) { return nPid == m_nPid; });
}

CString CBatchOutDir::TempPath(std::size_t nJob) const {
  return m_strOutDir + "/." + kTempStem + std::to_string(m_nPid) + "-" + std::to_string(nJob) +
         ".part";
}

void CBatchOutDir::RemoveTemp(std::size_t nJob) const {
  std::error_code ec;
  std::filesystem::remove(OsPath(TempPath(nJob)), ec);
}

void CBatchOutDir::PlaceFiles(std::vector<CBatchRow>& arRow, const std::vector<std::size_t>& arJob,
                              const std::vector<CString>& arName,
                              const volatile std::sig_atomic_t* pStop) const {
  // Opened before any rename, so a folder that cannot be synced places no file.
  CFolderSync folder;
  const bool bFolder = folder.Open(m_strOsOutDir);
  const CString strNotOnDisk = "ファイルをディスクに書き込めません: " + m_strOutDir;
  std::vector<std::size_t> arPlaced;
  for (std::size_t i = 0; i < arRow.size(); ++i) {
    CBatchRow& row = arRow[i];
    if (row.m_status != CBatchRow::Status::Written) continue;
    const std::string strTemp = OsPath(TempPath(arJob[i]));
    std::error_code ec;
    if (*pStop != 0) {
      row.m_status = CBatchRow::Status::Failed;
      row.m_strReason = kInterrupted;
    } else if (!bFolder || !platform::SyncOsPath(strTemp)) {
      // Each file reaches the disk before it takes its name.
      row.m_status = CBatchRow::Status::Failed;
      row.m_strReason = strNotOnDisk;
    }
    if (row.m_status != CBatchRow::Status::Written) {
      std::filesystem::remove(strTemp, ec);
      continue;
    }
    row.m_strFile = arName[i];
    std::string strTarget;
    struct stat st;
    if (!platform::ToOsPath(m_strOutDir + "/" + row.m_strFile, strTarget) ||
        (::stat(strTarget.c_str(), &st) == 0 && !S_ISREG(st.st_mode))) {
      // Only a regular file is replaced: a folder, device or pipe stays.
      ec = std::make_error_code(std::errc::invalid_argument);
    } else {
      std::filesystem::rename(strTemp, strTarget, ec);
    }
    if (ec) {
      std::filesystem::remove(strTemp, ec);
      row.m_status = CBatchRow::Status::Failed;
      row.m_strReason = "ファイルを置けません: " + m_strOutDir + "/" + row.m_strFile;
    } else {
      arPlaced.push_back(i);
    }
  }
  // Until the folder is synced the new names may not survive a power loss.
  if (!arPlaced.empty() && !folder.Sync()) {
    for (const std::size_t i : arPlaced) {
      arRow[i].m_status = CBatchRow::Status::Failed;
      arRow[i].m_strReason = strNotOnDisk;
    }
  }
}

std::string CBatchOutDir::ReadSummary() const {
  std::ifstream in(m_strOsOutDir + "/" + kSummary, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool CBatchOutDir::WriteSummary(const std::string& strBytes) const {
  const CString strPath = m_strOutDir + "/" + kSummary;
  int nError = 0;
  if (CReplaceFile::WriteBytes(strPath.c_str(), strBytes, &nError) == 0) return true;
  std::error_code ec;
  std::filesystem::remove(OsPath(strPath), ec);
  ConsoleError("集計結果一覧を書き込めません: " + strPath + " (" + SystemReason(nError) + ")" +
               (ec ? "。前回の一覧が残っていますが、今回の結果ではありません。"
                   : "。前回の一覧は削除しました。"));
  return false;
}
