#include "CCommandLineModes.h"

#include <getopt.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CBatchRun.h"
#include "CCommandLineUsage.h"
#include "CFigureChecks.h"
#include "CReportBooks.h"
#include "CReportFile.h"
#include "CReportJson.h"
#include "CReportModel.h"
#include "CReportRun.h"
#include "CReportText.h"
#include "CSetGaiFile.h"
#include "CStartUp.h"
#include "ConsoleMessages.h"
#include "Cp932.h"
#include "ProgramVersion.h"
#include "WinFile.h"
#ifdef RX16_HAVE_REPORT_QT
#include "ReportQtEntry.h"
#endif

namespace {

constexpr const char* kProgram = "QT10ToRX16_G";

// What was wrong with the command line, then its forms; nothing runs.
int Usage(const std::string& strWrong) {
  std::fprintf(stderr, "%s: %s\n%s", kProgram, strWrong.c_str(),
               CCommandLineUsage::Synopsis().c_str());
  return CCommandLineModes::EXIT_FAILED;
}

int WrongArguments(const char* pszMode) {
  return Usage(std::string(pszMode) + CCommandLineUsage::Say(": wrong or missing arguments",
                                                             ": 引数に誤りがあるか足りません"));
}

struct Options {
  std::string strMode;
  std::string strSubject;  // data ID or report file, UTF-8
  std::optional<std::string> strPdf;
  std::optional<std::string> strCompare;  // an earlier intermediate file, UTF-8
  bool bJson = false;
};

bool Parse(int argc, char** argv, Options& options) {
  if (argc < 2) return false;
  options.strMode = argv[1];
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
    } else if (arg == "--compare" && i + 1 < argc && !options.strCompare) {
      options.strCompare = argv[++i];
    } else {
      return false;
    }
  }
  return true;
}

bool WriteStdout(const std::string& strOut) {
  if (std::fwrite(strOut.data(), 1, strOut.size(), stdout) == strOut.size() &&
      std::fflush(stdout) == 0) {
    return true;
  }
  ConsoleError("標準出力に書き込めません。");
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
  if (options.bJson && !WriteStdout(CReportJson::Format(model))) {
    return CCommandLineModes::EXIT_FAILED;
  }
#ifdef RX16_HAVE_REPORT_QT
  if (options.strPdf) {
    std::string strError;
    if (WriteReportPdf(model, *options.strPdf, strError, argc, argv)) return nDone;
    std::fprintf(stderr, "%s: %s: %s\n", kProgram, options.strPdf->c_str(), strError.c_str());
    return CCommandLineModes::EXIT_FAILED;
  }
  if (options.bJson) return nDone;
  if (WindowAvailable()) {
    return ShowReportWindow(model, argc, argv) == 0 ? nDone : CCommandLineModes::EXIT_FAILED;
  }
#else
  static_cast<void>(argc);
  static_cast<void>(argv);
  if (options.strPdf) {
    ConsoleError("この構成ではPDFを作成できません。");
    return CCommandLineModes::EXIT_FAILED;
  }
  if (options.bJson) return nDone;
#endif
  return WriteStdout(CReportText::Format(model)) ? nDone : CCommandLineModes::EXIT_FAILED;
}

// A file named on the command line, CP932, relative to where the program was
// started (not to the installation); false when it cannot be named in CP932.
bool CommandLinePath(const std::string& strUtf8, CString& strPath) {
  if (!cp932::FromUtf8(strUtf8, strPath)) {
    ConsoleError("ファイル名に使えない文字があります。");
    return false;
  }
  if (!strPath.starts_with('/')) {
    char szCwd[MAX_PATH] = {};
    const DWORD nLength = GetCurrentDirectoryA(MAX_PATH, szCwd);
    if (nLength > 0 && nLength < MAX_PATH) strPath = CString(szCwd) + "/" + strPath;
  }
  return true;
}

// With --compare, the findings against the earlier file; false when it
// cannot be read.
bool ComparePrevious(const Options& options, const CString& strPrevious,
                     const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody, CReportModel& model) {
  if (!options.strCompare) return true;
  CReportModel previous;
  CReportFile file;
  if (!file.Load(strPrevious, arInitBody, previous)) {
    ConsoleError(file.GetError());
    return false;
  }
  CFigureChecks::ComparePrevious(model, previous);
  return true;
}

int RunReport(const Options& options, int argc, char** argv) {
  CString strDataID;
  if (!cp932::FromUtf8(options.strSubject, strDataID)) {
    ConsoleError("データIDに使えない文字があります。");
    return CCommandLineModes::EXIT_FAILED;
  }
  CString strPrevious;
  if (options.strCompare && !CommandLinePath(*options.strCompare, strPrevious)) {
    return CCommandLineModes::EXIT_FAILED;
  }
  CReportBooks books;
  if (!books.Open() || !books.SelectDataID(strDataID) || !books.ReadBooks()) {
    ConsoleError(books.GetError());
    return CCommandLineModes::EXIT_FAILED;
  }
  CReportRun run(books);
  if (!run.Run()) {
    ConsoleError(run.GetError());
    return CCommandLineModes::EXIT_FAILED;
  }
  CReportModel model;
  run.BuildModel(model);
  if (!ComparePrevious(options, strPrevious, run.InitBodies(), model)) {
    return CCommandLineModes::EXIT_FAILED;
  }
  // Without an earlier file, the previous year's books when they are here.
  CReportModel previous;
  if (!options.strCompare && CReportRun::PreviousYear(books, model, previous)) {
    CFigureChecks::ComparePrevious(model, previous);
  }
  return Output(options, model, argc, argv);
}

int RunReportFile(const Options& options, int argc, char** argv) {
  CString strPath;
  CString strPrevious;
  if (!CommandLinePath(options.strSubject, strPath) ||
      (options.strCompare && !CommandLinePath(*options.strCompare, strPrevious))) {
    return CCommandLineModes::EXIT_FAILED;
  }
  CStartUp startUp(StartUpUse::Installation);
  if (!startUp.Start()) {
    ConsoleError(startUp.Failure().Line());
    return CCommandLineModes::EXIT_FAILED;
  }
  const bool bCooperative = CStartUp::IsCooperative();
  CSetGaiFile files(nullptr, bCooperative ? TRUE : FALSE);
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> arInitBody;
  if (!files.ReadInitFile(nullptr, arInitBody)) {
    ConsoleError(files.GetFailure().OneLine(CString("初期データを読めません: ") +
                                            CSetGaiFile::InitFileName(bCooperative)));
    return CCommandLineModes::EXIT_FAILED;
  }
  CReportModel model;
  CReportFile file;
  if (!file.Load(strPath, arInitBody, model) ||
      !ComparePrevious(options, strPrevious, arInitBody, model)) {
    if (!file.GetError().empty()) ConsoleError(file.GetError());
    return CCommandLineModes::EXIT_FAILED;
  }
  return Output(options, model, argc, argv);
}

}  // namespace

bool CCommandLineModes::IsMode(int argc, const char* const* argv) {
  // The host's launch line begins with its window number; no argument at all
  // is a run by hand. Everything else is an option or a mistake.
  return argc >= 2 && std::isdigit(static_cast<unsigned char>(argv[1][0])) == 0;
}

int CCommandLineModes::Run(int argc, char** argv) {
  enum { MODE_HELP = 'h', MODE_VERSION = 'V', MODE_REPORT = 256, MODE_REPORT_FILE, MODE_BATCH };
  static const option kModes[] = {
      {"help", no_argument, nullptr, MODE_HELP},
      {"version", no_argument, nullptr, MODE_VERSION},
      {"report", no_argument, nullptr, MODE_REPORT},
      {"report-file", no_argument, nullptr, MODE_REPORT_FILE},
      {"batch", no_argument, nullptr, MODE_BATCH},
      {nullptr, 0, nullptr, 0},
  };
  const std::string strFirst = argv[1];
  if (!strFirst.starts_with('-')) {
    return Usage(CCommandLineUsage::Say("neither an option nor the host's launch line: ",
                                        "オプションでもホストの起動パラメータでもありません: ") +
                 strFirst);
  }
  // The first argument names the mode; each mode reads the rest itself. A
  // mode is spelled out in full, so no abbreviation stands for another.
  opterr = 0;
  optind = 1;
  int nIndex = -1;
  const int nMode = getopt_long(2, argv, "+hV", kModes, &nIndex);
  const bool bWhole =
      optind == 2 && (nIndex < 0 || strFirst == std::string("--") + kModes[nIndex].name);
  if (nMode == -1 || nMode == '?' || !bWhole) {
    return Usage(CCommandLineUsage::Say("unknown option: ", "不明なオプションです: ") + strFirst);
  }
  if ((nMode == MODE_HELP || nMode == MODE_VERSION) && argc > 2) {
    return Usage(CCommandLineUsage::Say("unexpected argument: ", "余分な引数です: ") + argv[2]);
  }
  switch (nMode) {
    case MODE_HELP:
      std::fputs(CCommandLineUsage::Help().c_str(), stdout);
      return EXIT_DONE;
    case MODE_VERSION:
      std::printf("%s %s\n", kProgram, kProgramVersion);
      return EXIT_DONE;
    case MODE_BATCH: {
      CBatchRun batch;
      if (!batch.Parse(std::vector<std::string>(argv + 2, argv + argc))) {
        return WrongArguments("--batch");
      }
      return batch.Run();
    }
    default:
      break;
  }
  Options options;
  if (!Parse(argc, argv, options)) return WrongArguments(argv[1]);
  MessagesToConsole();
  if (nMode == MODE_REPORT) return RunReport(options, argc, argv);
  return RunReportFile(options, argc, argv);
}
