#include "CCommandLineModes.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CBatchRun.h"
#include "CReportBooks.h"
#include "CReportFile.h"
#include "CReportJson.h"
#include "CReportModel.h"
#include "CReportRun.h"
#include "CReportText.h"
#include "CSetGaiFile.h"
#include "Cp932.h"
#include "ReportFormat.h"
#include "WinFile.h"
#include "WinMessageBox.h"
#ifdef RX16_HAVE_REPORT_QT
#include "ReportQtEntry.h"
#endif

namespace {

constexpr const char* kProgram = "QT10ToRX16_G";

const char* const kUsage =
    "usage:\n"
    "  QT10ToRX16_G --report DATA_ID [--pdf OUT.pdf] [--json]\n"
    "      the report of a data set, aggregated with its saved settings: a window\n"
    "      when a display is available, else text; --json: JSON on standard output;\n"
    "      --pdf: the report as a PDF file\n"
    "  QT10ToRX16_G --report-file REPORT.xml [--pdf OUT.pdf] [--json]\n"
    "      an intermediate file shown as the form\n"
    "  QT10ToRX16_G --batch OUTDIR [--jobs N] [DATA_ID ...]\n"
    "      every data set, or those named, written with its saved settings into\n"
    "      OUTDIR under the name the settings page proposes, with OUTDIR/summary.csv;\n"
    "      N worker processes (default: one per core)\n"
    "  QT10ToRX16_G --help\n"
    "exit codes: 0 done; 1 report: warnings found, batch: a data set skipped or\n"
    "failed; 2 could not run\n";

// One message on standard error; a CP932 text is converted.
void Error(const CString& strCp932) {
  std::fprintf(stderr, "%s: %s\n", kProgram, report::ToUtf8(strCp932).c_str());
}

int Usage() {
  std::fputs(kUsage, stderr);
  return CCommandLineModes::EXIT_FAILED;
}

struct Options {
  std::string strMode;
  std::string strSubject;  // data ID or report file, UTF-8
  std::optional<std::string> strPdf;
  bool bJson = false;
};

bool Parse(int argc, char** argv, Options& options) {
  if (argc < 2) return false;
  options.strMode = argv[1];
  if (options.strMode == "--help") return argc == 2;
  if (options.strMode != "--report" && options.strMode != "--report-file") return false;
  if (argc < 3 || std::string_view(argv[2]).starts_with("--")) return false;
  options.strSubject = argv[2];
  for (int i = 3; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--json" && !options.bJson) {
      options.bJson = true;
    } else if (arg == "--pdf" && i + 1 < argc && !options.strPdf) {
      // Relative to the caller's folder: the books are opened from the program folder.
      std::error_code ec;
      const std::filesystem::path pdf = std::filesystem::absolute(argv[++i], ec);
      options.strPdf = ec ? std::string(argv[i]) : pdf.string();
    } else {
      return false;
    }
  }
  return !(options.bJson && options.strPdf);
}

// The messages of the code below (settings, engine) go to standard error.
void MessagesToStderr() {
  SetMessageBoxHandler([](HWND, const CString& strText, const CString&, UINT nType) {
    CString strLine = strText;
    for (char& c : strLine) {
      if (c == '\n') c = ' ';
    }
    Error(strLine);
    return (nType & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
  });
}

bool WriteStdout(const std::string& strOut) {
  if (std::fwrite(strOut.data(), 1, strOut.size(), stdout) == strOut.size() &&
      std::fflush(stdout) == 0) {
    return true;
  }
  Error("標準出力に書き込めません。");
  return false;
}

#ifdef RX16_HAVE_REPORT_QT
// A window can be shown: a display is there and no headless run was asked for.
bool WindowAvailable() {
  const char* pszUi = std::getenv("RX16_UI");
  if (pszUi != nullptr && std::string_view(pszUi) == "headless") return false;
  for (const char* pszName : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* pszValue = std::getenv(pszName);
    if (pszValue != nullptr && *pszValue != '\0') return true;
  }
  return false;
}
#endif

// Shows or writes the report as the options ask; the exit code.
int Output(const Options& options, const CReportModel& model, int argc, char** argv) {
  const int nDone =
      model.HasWarnings() ? CCommandLineModes::EXIT_WARNINGS : CCommandLineModes::EXIT_DONE;
  if (options.bJson) {
    return WriteStdout(CReportJson::Format(model)) ? nDone : CCommandLineModes::EXIT_FAILED;
  }
#ifdef RX16_HAVE_REPORT_QT
  if (options.strPdf) {
    std::string strError;
    if (WriteReportPdf(model, *options.strPdf, strError, argc, argv)) return nDone;
    std::fprintf(stderr, "%s: %s: %s\n", kProgram, options.strPdf->c_str(), strError.c_str());
    return CCommandLineModes::EXIT_FAILED;
  }
  if (WindowAvailable()) {
    return ShowReportWindow(model, argc, argv) == 0 ? nDone : CCommandLineModes::EXIT_FAILED;
  }
#else
  static_cast<void>(argc);
  static_cast<void>(argv);
  if (options.strPdf) {
    Error("この構成ではPDFを作成できません。");
    return CCommandLineModes::EXIT_FAILED;
  }
#endif
  return WriteStdout(CReportText::Format(model)) ? nDone : CCommandLineModes::EXIT_FAILED;
}

int RunReport(const Options& options, int argc, char** argv) {
  CString strDataID;
  if (!cp932::FromUtf8(options.strSubject, strDataID)) {
    Error("データIDに使えない文字があります。");
    return CCommandLineModes::EXIT_FAILED;
  }
  CReportBooks books;
  if (!books.Open() || !books.SelectDataID(strDataID) || !books.ReadBooks()) {
    Error(books.GetError());
    return CCommandLineModes::EXIT_FAILED;
  }
  CReportRun run(books);
  if (!run.Run()) {
    Error(run.GetError());
    return CCommandLineModes::EXIT_FAILED;
  }
  CReportModel model;
  run.BuildModel(model);
  return Output(options, model, argc, argv);
}

int RunReportFile(const Options& options, int argc, char** argv) {
  CString strPath;
  if (!cp932::FromUtf8(options.strSubject, strPath)) {
    Error("ファイル名に使えない文字があります。");
    return CCommandLineModes::EXIT_FAILED;
  }
  // Relative to where the program was started, not to the installation.
  if (!strPath.starts_with('/')) {
    char szCwd[MAX_PATH] = {};
    const DWORD nLength = GetCurrentDirectoryA(MAX_PATH, szCwd);
    if (nLength > 0 && nLength < MAX_PATH) strPath = CString(szCwd) + "/" + strPath;
  }
  CReportBooks books;
  if (!books.OpenInstallation()) {
    Error(books.GetError());
    return CCommandLineModes::EXIT_FAILED;
  }
  CSetGaiFile files(nullptr, books.IsCooperative() ? TRUE : FALSE);
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> arInitBody;
  if (!files.ReadInitFile(nullptr, arInitBody)) {
    Error(CString("初期データを読めません: ") + CSetGaiFile::InitFileName(books.IsCooperative()));
    return CCommandLineModes::EXIT_FAILED;
  }
  CReportModel model;
  CReportFile file;
  if (!file.Load(strPath, arInitBody, model)) {
    Error(file.GetError());
    return CCommandLineModes::EXIT_FAILED;
  }
  return Output(options, model, argc, argv);
}

}  // namespace

bool CCommandLineModes::IsMode(int argc, const char* const* argv) {
  return argc >= 2 && std::string_view(argv[1]).starts_with("--");
}

int CCommandLineModes::Run(int argc, char** argv) {
  if (std::string_view(argv[1]) == "--batch") {
    CBatchRun batch;
    if (!batch.Parse(std::vector<std::string>(argv + 2, argv + argc))) return Usage();
    return batch.Run();
  }
  Options options;
  if (!Parse(argc, argv, options)) return Usage();
  if (options.strMode == "--help") {
    std::fputs(kUsage, stdout);
    return EXIT_DONE;
  }
  MessagesToStderr();
  if (options.strMode == "--report") return RunReport(options, argc, argv);
  return RunReportFile(options, argc, argv);
}
