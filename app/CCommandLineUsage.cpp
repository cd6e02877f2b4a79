#include "CCommandLineUsage.h"

#include <cstdlib>
#include <string_view>

#include "Cp932.h"

namespace {

// One form of the command line and what it does.
struct Form {
  const char* pszSynopsis;
  const char* pszEnglish;
  const char* pszJapanese;
};

const Form kForms[] = {
    {"QT10ToRX16_G",
     "a run by hand: choose a data set, set the conditions in the wizard, write\n"
     "the XML file; the program's folder must be an installation (QT10.EXE init)",
     "手動での実行: データを選び、ウィザードで集計条件を設定して XML ファイルを\n"
     "出力します。プログラムのフォルダーはインストール先 (QT10.EXE init) です"},
    {"QT10ToRX16_G HWND,MSG,FUNCTION,PATH",
     "the host's launch: the result is posted to window HWND as message MSG with\n"
     "FUNCTION; a PATH that is not empty fixes the output file",
     "ホストからの起動: 結果をウィンドウ HWND へメッセージ MSG と FUNCTION で\n"
     "通知します。PATH が空でなければ出力ファイルはそのパスに固定されます"},
    {"QT10ToRX16_G --report DATA_ID [--pdf OUT.pdf] [--json] [--compare PREVIOUS.xml]",
     "the report of a data set, aggregated with its saved settings: a window\n"
     "when a display is available, else text; --json: JSON on standard output;\n"
     "--pdf: the report as a PDF file (with --json, both); --compare: the\n"
     "figures against an earlier intermediate file",
     "データの集計結果の報告: 保存された設定で集計し、画面があればウィンドウ、\n"
     "なければテキストで示します。--json: 標準出力へ JSON、--pdf: PDF ファイル\n"
     "(--json と同時も可)、--compare: 以前の中間ファイルとの比較"},
    {"QT10ToRX16_G --report-file REPORT.xml [--pdf OUT.pdf] [--json] [--compare PREVIOUS.xml]",
     "an intermediate file shown as the form", "中間ファイルを様式の形で示します"},
    {"QT10ToRX16_G --batch OUTDIR [--jobs N] [--summary-encoding utf-8|cp932]\n"
     "             [DATA_ID|NUMBER ...]",
     "every data set, or those named, written with its saved settings into\n"
     "OUTDIR under the name the settings page proposes, with OUTDIR/summary.csv;\n"
     "N worker processes (default: one per core)",
     "すべてのデータ (または指定したデータ) を保存された設定で集計し、設定画面の\n"
     "既定の名前で OUTDIR へ出力します。一覧は OUTDIR/summary.csv。N は並列数\n"
     "(既定: CPU コア数)"},
    {"QT10ToRX16_G --help | -h", "this help", "この説明を表示します"},
    {"QT10ToRX16_G --version | -V", "the program's version", "バージョンを表示します"},
};

const char* const kEnvironmentEnglish =
    "environment:\n"
    "  RX16_UI             headless or qt; unset: qt when a display is available\n"
    "  RX16_UI_SCRIPT      the script a headless run plays\n"
    "  RX16_UI_TRANSCRIPT  the file a headless run records what it shows in\n"
    "                      (unset: standard error)\n"
    "  XDG_DOCUMENTS_DIR   the folder the output file is proposed in (unset: the\n"
    "                      one in ~/.config/user-dirs.dirs, else ~/Documents)\n"
    "exit codes:\n"
    "  a run by hand or the host's launch: 0 (the host hears the result)\n"
    "  --report, --report-file: 0 done, 1 warnings found\n"
    "  --batch: 0 all written (individual businesses skipped), 1 a data set\n"
    "           failed or the run was interrupted\n"
    "  2 could not run, or the command line was wrong\n";

const char* const kEnvironmentJapanese =
    "環境変数:\n"
    "  RX16_UI             headless または qt。未設定なら画面があれば qt\n"
    "  RX16_UI_SCRIPT      画面なしの実行が演じるスクリプト\n"
    "  RX16_UI_TRANSCRIPT  画面なしの実行が表示内容を記録するファイル\n"
    "                      (未設定なら標準エラー出力)\n"
    "  XDG_DOCUMENTS_DIR   出力ファイルを提案するフォルダー (未設定なら\n"
    "                      ~/.config/user-dirs.dirs の設定、なければ ~/Documents)\n"
    "終了コード:\n"
    "  手動での実行・ホストからの起動: 0 (結果はホストへ通知)\n"
    "  --report, --report-file: 0 完了、1 指摘事項あり\n"
    "  --batch: 0 すべて出力 (個人のデータは対象外)、1 失敗したデータあり\n"
    "           または中断\n"
    "  2 実行できない、またはコマンドラインの誤り\n";

// The text in UTF-8: English texts are ASCII, Japanese ones CP932.
std::string Utf8(const char* pszText) {
  std::string strOut;
  return cp932::ToUtf8(pszText, strOut) ? strOut : std::string(pszText);
}

std::string Indented(const std::string& strText) {
  std::string strOut = "      ";
  for (char c : strText) {
    strOut += c;
    if (c == '\n') strOut += "      ";
  }
  return strOut + "\n";
}

}  // namespace

bool CCommandLineUsage::IsJapanese() {
  for (const char* pszName : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* pszValue = std::getenv(pszName);
    if (pszValue != nullptr && *pszValue != '\0')
      return std::string_view(pszValue).starts_with("ja");
  }
  return false;
}

std::string CCommandLineUsage::Say(const char* pszEnglish, const char* pszJapanese) {
  return IsJapanese() ? Utf8(pszJapanese) : std::string(pszEnglish);
}

std::string CCommandLineUsage::Synopsis() {
  std::string strOut = Say("usage:\n", "使い方:\n");
  for (const Form& form : kForms) strOut += std::string("  ") + form.pszSynopsis + "\n";
  return strOut + Say("QT10ToRX16_G --help tells more.\n", "詳しくは QT10ToRX16_G --help\n");
}

std::string CCommandLineUsage::Help() {
  std::string strOut = Say("usage:\n", "使い方:\n");
  for (const Form& form : kForms) {
    strOut += std::string("  ") + form.pszSynopsis + "\n" +
              Indented(Say(form.pszEnglish, form.pszJapanese));
  }
  return strOut + Say(kEnvironmentEnglish, kEnvironmentJapanese);
}
