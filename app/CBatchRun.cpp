#include "CBatchRun.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <thread>

#include "BatchOutputNames.h"
#include "CBatchProgress.h"
#include "CBatchRow.h"
#include "CBatchSummary.h"
#include "CBatchWorkers.h"
#include "CFinGaiApp.h"
#include "CFolderSync.h"
#include "CGetDriveType.h"
#include "CJetAccess.h"
#include "CReplaceFile.h"
#include "CReportBooks.h"
#include "CReportModel.h"
#include "CReportRun.h"
#include "Cp932.h"
#include "DefaultOutputName.h"
#include "FinGaiGlobals.h"
#include "FinGaiAppMessages.h"
#include "FolderOps.h"
#include "LocalClock.h"
#include "NamedGuard.h"
#include "OsPath.h"
#include "ProgramLevel.h"
#include "ProgramResources.h"
#include "StaleTemps.h"
#include "WinLocale.h"
#include "WinMemory.h"
#include "WinMessageBox.h"

namespace {

constexpr const char* kProgram = "QT10ToRX16_G";
const char* const kLevelKey = "RX16_G";
constexpr int kRequiredLevel = 1;
constexpr int kMaxJobs = 256;
constexpr int kLatestYear = 2035;
constexpr std::uint64_t kMinPagingBytes = 0x500000;
// The items the summary shows, by number: 売上高, 営業損益, 税引前当期損益,
// 資産の部合計.
constexpr int kSummaryItems[CBatchRow::FIGURE_COUNT] = {1, 17, 19, 20};

CString OneLine(CString strText) {
  for (char& c : strText)
    if (c == '\n' || c == '\r') c = ' ';
  return strText;
}

void Error(const CString& strCp932) {
  std::string strUtf8;
  if (!cp932::ToUtf8(OneLine(strCp932), strUtf8)) strUtf8 = "?";
  std::fprintf(stderr, "%s: %s\n", kProgram, strUtf8.c_str());
}

CString SystemReason(int nErrno) {
  CString strReason;
  if (!platform::FromOsPath(std::strerror(nErrno), strReason))
    strReason = "error " + std::to_string(nErrno);
  return strReason;
}

int CoreCount() {
  cpu_set_t set;
  if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
  const unsigned n = std::thread::hardware_concurrency();
  return n > 0 ? static_cast<int>(n) : 1;
}

// What one job works on: a data set of the list, or one named by data ID.
struct Subject {
  std::optional<short> nIndex;
  CString strDataId;
  CString strName;
};

CString YearText(const S_KANRI& kanri) {
  char szText[64];
  std::snprintf(szText, sizeof szText, "%04d/%02d/%02d-%04d/%02d/%02d", kanri.nStartYear,
                kanri.nStartMonth, kanri.nStartDay, kanri.nEndYear, kanri.nEndMonth, kanri.nEndDay);
  return szText;
}

// The state a worker process keeps from one job to the next: its own data
// access, opened on its first job, and the messages of the current job.
struct WorkerState {
  std::unique_ptr<CReportBooks> pBooks;
  CString strOpenError;
  std::vector<CString> arMessage;
};

CString WithMessages(const CString& strError, const std::vector<CString>& arMessage) {
  CString strText = strError;
  for (const auto& strMessage : arMessage) {
    if (strText.find(strMessage) != CString::npos) continue;
    strText += strText.empty() ? "" : " / ";
    strText += OneLine(strMessage);
  }
  return strText;
}

class BatchJobs {
 public:
  BatchJobs(const CString& strOutDir, const std::string& strOsOutDir)
      : m_strOutDir(strOutDir), m_strOsOutDir(strOsOutDir), m_nPid(::getpid()) {}

  std::vector<Subject> m_arSubject;

  // Runs in a worker: aggregates one data set and writes its file under a
  // temporary name.
  CBatchRow Aggregate(std::size_t nIndex, WorkerState& state) const;
  // The temporary file of job nIndex, CP932.
  CString TempPath(std::size_t nIndex) const {
    return m_strOutDir + "/." + kProgram + "-" + std::to_string(m_nPid) + "-" +
           std::to_string(nIndex) + ".part";
  }
  std::string OsPath(const CString& strPath) const {
    std::string strOs;
    platform::ToOsPath(strPath, strOs);
    return strOs;
  }
  // Puts the written files under their names; a file that cannot be moved
  // fails its row. Temporary files of jobs that did not finish go.
  void PlaceFiles(std::vector<CBatchRow>& arRow) const;

 private:
  CString m_strOutDir;
  std::string m_strOsOutDir;
  pid_t m_nPid;
};

CBatchRow BatchJobs::Aggregate(std::size_t nIndex, WorkerState& state) const {
  const Subject& subject = m_arSubject[nIndex];
  CBatchRow row;
  row.m_strDataId = subject.strDataId;
  row.m_strName = subject.strName;
  auto fail = [&](const CString& strError) {
    row.m_status = CBatchRow::Status::Failed;
    row.m_strReason = WithMessages(strError, state.arMessage);
    return row;
  };
  state.arMessage.clear();
  if (!state.pBooks) {
    state.pBooks = std::make_unique<CReportBooks>();
    if (!state.pBooks->Open()) state.strOpenError = state.pBooks->GetError();
  }
  if (!state.strOpenError.empty()) return fail(state.strOpenError);
  CReportBooks& books = *state.pBooks;

  const bool bSelected =
      subject.nIndex ? books.SelectIndex(*subject.nIndex) : books.SelectDataID(subject.strDataId);
  if (!bSelected) return fail(books.GetError());
  const bool bRead = books.ReadBooks();
  if (books.Kanri2().szDataID[0] != '\0') row.m_strDataId = books.Kanri2().szDataID;
  if (books.Kanri().szJigyoName[0] != '\0') {
    row.m_strName = books.Kanri().szJigyoName;
    row.m_strYear = YearText(books.Kanri());
  }
  if (!bRead) {
    fail(books.GetError());
    // The selection refuses these books; the batch passes them over.
    if (books.Kanri().nKeiei == KEIEI_KOJIN) row.m_status = CBatchRow::Status::Skipped;
    return row;
  }

  CReportRun run(books);
  if (!run.Run()) return fail(run.GetError());
  CReportModel model;
  run.BuildModel(model);
  row.m_strSpan = std::to_string(model.m_nFromMonth) + "-" + std::to_string(model.m_nToMonth);
  for (std::size_t k = 0; k < CBatchRow::FIGURE_COUNT; ++k)
    if (const CReportModel::Item* pItem = model.FindItem(kSummaryItems[k]))
      row.m_arFigure[k] = static_cast<long long>(std::trunc(pItem->dThousands));
  int nWarnings = 0;
  for (const auto& finding : model.m_arFinding)
    if (finding.severity == CReportModel::Severity::Warning) ++nWarnings;
  row.m_nWarnings = nWarnings;

  const CString strTemp = TempPath(nIndex);
  if (!run.WriteXml(strTemp, CReportRun::FUNCTION_STANDALONE)) {
    std::error_code ec;
    std::filesystem::remove(OsPath(strTemp), ec);
    return fail("ファイルに書き込めません: " + m_strOutDir);
  }
  row.m_strFile = DefaultOutputName(books.Kanri());
  row.m_status = CBatchRow::Status::Written;
  return row;
}

void BatchJobs::PlaceFiles(std::vector<CBatchRow>& arRow) const {
  // Opened before any rename, so a folder that cannot be synced places no file.
  CFolderSync folder;
  const bool bFolder = folder.Open(m_strOsOutDir);
  std::vector<BatchOutputName> arName;
  for (const auto& row : arRow)
    arName.push_back(
        {row.m_status == CBatchRow::Status::Written ? row.m_strFile : CString(), row.m_strDataId});
  const std::vector<CString> arAssigned = AssignOutputNames(arName);
  const CString strNotOnDisk = "ファイルをディスクに書き込めません: " + m_strOutDir;
  std::vector<std::size_t> arPlaced;
  for (std::size_t i = 0; i < arRow.size(); ++i) {
    CBatchRow& row = arRow[i];
    const std::string strTemp = OsPath(TempPath(i));
    std::error_code ec;
    // Each file reaches the disk before it takes its name.
    if (row.m_status == CBatchRow::Status::Written &&
        (!bFolder || !platform::SyncOsPath(strTemp))) {
      row.m_status = CBatchRow::Status::Failed;
      row.m_strReason = strNotOnDisk;
    }
    if (row.m_status != CBatchRow::Status::Written) {
      std::filesystem::remove(strTemp, ec);
      continue;
    }
    row.m_strFile = arAssigned[i];
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

CBatchRow Unanswered(const Subject& subject) {
  CBatchRow row;
  row.m_strDataId = subject.strDataId;
  row.m_strName = subject.strName;
  row.m_status = CBatchRow::Status::Failed;
  row.m_strReason = "集計の処理が途中で終わりました。";
  return row;
}

// Start-up messages (and those of the libraries) go to standard error.
void MessagesToStderr() {
  SetMessageBoxHandler([](HWND, const CString& strText, const CString&, UINT nType) {
    Error(strText);
    return (nType & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
  });
}

bool CheckProgramLevel(const CString& strFolder) {
  char szBuffer[PROGRAM_LEVEL_PATH_SIZE];
  switch (ReadProgramLevel(szBuffer, strFolder.c_str(), kLevelKey, kRequiredLevel)) {
    case 0:
      return true;
    case 1:
      Error(APP_MSG_LEVEL_HOST_OLD);
      return false;
    case 2:
      Error(APP_MSG_LEVEL_COMPONENT_OLD);
      return false;
    default:
      Error(APP_MSG_LEVEL_NO_INI);
      return false;
  }
}

bool CheckSystemDate() {
  std::tm now{};
  if (platform::GetCurrentLocalTime(now) && now.tm_year + 1900 <= kLatestYear) return true;
  Error(APP_MSG_SYSTEM_DATE);
  return false;
}

bool CheckMemory() {
  MEMORYSTATUS status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatus(&status);
  if (status.dwAvailPageFile >= kMinPagingBytes) return true;
  Error(APP_MSG_LOW_PAGING);
  return false;
}

// The data access the books were opened with is the release this component reads.
bool CheckJetVersion() {
  S_JETVERSION version{};
  if (g_pJetAccess->GetVersion(&version) != 0) {
    Error(APP_MSG_VERSION_READ);
    return false;
  }
  if (CFinGaiApp::IsRequiredJetVersion(version)) return true;
  Error(APP_MSG_VERSION_WRONG);
  return false;
}

// The program folder, the current folder by now, is on a drive a run may start from.
bool CheckStartDrive() {
  switch (CGetDriveType().GetCurrentDriveType()) {
    case CGetDriveType::DRIVE_KIND_REMOVABLE:
      Error(APP_MSG_REMOVABLE);
      return false;
    case CGetDriveType::DRIVE_KIND_NETWORK:
      Error(APP_MSG_NETWORK);
      return false;
    case CGetDriveType::DRIVE_KIND_INVALID:
      Error(APP_MSG_BAD_DRIVE);
      return false;
    default:
      return true;
  }
}

// OUTDIR made when missing, and a file can be made in it.
bool PrepareOutDir(const CString& strOutDir, const std::string& strOsOutDir) {
  std::error_code ec;
  std::filesystem::create_directories(strOsOutDir, ec);
  if (ec || !std::filesystem::is_directory(strOsOutDir, ec)) {
    Error("出力フォルダを作れません: " + strOutDir + " (" +
          SystemReason(ec ? ec.value() : ENOTDIR) + ")");
    return false;
  }
  const std::string strProbe =
      strOsOutDir + "/." + kProgram + "-" + std::to_string(::getpid()) + ".probe";
  const int nFd = ::open(strProbe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (nFd < 0) {
    Error("出力フォルダに書き込めません: " + strOutDir + " (" + SystemReason(errno) + ")");
    return false;
  }
  ::close(nFd);
  ::unlink(strProbe.c_str());
  // Temporary files of a batch that died ("." + program + "-PID-..." and the
  // writer's own beside them).
  for (const char* pszDots : {".", ".."})
    platform::RemoveStaleTemps(strOsOutDir, pszDots + std::string(kProgram) + "-");
  return true;
}

}  // namespace

bool CBatchRun::Parse(const std::vector<std::string>& arArg) {
  for (std::size_t i = 0; i < arArg.size(); ++i) {
    const std::string& strArg = arArg[i];
    if (strArg == "--jobs") {
      if (i + 1 >= arArg.size()) return false;
      char* pEnd = nullptr;
      const long n = std::strtol(arArg[++i].c_str(), &pEnd, 10);
      if (arArg[i].empty() || *pEnd != '\0' || n < 1 || n > kMaxJobs) return false;
      m_nJobs = static_cast<int>(n);
    } else if (strArg.starts_with("--")) {
      return false;
    } else if (m_strOutDir.empty()) {
      if (strArg.empty()) return false;
      m_strOutDir = strArg;
    } else {
      m_arDataId.push_back(strArg);
    }
  }
  return !m_strOutDir.empty();
}

int CBatchRun::Run() {
  MessagesToStderr();
  // The file's system block carries texts of the string table.
  RegisterProgramResources();
  // The program folder becomes the current folder below: a relative OUTDIR
  // is the caller's.
  std::error_code ec;
  const std::string strOsOutDir =
      std::filesystem::absolute(m_strOutDir, ec).lexically_normal().string();
  CString strOutDir;
  if (ec || !platform::FromOsPath(strOsOutDir, strOutDir)) {
    Error("出力フォルダの名前に使えない文字があります。");
    return EXIT_NOT_RUN;
  }
  while (strOutDir.size() > 1 && strOutDir.back() == '/') strOutDir.pop_back();
  std::vector<CString> arDataId;
  std::set<CString> setSeen;
  for (const auto& strId : m_arDataId) {
    CString strCp932;
    if (!cp932::FromUtf8(strId, strCp932)) {
      Error("データIDに使えない文字があります。");
      return EXIT_NOT_RUN;
    }
    if (setSeen.insert(strCp932).second) arDataId.push_back(strCp932);
  }

  if (!CheckSystemDate()) return EXIT_NOT_RUN;
  // The guards of a run by hand, held to the end: no run by hand changes
  // settings while the batch reads them, and the host stays closed.
  NamedGuard checkGuard, hostGuard;
  if (NamedGuard::IsHeld(CFinGaiApp::CHECK_MAP_NAME)) {
    Error(APP_MSG_DOUBLE_START);
    return EXIT_NOT_RUN;
  }
  if (!checkGuard.Create(CFinGaiApp::CHECK_MAP_NAME)) {
    Error(APP_MSG_SHARED_MEMORY);
    return EXIT_NOT_RUN;
  }
  if (NamedGuard::IsHeld(CFinGaiApp::HOST_MAP_NAME)) {
    Error(APP_MSG_HOST_RUNNING);
    return EXIT_NOT_RUN;
  }
  if (!hostGuard.Create(CFinGaiApp::HOST_MAP_NAME)) {
    Error(APP_MSG_SHARED_MEMORY);
    return EXIT_NOT_RUN;
  }

  if (!CheckMemory()) return EXIT_NOT_RUN;

  BatchJobs batch(strOutDir, strOsOutDir);
  {
    CReportBooks books;
    if (!books.Open()) {
      Error(books.GetError());
      return EXIT_NOT_RUN;
    }
    if (!CheckStartDrive() || !CheckProgramLevel(books.GetProgramFolder()) || !CheckJetVersion())
      return EXIT_NOT_RUN;
    if (arDataId.empty()) {
      std::vector<LEDGER_DATASET> arRow;
      if (!books.ListDataSets(arRow)) {
        Error(books.GetError());
        return EXIT_NOT_RUN;
      }
      for (std::size_t i = 0; i < arRow.size(); ++i)
        batch.m_arSubject.push_back({static_cast<short>(i), "", arRow[i].szName});
    } else {
      for (const auto& strId : arDataId) batch.m_arSubject.push_back({std::nullopt, strId, ""});
    }
    // The workers open their own data access; this one is closed before they start.
  }
  if (!PrepareOutDir(strOutDir, strOsOutDir)) return EXIT_NOT_RUN;

  // Set up once here, the full-width mapping is inherited by every worker.
  char szWarm[8];
  LCMapStringA(GetSystemDefaultLCID(), LCMAP_FULLWIDTH, "A", -1, szWarm, sizeof szWarm);

  const std::size_t nCount = batch.m_arSubject.size();
  // <chrono> cannot be compiled to CP932 (its "µs"), hence the C clock.
  const auto now = [] {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
  };
  const double dStart = now();
  const auto elapsed = [&] { return now() - dStart; };
  CBatchProgress progress(stderr, ::isatty(STDERR_FILENO) == 1, nCount);
  std::vector<CBatchRow> arRow(nCount);
  WorkerState state;
  const auto job = [&](std::size_t nIndex) {
    SetMessageBoxHandler([&state](HWND, const CString& strText, const CString&, UINT nType) {
      state.arMessage.push_back(strText);
      return (nType & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
    });
    return batch.Aggregate(nIndex, state).Serialize();
  };
  const auto arrived = [&](std::size_t nIndex, const std::string& strResult) {
    if (!CBatchRow::Parse(strResult, arRow[nIndex]))
      arRow[nIndex] = Unanswered(batch.m_arSubject[nIndex]);
    progress.Done(arRow[nIndex], elapsed());
  };
  std::vector<std::optional<std::string>> arResult;
  // The workers' files are flushed together before they are put in place.
  CReplaceFile::DeferSync(true);
  const bool bRan =
      CBatchWorkers::Run(nCount, m_nJobs > 0 ? m_nJobs : CoreCount(), job, arrived, arResult);
  CReplaceFile::DeferSync(false);
  if (!bRan) {
    Error("集計の処理を始められません。");
    return EXIT_NOT_RUN;
  }
  for (std::size_t i = 0; i < nCount; ++i) {
    if (arResult[i]) continue;
    arRow[i] = Unanswered(batch.m_arSubject[i]);
    progress.Done(arRow[i], elapsed());
  }
  progress.Finish();
  batch.PlaceFiles(arRow);

  const CBatchSummary summary(arRow, true);
  const std::string strTable = summary.Table();
  std::fwrite(strTable.data(), 1, strTable.size(), stdout);
  std::fflush(stdout);
  bool bAllWritten = true;
  for (const auto& row : arRow)
    bAllWritten = bAllWritten && row.m_status == CBatchRow::Status::Written;
  if (CReplaceFile::WriteBytes((strOutDir + "/summary.csv").c_str(), summary.Csv()) != 0) {
    Error("集計結果一覧を書き込めません: " + strOutDir + "/summary.csv");
    return EXIT_INCOMPLETE;
  }
  return bAllWritten ? EXIT_WRITTEN : EXIT_INCOMPLETE;
}
