// The report modes through the real binaries: figures against the file a
// wizard run writes, settings read and never written, exit codes.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <tuple>

#include "E2eFixture.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct Captured {
  int nExit = -1;
  std::string strOut;
  std::string strErr;
};

class Report : public E2e {
 protected:
  Report() {
    // Under LeakSanitizer: fontconfig's cache, which the PDF's fonts load
    // and the library never frees, is not a leak of the program.
    std::ofstream(Dir("lsan.supp")) << "leak:libfontconfig.so\n";
    SetEnv("LSAN_OPTIONS", "suppressions=" + Dir("lsan.supp"));
  }

  // The component with its standard output and error kept apart.
  Captured Run(const std::vector<std::string>& arArg) {
    std::string strCommand = "exec '" + ProgramDir() + "/QT10ToRX16_G'";
    for (const std::string& strArg : arArg) strCommand += " '" + strArg + "'";
    strCommand += " >'" + Dir("out.txt") + "' 2>'" + Dir("err.txt") + "'";
    Captured c;
    c.nExit = RunProgram({"/bin/sh", "-c", strCommand}, m_strRoot).nExit;
    c.strOut = ReadFile(Dir("out.txt"));
    c.strErr = ReadFile(Dir("err.txt"));
    return c;
  }

  // The books folder of a regression case added as a data set, with the
  // case's settings file.
  void AddCaseBooks(const std::string& strCase, const std::string& strDataID) {
    const std::string strCaseDir = std::string(RX16_SOURCE_DIR) + "/tests/cases/" + strCase;
    const RunResult r = Host({"add-books", ProgramDir(), strCaseDir + "/books"});
    ASSERT_EQ(r.nExit, 0) << r.strOutput;
    fs::copy_file(strCaseDir + "/settings.env",
                  ProgramDir() + "/books/" + strDataID + "/QT10ToRX16_G.env");
  }

  json Json(const std::string& strDataID) {
    const Captured c = Run({"--report", strDataID, "--json"});
    EXPECT_TRUE(c.nExit == 0 || c.nExit == 1) << c.strErr;
    return json::parse(c.strOut);
  }

  // Every file of the installation with its size and time.
  std::set<std::string> Files() const {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(ProgramDir())) {
      files.insert(entry.path().string() + " " +
                   std::to_string(entry.is_regular_file() ? entry.file_size() : 0) + " " +
                   std::to_string(entry.last_write_time().time_since_epoch().count()));
    }
    for (const auto& entry : fs::recursive_directory_iterator(Dir("config"))) {
      files.insert(entry.path().string());
    }
    return files;
  }
};

std::string RegexEscaped(const std::string& strText) {
  static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
  return std::regex_replace(strText, special, R"(\$&)");
}

std::string WithSeparators(long nValue) {
  std::string strDigits = std::to_string(std::labs(nValue));
  for (int i = static_cast<int>(strDigits.size()) - 3; i > 0; i -= 3) strDigits.insert(i, ",");
  return (nValue < 0 ? "-" : "") + strDigits;
}

// The report's figures are the file's: thousands for the main items, yen per
// month for the monthly items, the month row names alike.
void ExpectSameFigures(const json& report, const XmlReport& xml) {
  ASSERT_EQ(report["items"].size(), 43u);
  const json& months = report["months"];
  for (std::size_t i = 0; i < 12; ++i) {
    char szRow[32];
    std::snprintf(szRow, sizeof szRow, "TUKIBETU_%02zu", i + 1);
    if (i < months.size()) {
      EXPECT_EQ(std::to_string(months[i].get<int>()), xml.mapValue.at(szRow));
    }
  }
  for (const json& item : report["items"]) {
    const std::string strTag = item["tag"];
    if (item["value"].is_array()) {
      for (std::size_t i = 0; i < item["value"].size(); ++i) {
        char szSuffix[32];
        std::snprintf(szSuffix, sizeof szSuffix, "%02zu", i + 1);
        EXPECT_EQ(item["value"][i].get<long>(), xml.Figure(strTag + szSuffix)) << strTag << i;
      }
    } else {
      EXPECT_EQ(item["value"].get<long>(), xml.Figure(strTag)) << strTag;
    }
    // The accounts behind an item add up to it (main items in thousands, cut).
    if (!item["accounts"].empty()) {
      double dSum = 0;
      for (const json& account : item["accounts"]) dSum += account["amount"].get<double>();
      if (item["value"].is_array()) {
        double dMonths = 0;
        for (const json& v : item["value"]) dMonths += v.get<double>();
        EXPECT_EQ(dSum, dMonths) << strTag;
      } else {
        EXPECT_EQ(static_cast<long>(dSum / 1000), item["value"].get<long>()) << strTag;
      }
    }
  }
}

TEST_F(Report, FiguresAreTheWizardsBeforeAndAfterTheSettingsAreSaved) {
  Install();
  const std::set<std::string> before = Files();
  // No settings yet: the initial data's defaults, and nothing is created.
  const json first = Json("00000001");
  EXPECT_EQ(Files(), before);
  EXPECT_FALSE(fs::exists(ProgramDir() + "/books/00000001/QT10ToRX16_G.env"));

  Script({"choose 0", "expect page 4938", "key F8"});
  ASSERT_EQ(RunComponent().nExit, 0);
  const std::string strXml = DocumentsXml();
  ASSERT_FALSE(strXml.empty());
  const XmlReport xml = ReadXml(strXml);
  ASSERT_TRUE(xml.bParsed);
  ExpectSameFigures(first, xml);

  // Now from the saved settings: the same report, the file named as used.
  const json second = Json("00000001");
  EXPECT_EQ(second, first);
  const Captured text = Run({"--report", "00000001"});
  EXPECT_NE(text.strOut.find(ProgramDir() + "/books/00000001/QT10ToRX16_G.env"), std::string::npos);
  // The text shows the same figures: each main item's line ends in its figure.
  const std::regex line(R"(^ *(\d+)  \S+ +(-?[\d,]+)$)");
  int nLines = 0;
  std::istringstream in(text.strOut);
  for (std::string strLine; std::getline(in, strLine);) {
    std::smatch m;
    if (!std::regex_match(strLine, m, line)) continue;
    const int nItem = std::stoi(m[1]);
    if (nItem < 1 || nItem > 35) continue;
    std::string strFigure = m[2];
    std::erase(strFigure, ',');
    EXPECT_EQ(std::stol(strFigure), xml.Figure(first["items"][nItem - 1]["tag"])) << strLine;
    ++nLines;
  }
  EXPECT_EQ(nLines, 35);
}

TEST_F(Report, CooperativeMemberWithAShorterSpanSavedByTheWizard) {
  Install(true);
  // The span ends in September: the member file keeps it, the report reads it.
  Script({U8(u8"choose 北川"), "expect page 4938", "set 1007 9", "key F8"});
  ASSERT_EQ(RunComponent().nExit, 0);
  const XmlReport xml = ReadXml(DocumentsXml());
  ASSERT_TRUE(xml.bParsed);
  const std::set<std::string> before = Files();
  const json report = Json("10000002");
  EXPECT_EQ(Files(), before);
  EXPECT_EQ(report["months"], json::parse("[4,5,6,7,8,9]"));
  ExpectSameFigures(report, xml);
  EXPECT_EQ(xml.Figure("TUKI_URIAGE07"), 0);
}

TEST_F(Report, ExitCodesAndMessages) {
  Install();
  // Settings that cannot be read, and books that are no database.
  const std::string strEnv = ProgramDir() + "/books/00000002/QT10ToRX16_G.env";
  std::ofstream(strEnv) << "not,a,settings,line\n";
  std::ofstream(ProgramDir() + "/books/00000003/books.db", std::ios::trunc) << "damaged";
  struct Case {
    std::vector<std::string> arArg;
    int nExit;
    std::string strErr;  // part of standard error
  };
  const std::vector<Case> cases = {
      {{"--report", "00000099"}, 2, "00000099"},
      {{"--report", "00000004"}, 2, U8(u8"個人")},
      {{"--report", "00000002"}, 2, strEnv},
      {{"--report", "00000003"}, 2, "00000003"},
      {{"--report", "00000001", "--pdf", Dir("none/x.pdf")}, 2, Dir("none/x.pdf")},
      {{"--report"}, 2, "usage:"},
      {{"--report", "00000001", "--jsn"}, 2, "usage:"},
      {{"--bogus"}, 2, "usage:"},
      {{"--help"}, 0, ""},
  };
  for (const Case& c : cases) {
    const Captured r = Run(c.arArg);
    EXPECT_EQ(r.nExit, c.nExit) << c.arArg[0] << r.strErr;
    EXPECT_NE(r.strErr.find(c.strErr), std::string::npos) << r.strErr;
    if (c.nExit == 2) {
      EXPECT_TRUE(r.strOut.empty()) << r.strOut;
    }
  }
  EXPECT_NE(Run({"--help"}).strOut.find("--report DATA_ID"), std::string::npos);
}

// The findings as (code, item, account, month), null as 0.
std::set<std::tuple<std::string, int, int, int>> Findings(const json& report) {
  std::set<std::tuple<std::string, int, int, int>> findings;
  const auto number = [](const json& v) { return v.is_null() ? 0 : v.get<int>(); };
  for (const json& f : report["findings"]) {
    EXPECT_FALSE(f["message"].get<std::string>().empty());
    findings.emplace(f["code"], number(f["item"]), number(f["account"]), number(f["month"]));
  }
  return findings;
}

// The planted faults and the clean books are regression cases
// (tests/cases/report-*); this one needs an initial-data file of its own.
TEST_F(Report, CapitalItemThatAddsAccountsLeavesTheBalanceSheetUnbalanced) {
  Install();
  AddCaseBooks("report-clean", "RPTCLEAN");

  // Total assets come out apart from liabilities and capital only when the
  // capital item adds accounts instead of the books' total.
  const std::string strInit = ProgramDir() + "/QT10ToRX16_G_common_init.dat";
  std::string strData = ReadFile(strInit);
  const std::string strOld = "2,2,,SHIHON,JUNSHISAN";
  ASSERT_NE(strData.find(strOld), std::string::npos);
  strData.replace(strData.find(strOld), strOld.size(), "2,2,3000-3999,SHIHON,JUNSHISAN");
  std::ofstream(strInit, std::ios::binary) << strData;
  const Captured unbalanced = Run({"--report", "RPTCLEAN", "--json"});
  EXPECT_EQ(unbalanced.nExit, 1) << unbalanced.strErr;
  EXPECT_EQ(
      Findings(json::parse(unbalanced.strOut)),
      (std::set<std::tuple<std::string, int, int, int>>{{"balance-sheet-unbalanced", 20, 0, 0}}));
}

TEST_F(Report, PdfAndReportFileShowTheFiguresOfTheFile) {
  Install();
  Script({"choose 0", "expect page 4938", "key F8"});
  ASSERT_EQ(RunComponent().nExit, 0);
  const std::string strXml = DocumentsXml();
  const XmlReport xml = ReadXml(strXml);
  ASSERT_TRUE(xml.bParsed);
  const json report = Json("00000001");

  // The PDF: written without a display, nothing on standard output, its
  // text searchable and no picture in it (the chart is drawn as vectors).
  SetEnv("QT_QPA_PLATFORM", std::nullopt);
  SetEnv("DISPLAY", std::nullopt);
  SetEnv("WAYLAND_DISPLAY", std::nullopt);

  const std::string strPdf = Dir("report.pdf");
  const Captured pdf = Run({"--report", "00000001", "--pdf", strPdf});
  EXPECT_EQ(pdf.nExit, 0) << pdf.strErr;
  EXPECT_TRUE(pdf.strOut.empty());
  ASSERT_EQ(RunProgram({"/bin/sh", "-c",
                        "pdftotext -layout '" + strPdf + "' '" + Dir("pdf.txt") +
                            "' && pdfimages -list '" + strPdf + "' > '" + Dir("images.txt") + "'"},
                       m_strRoot)
                .nExit,
            0);
  const std::string strText = ReadFile(Dir("pdf.txt"));
  const std::string strImages = ReadFile(Dir("images.txt"));
  EXPECT_EQ(std::count(strImages.begin(), strImages.end(), '\n'), 2) << strImages;
  EXPECT_NE(strText.find(U8(u8"みどり農産株式会社")), std::string::npos);
  EXPECT_NE(strText.find("1 / "), std::string::npos);
  for (const json& item : report["items"]) {
    if (item["value"].is_array()) continue;
    // Each main item's line: its number, name and the file's figure.
    const std::regex line("(^|\n) *" + std::to_string(item["number"].get<int>()) + " +" +
                          RegexEscaped(item["name"].get<std::string>()) + " +" +
                          WithSeparators(xml.Figure(item["tag"])) + "\n");
    EXPECT_TRUE(std::regex_search(strText, line)) << item["name"];
  }

  // The file read back gives the same figures, without accounts.
  const Captured file = Run({"--report-file", strXml, "--json"});
  EXPECT_EQ(file.nExit, 0) << file.strErr;
  const json fromFile = json::parse(file.strOut);
  ASSERT_EQ(fromFile["items"].size(), report["items"].size());
  for (std::size_t i = 0; i < report["items"].size(); ++i) {
    EXPECT_EQ(fromFile["items"][i]["value"], report["items"][i]["value"]) << i;
    EXPECT_EQ(fromFile["items"][i]["accounts"], json::array());
  }
  EXPECT_EQ(fromFile["months"], report["months"]);
  EXPECT_EQ(Run({"--report-file", ProgramDir() + "/SUPPORT.INF"}).nExit, 2);
}

}  // namespace
}  // namespace e2e
