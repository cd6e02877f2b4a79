#include "CBatchRun.h"

#include <sched.h>
#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <thread>

#include "BatchOutputNames.h"
#include "CBatchOutDir.h"
#include "CBatchProgress.h"
#include "CBatchRow.h"
#include "CBatchWorkers.h"
#include "CReplaceFile.h"
#include "CReportBooks.h"
#include "CReportModel.h"
#include "CReportRun.h"
#include "ConsoleMessages.h"
#include "Cp932.h"
#include "DefaultOutputName.h"
#include "OsPath.h"
#include "ProgramResources.h"
#include "WinLocale.h"
#include "WinMessageBox.h"

namespace {

constexpr int kMaxJobs = 256;
// The items the summary shows, by number: 売上高, 営業損益, 税引前当期損益,
// 資産の部合計.
constexpr int kSummaryItems[CBatchRow::FIGURE_COUNT] = {1, 17, 19, 20};
constexpr char kInterrupted[] = "中断されました。";

volatile std::sig_atomic_t g_nStop = 0;

void OnStopSignal(int) { g_nStop = 1; }

// SIGINT and SIGTERM set g_nStop while the object lives. No SA_RESTART: a
// wait of the run returns at once.
class StopSignals {
 public:
  StopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &m_int);
    ::sigaction(SIGTERM, &action, &m_term);
  }
  ~StopSignals() {
    ::sigaction(SIGINT, &m_int, nullptr);
    ::sigaction(SIGTERM, &m_term, nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  struct sigaction m_int {};
  struct sigaction m_term {};
};

int CoreCount() {
  cpu_set_t set;
  if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
  const unsigned n = std::thread::hardware_concurrency();
  return n > 0 ? static_cast<int>(n) : 1;
}

CString YearText(const S_KANRI& kanri) {
  char szText[64];
  std::snprintf(szText, sizeof szText, "%04d/%02d/%02d-%04d/%02d/%02d", kanri.nStartYear,
                kanri.nStartMonth, kanri.nStartDay, kanri.nEndYear, kanri.nEndMonth, kanri.nEndDay);
  return szText;
}

// The last folder name of a data-set folder: the data ID of books the host
// added, and the best name a data set has while its books cannot be read.
CString FolderName(const CString& strDataPath) {
  CString strPath = strDataPath;
  while (!strPath.empty() && strPath.back() == '/') strPath.pop_back();
  return strPath.substr(strPath.rfind('/') + 1);
}

// The span, the summary's figures and the number of warnings of a run's report.
void SummarizeModel(const CReportModel& model, CBatchRow& row) {
  row.m_strSpan = std::to_string(model.m_nFromMonth) + "-" + std::to_string(model.m_nToMonth);
  for (std::size_t k = 0; k < CBatchRow::FIGURE_COUNT; ++k)
    if (const CReportModel::Item* pItem = model.FindItem(kSummaryItems[k]))
      row.m_arFigure[k] = static_cast<long long>(std::trunc(pItem->dThousands));
  int nWarnings = 0;
  for (const auto& finding : model.m_arFinding)
    if (finding.severity == CReportModel::Severity::Warning) ++nWarnings;
  row.m_nWarnings = nWarnings;
}

CString WithMessages(const CString& strError, const std::vector<CString>& arMessage) {
  CString strText = strError;
  for (const auto& strMessage : arMessage) {
    if (strText.find(strMessage) != CString::npos) continue;
    strText += strText.empty() ? "" : " / ";
    strText += ConsoleOneLine(strMessage);
  }
  return strText;
}

// The state a worker process keeps from one job to the next: its own data
// access, opened on its first job, and the messages of the current job.
struct WorkerState {
  std::unique_ptr<CReportBooks> pBooks;
  CString strOpenError;
  std::vector<CString> arMessage;
};

// One job per data set of the list, in list order.
class BatchJobs {
 public:
  BatchJobs(const CBatchOutDir& outDir, const std::set<CString>& setRequest)
      : m_outDir(outDir), m_setRequest(setRequest) {}

  std::vector<LEDGER_DATASET> m_arSubject;

  // Runs in a worker: reads data set nJob; when the run takes it,
  // aggregates it and writes its file under a temporary name.
  CBatchRow Aggregate(std::size_t nJob, WorkerState& state) const;
  // Whether the run takes job nJob, its row read as far as it could be.
  bool Takes(std::size_t nJob, const CBatchRow& row) const {
    return m_setRequest.empty() || m_setRequest.count(row.m_strDataId) ||
           m_setRequest.count(std::to_string(m_arSubject[nJob].nDataNo));
  }
  // The row of a job that gave no answer.
  CBatchRow Unanswered(std::size_t nJob) const;
  // The rows of the run out of the rows of the jobs (moved), with their
  // jobs, in list order; then a failed row for each of arRequest that no
  // data set has (job: the number of jobs). A number counts only where no
  // data set has it as its data ID.
  void Pick(std::vector<CBatchRow>& arJobRow, const std::vector<CString>& arRequest,
            std::vector<CBatchRow>& arRow, std::vector<std::size_t>& arJob) const;

 private:
  const CBatchOutDir& m_outDir;
  const std::set<CString>& m_setRequest;
};

CBatchRow BatchJobs::Unanswered(std::size_t nJob) const {
  CBatchRow row;
  row.m_strDataId = FolderName(m_arSubject[nJob].szDataPath);
  row.m_strName = m_arSubject[nJob].szName;
  row.m_status = CBatchRow::Status::Failed;
  row.m_strReason = g_nStop != 0 ? kInterrupted : "集計の処理が途中で終わりました。";
  return row;
}

CBatchRow BatchJobs::Aggregate(std::size_t nJob, WorkerState& state) const {
  const LEDGER_DATASET& subject = m_arSubject[nJob];
  CBatchRow row;
  row.m_strDataId = FolderName(subject.szDataPath);
  row.m_strName = subject.szName;
  auto fail = [&](const CString& strError) {
    row.m_status = Takes(nJob, row) ? CBatchRow::Status::Failed : CBatchRow::Status::NotRun;
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

  if (!books.SelectIndex(static_cast<short>(nJob))) return fail(books.GetError());
  if (books.GetDataPath() != subject.szDataPath)
    return fail(CString("データの一覧が変わりました: ") + subject.szDataPath);
  if (!books.ReadRecords()) return fail(books.GetError());
  if (books.Kanri2().szDataID[0] != '\0') row.m_strDataId = books.Kanri2().szDataID;
  if (books.Kanri().szJigyoName[0] != '\0') row.m_strName = books.Kanri().szJigyoName;
  row.m_strYear = YearText(books.Kanri());
  // Individual businesses are never filed, so their names meet no other.
  if (books.Kanri().nKeiei != KEIEI_KOJIN) row.m_strProposed = DefaultOutputName(books.Kanri());
  if (!Takes(nJob, row)) {
    row.m_status = CBatchRow::Status::NotRun;
    return row;
  }
  if (!books.ReadAccounts()) {
    fail(books.GetError());
    // The selection refuses these books; the batch passes them over.
    if (books.Kanri().nKeiei == KEIEI_KOJIN) row.m_status = CBatchRow::Status::Skipped;
    return row;
  }

  CReportRun run(books);
  if (!run.Run()) return fail(run.GetError());
  CReportModel model;
  run.BuildModel(model);
  SummarizeModel(model, row);

  if (!run.WriteXml(m_outDir.TempPath(nJob), CReportRun::FUNCTION_STANDALONE)) {
    m_outDir.RemoveTemp(nJob);
    return fail("ファイルに書き込めません: " + m_outDir.Path());
  }
  row.m_strFile = row.m_strProposed;
  row.m_status = CBatchRow::Status::Written;
  return row;
}

void BatchJobs::Pick(std::vector<CBatchRow>& arJobRow, const std::vector<CString>& arRequest,
                     std::vector<CBatchRow>& arRow, std::vector<std::size_t>& arJob) const {
  std::set<CString> setDataId, setMatched;
  for (const auto& row : arJobRow) setDataId.insert(row.m_strDataId);
  for (std::size_t i = 0; i < arJobRow.size(); ++i) {
    CBatchRow& row = arJobRow[i];
    if (row.m_status == CBatchRow::Status::NotRun) continue;
    const CString strNo = std::to_string(m_arSubject[i].nDataNo);
    const bool bById = m_setRequest.count(row.m_strDataId) > 0;
    const bool bByNo = m_setRequest.count(strNo) > 0 && !setDataId.count(strNo);
    if (!m_setRequest.empty() && !bById && !bByNo) {
      m_outDir.RemoveTemp(i);
      continue;
    }
    setMatched.insert(bById ? row.m_strDataId : strNo);
    arRow.push_back(std::move(row));
    arJob.push_back(i);
  }
  for (const auto& strRequest : arRequest) {
    if (setMatched.count(strRequest)) continue;
    CBatchRow row;
    row.m_strDataId = strRequest;
    row.m_status = CBatchRow::Status::Failed;
    row.m_strReason = "データID（またはデータ番号） " + strRequest + " のデータがありません。";
    arRow.push_back(std::move(row));
    arJob.push_back(arJobRow.size());
  }
}

// The names that two data sets of the installation propose.
std::set<CString> SharedNames(const std::vector<CBatchRow>& arJobRow) {
  std::map<CString, int> mapProposed;
  for (const auto& row : arJobRow)
    if (!row.m_strProposed.empty()) ++mapProposed[row.m_strProposed];
  std::set<CString> setShared;
  for (const auto& [strName, nCount] : mapProposed)
    if (nCount > 1) setShared.insert(strName);
  return setShared;
}

// The value of an option, or a message naming the option.
const std::string* OptionValue(const std::vector<std::string>& arArg, std::size_t& i,
                               const char* pszMissing) {
  if (i + 1 < arArg.size()) return &arArg[++i];
  ConsoleError(pszMissing);
  return nullptr;
}

CString ArgumentText(const std::string& strUtf8) {
  CString strCp932;
  return cp932::FromUtf8(strUtf8, strCp932) ? strCp932 : CString("?");
}

// <chrono> cannot be compiled to CP932 (its "µs"), hence the C clock.
double Now() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// The output folder and the data sets a run was asked for.
struct Subjects {
  CString strOutDir;
  std::string strOsOutDir;
  std::vector<CString> arRequest;  // in the order given, each once
  std::set<CString> setRequest;
};

// Reads the output folder and the data sets asked for; false after a message.
bool ReadSubjects(const std::string& strOutDirArg, const std::vector<std::string>& arDataSet,
                  Subjects& subjects) {
  // The program folder becomes the current folder at start-up: a relative
  // OUTDIR is the caller's.
  std::error_code ec;
  subjects.strOsOutDir = std::filesystem::absolute(strOutDirArg, ec).lexically_normal().string();
  if (ec || !platform::FromOsPath(subjects.strOsOutDir, subjects.strOutDir)) {
    ConsoleError("出力フォルダの名前に使えない文字があります。");
    return false;
  }
  CString& strOutDir = subjects.strOutDir;
  while (strOutDir.size() > 1 && strOutDir.back() == '/') strOutDir.pop_back();
  for (const auto& strArg : arDataSet) {
    CString strCp932;
    if (!cp932::FromUtf8(strArg, strCp932)) {
      ConsoleError("データIDに使えない文字があります。");
      return false;
    }
    if (subjects.setRequest.insert(strCp932).second) subjects.arRequest.push_back(strCp932);
  }
  return true;
}

// Every job of the list in nJobs worker processes (0: one per core), with
// the progress lines; false when no worker could start.
bool RunJobs(const BatchJobs& batch, int nJobs, std::size_t nRequested,
             std::vector<CBatchRow>& arJobRow) {
  // Set up once here, the full-width mapping is inherited by every worker.
  char szWarm[8];
  LCMapStringA(GetSystemDefaultLCID(), LCMAP_FULLWIDTH, "A", -1, szWarm, sizeof szWarm);

  const std::size_t nCount = batch.m_arSubject.size();
  const double dStart = Now();
  CBatchProgress progress(stderr, ::isatty(STDERR_FILENO) == 1,
                          nRequested == 0 ? nCount : nRequested);
  arJobRow.assign(nCount, CBatchRow());
  WorkerState state;
  const auto job = [&](std::size_t nJob) {
    SetMessageBoxHandler([&state](HWND, const CString& strText, const CString&, UINT nType) {
      state.arMessage.push_back(strText);
      return (nType & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
    });
    return batch.Aggregate(nJob, state).Serialize();
  };
  const auto arrived = [&](std::size_t nJob, const std::string& strResult) {
    if (!CBatchRow::Parse(strResult, arJobRow[nJob])) arJobRow[nJob] = batch.Unanswered(nJob);
    if (arJobRow[nJob].m_status != CBatchRow::Status::NotRun)
      progress.Done(arJobRow[nJob], Now() - dStart);
  };
  std::vector<bool> arAnswered;
  // The workers' files are flushed together before they are put in place.
  CReplaceFile::DeferSync(true);
  const bool bRan = CBatchWorkers::Run(nCount, nJobs > 0 ? nJobs : CoreCount(), job, arrived,
                                       arAnswered, &g_nStop);
  CReplaceFile::DeferSync(false);
  if (!bRan) return false;
  for (std::size_t i = 0; i < nCount; ++i) {
    if (arAnswered[i]) continue;
    arJobRow[i] = batch.Unanswered(i);
    if (!batch.Takes(i, arJobRow[i])) arJobRow[i].m_status = CBatchRow::Status::NotRun;
  }
  progress.Finish();
  return true;
}

// Puts the written files in place under the names they get in the folder.
void PlaceFiles(const CBatchOutDir& outDir, std::vector<CBatchRow>& arRow,
                const std::vector<std::size_t>& arJob, const std::set<CString>& setShared,
                const std::string& strOldSummary) {
  std::map<CString, CString> mapOwner;
  for (const auto& [strFile, strDataId] : CBatchSummary::WrittenFiles(strOldSummary))
    mapOwner.emplace(strFile, strDataId);
  std::vector<BatchOutputName> arName;
  for (const auto& row : arRow)
    arName.push_back(
        {row.m_status == CBatchRow::Status::Written ? row.m_strFile : CString(), row.m_strDataId});
  outDir.PlaceFiles(arRow, arJob, AssignOutputNames(arName, setShared, mapOwner), &g_nStop);
}

// The closing lines on standard error; the number of rows that failed.
std::size_t ReportCounts(const std::vector<CBatchRow>& arRow, bool bInterrupted) {
  std::size_t nWritten = 0, nSkipped = 0, nFailed = 0;
  for (const auto& row : arRow) {
    if (row.m_status == CBatchRow::Status::Written) ++nWritten;
    if (row.m_status == CBatchRow::Status::Skipped) ++nSkipped;
    if (row.m_status == CBatchRow::Status::Failed) ++nFailed;
  }
  if (bInterrupted)
    ConsoleError("中断しました。書き込んだファイルは " + std::to_string(nWritten) +
                 " 件、書き込まなかったデータは " + std::to_string(nFailed) + " 件です。");
  std::fprintf(stderr, "written %zu, skipped %zu, failed %zu\n", nWritten, nSkipped, nFailed);
  return nFailed;
}

}  // namespace

bool CBatchRun::Parse(const std::vector<std::string>& arArg) {
  for (std::size_t i = 0; i < arArg.size(); ++i) {
    const std::string& strArg = arArg[i];
    if (strArg == "--jobs") {
      const std::string* pValue =
          OptionValue(arArg, i, "--jobs の後に作業プロセスの数を指定してください。");
      if (pValue == nullptr) return false;
      char* pEnd = nullptr;
      const long n = std::strtol(pValue->c_str(), &pEnd, 10);
      if (pValue->empty() || *pEnd != '\0' || n < 1 || n > kMaxJobs) {
        ConsoleError("--jobs の値が正しくありません: " + ArgumentText(*pValue) + " (1 から " +
                     std::to_string(kMaxJobs) + " までの整数)");
        return false;
      }
      m_nJobs = static_cast<int>(n);
    } else if (strArg == "--summary-encoding") {
      const std::string* pValue =
          OptionValue(arArg, i, "--summary-encoding の後に utf-8 か cp932 を指定してください。");
      if (pValue == nullptr) return false;
      if (*pValue == "utf-8") {
        m_summaryEncoding = CBatchSummary::Encoding::Utf8;
      } else if (*pValue == "cp932") {
        m_summaryEncoding = CBatchSummary::Encoding::Cp932;
      } else {
        ConsoleError("--summary-encoding の値が正しくありません: " + ArgumentText(*pValue) +
                     " (utf-8 か cp932)");
        return false;
      }
    } else if (strArg.starts_with("--")) {
      ConsoleError("--batch には使えないオプションです: " + ArgumentText(strArg));
      return false;
    } else if (m_strOutDir.empty()) {
      if (strArg.empty()) {
        ConsoleError("出力フォルダ (OUTDIR) の名前が空です。");
        return false;
      }
      m_strOutDir = strArg;
    } else {
      m_arDataSet.push_back(strArg);
    }
  }
  if (m_strOutDir.empty()) ConsoleError("出力フォルダ (OUTDIR) を指定してください。");
  return !m_strOutDir.empty();
}

int CBatchRun::Run() {
  // Start-up messages (and those of the libraries) go to standard error.
  MessagesToConsole();
  Subjects subjects;
  if (!ReadSubjects(m_strOutDir, m_arDataSet, subjects)) return EXIT_NOT_RUN;
  // The file's system block carries texts of the string table.
  RegisterProgramResources();
  // The checks and guards of a run by hand; the guards are held to the end,
  // so no run by hand changes settings while the batch reads them, and the
  // host stays closed.
  CReportBooks books(StartUpUse::Batch);
  const CBatchOutDir outDir(subjects.strOutDir, subjects.strOsOutDir);
  BatchJobs batch(outDir, subjects.setRequest);
  if (!books.Open() || !books.ListDataSets(batch.m_arSubject)) {
    ConsoleError(books.GetError());
    return EXIT_NOT_RUN;
  }
  // The workers open their own data access; this one is closed before they start.
  books.Close();
  if (!outDir.Prepare()) return EXIT_NOT_RUN;
  outDir.RemoveLeftoversOfEndedRuns();

  std::vector<CBatchRow> arJobRow;
  // An interruption from here on stops the run where it is and cleans up.
  const StopSignals stopSignals;
  if (!RunJobs(batch, m_nJobs, subjects.arRequest.size(), arJobRow)) {
    ConsoleError("集計の処理を始められません。");
    return EXIT_NOT_RUN;
  }
  const std::set<CString> setShared = SharedNames(arJobRow);
  std::vector<CBatchRow> arRow;
  std::vector<std::size_t> arJob;
  batch.Pick(arJobRow, subjects.arRequest, arRow, arJob);

  // The files an earlier batch wrote for a data ID.
  const std::string strOldSummary = outDir.ReadSummary();
  PlaceFiles(outDir, arRow, arJob, setShared, strOldSummary);
  const bool bInterrupted = g_nStop != 0;
  if (bInterrupted) outDir.RemoveOwnTemporaryFiles();

  CBatchSummary summary(arRow, true);
  const std::string strTable = summary.Table();
  std::fwrite(strTable.data(), 1, strTable.size(), stdout);
  std::fflush(stdout);
  // A run over some data sets keeps the lines of the others in the file.
  if (!subjects.arRequest.empty() && !strOldSummary.empty()) summary.MergeInto(strOldSummary);
  const bool bSummary = outDir.WriteSummary(summary.Csv(m_summaryEncoding));
  const std::size_t nFailed = ReportCounts(arRow, bInterrupted);
  return nFailed == 0 && bSummary && !bInterrupted ? EXIT_WRITTEN : EXIT_INCOMPLETE;
}
