// The report modes through the real binaries: figures against the file a
// wizard run writes, settings read and never written, exit codes.

#include <algorithm>
#include <cstdio>
#include <ctime>
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

// Today's date as the PDF prints it.
std::string Today() {
  const std::time_t now = std::time(nullptr);
  char szDate[16];
  std::strftime(szDate, sizeof szDate, "%Y/%m/%d", std::localtime(&now));
  return szDate;
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

// What the settings code returns as failed reaches standard error once: one
// line with the report's own words, the line that cannot be read and the
// file left unloaded.
TEST_F(Report, AFailureBelowIsOneLine) {
  Install();
  const std::string strEnv = ProgramDir() + "/books/00000002/QT10ToRX16_G.env";
  std::ofstream(strEnv) << "not,a,settings,line\n";
  const Captured r = Run({"--report", "00000002"});
  EXPECT_EQ(r.nExit, 2);
  EXPECT_EQ(r.strErr,
            U8(u8"QT10ToRX16_G: 設定を読めません: ") + strEnv + U8(u8" / エラーCon ファイル：") +
                strEnv +
                U8(u8" 1行目を読めません。形式が正しくないか、ファイルがそこで終わっています。"
                   u8" / MakeRefDataエラー ファイル：") +
                strEnv + "\n");
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

// Validates a report's JSON against the schema of the documentation.
void ExpectValid(const std::string& strJson, const std::string& strDir) {
  const std::string strFile = strDir + "/valid.json";
  std::ofstream(strFile, std::ios::binary | std::ios::trunc) << strJson;
  const std::string strCheck =
      "import json, sys, jsonschema\n"
      "jsonschema.validate(json.load(open(sys.argv[1])), json.load(open(sys.argv[2])))\n";
  const RunResult r = RunProgram({"/usr/bin/python3", "-c", strCheck, strFile,
                                  std::string(RX16_SOURCE_DIR) + "/docs/report.schema.json"},
                                 strDir);
  EXPECT_EQ(r.nExit, 0) << r.strOutput;
}

using FindingSet = std::set<std::tuple<std::string, int, int, int>>;

// The clean books of the regression case with one fault at a time planted
// into their settings or the initial data; the books with every kind of
// fault at once are the case report-faults.
TEST_F(Report, PlantedFaultsEachGiveTheirFindingAndCleanBooksNone) {
  Install();
  AddCaseBooks("report-clean", "RPTCLEAN");

  const Captured clean = Run({"--report", "RPTCLEAN", "--json"});
  EXPECT_EQ(clean.nExit, 0) << clean.strErr;
  EXPECT_EQ(json::parse(clean.strOut)["findings"], json::array());


  // Each fault planted into the clean books' settings: the matches taken out
  // and put in, the findings (code, item, account) and the amount of the first.
  struct Plant {
    std::vector<std::string> arOut;
    std::vector<std::string> arIn;
    FindingSet findings;
    double dAmount;
  };
  const std::vector<Plant> plants = {
      // A sales account on a cost item, its side taken from the books.
      {{"5,502,1"},
       {"5,401,2"},
       {{"class-mismatch", 5, 401, 0},
        {"negative-item", 5, 0, 0},
        {"monthly-main-mismatch", 5, 502, 0}},
       -8580000},
      // A building on depreciation: the cost items outgrow their total.
      {{"26,114,1"},
       {"8,114,1"},
       {{"class-mismatch", 8, 114, 0}, {"subtotal-mismatch", 3, 0, 0}},
       1000000},
      // Interest added to the side-line sales, which then exceed all sales.
      {{},
       {"2,401,2", "2,701,2"},
       {{"class-mismatch", 2, 701, 0}, {"subtotal-mismatch", 1, 0, 0}},
       5000},
      // A building with a balance and no movement dropped from its item.
      {{"26,114,1"}, {}, {{"balance-left-out", 26, 114, 0}}, 1000000},
      // Wages dropped from the main item, kept in the monthly one, and back.
      {{"13,602,1"}, {}, {{"monthly-main-mismatch", 13, 602, 0}}, 2400000},
      {{"39,602,1"}, {}, {{"monthly-main-mismatch", 39, 602, 0}}, 2400000},
  };
  const std::string strEnv = ProgramDir() + "/books/RPTCLEAN/QT10ToRX16_G.env";
  const std::string strCleanEnv =
      ReadFile(std::string(RX16_SOURCE_DIR) + "/tests/cases/report-clean/settings.env");
  for (const Plant& plant : plants) {
    std::string strText = strCleanEnv;
    for (const std::string& strLine : plant.arOut) {
      const std::size_t nAt = strText.find("\n" + strLine + "\n");
      ASSERT_NE(nAt, std::string::npos) << strLine;
      strText.erase(nAt + 1, strLine.size() + 1);
    }
    for (const std::string& strLine : plant.arIn) strText += strLine + "\n";
    std::ofstream(strEnv, std::ios::binary | std::ios::trunc) << strText;
    const Captured planted = Run({"--report", "RPTCLEAN", "--json"});
    EXPECT_EQ(planted.nExit, 1) << planted.strErr;
    const json report = json::parse(planted.strOut);
    EXPECT_EQ(Findings(report), plant.findings) << strText;
    const std::string strFirst = std::get<0>(*plant.findings.begin());
    for (const json& f : report["findings"]) {
      if (f["code"] == strFirst) {
        EXPECT_EQ(f["amount"], plant.dAmount) << strText;
      }
    }
  }
  std::ofstream(strEnv, std::ios::binary | std::ios::trunc) << strCleanEnv;

  // A profit total with the wrong formula breaks the profit chain; the total
  // assets apart from liabilities and capital when the capital item adds
  // accounts instead of the books' total.
  const std::string strInit = ProgramDir() + "/QT10ToRX16_G_common_init.dat";
  const std::string strShipped = ReadFile(strInit);
  const std::vector<std::tuple<std::string, std::string, FindingSet>> definitions = {
      {"2,1,,ZEIBIKIMAE,", "2,1,,EIGYOSONEKI,",
       {{"subtotal-mismatch", 19, 0, 0}, {"unmapped-account", 0, 701, 0}}},
      {"2,2,,SHIHON,JUNSHISAN", "2,2,3000-3999,SHIHON,JUNSHISAN",
       // The capital item now takes accounts: the capital account is outside it.
       {{"balance-sheet-unbalanced", 20, 0, 0}, {"unmapped-account", 0, 301, 0}}},
  };
  for (const auto& [strOld, strNew, findings] : definitions) {
    std::string strData = strShipped;
    ASSERT_NE(strData.find(strOld), std::string::npos);
    strData.replace(strData.find(strOld), strOld.size(), strNew);
    std::ofstream(strInit, std::ios::binary | std::ios::trunc) << strData;
    const Captured planted = Run({"--report", "RPTCLEAN", "--json"});
    EXPECT_EQ(planted.nExit, 1) << planted.strErr;
    EXPECT_EQ(Findings(json::parse(planted.strOut)), findings) << strNew;
  }
  std::ofstream(strInit, std::ios::binary | std::ios::trunc) << strShipped;

  // The shipped samples with the shipped defaults: no warning, a handful of
  // information lines, each account in at most one of them.
  for (const std::string strDataID : {"00000001", "00000002", "00000003", "00000005"}) {
    const Captured sample = Run({"--report", strDataID, "--json"});
    EXPECT_EQ(sample.nExit, 0) << strDataID << sample.strErr;
    const json report = json::parse(sample.strOut);
    EXPECT_LE(report["findings"].size(), 6u) << strDataID;
    EXPECT_EQ(report["header"]["data_id"], strDataID);
    for (const json& f : report["findings"]) EXPECT_EQ(f["severity"], "information") << f;
    if (strDataID == "00000001") ExpectValid(sample.strOut, m_strRoot);
  }
  // The allowance left out is quoted by its balance, not its movement.
  const json midori = Json("00000001");
  bool bAllowance = false;
  for (const json& f : midori["findings"]) {
    bAllowance = bAllowance || f["message"].get<std::string>().find(U8(u8"120「減価償却累計額」 -20,294,000円")) != std::string::npos;
  }
  EXPECT_TRUE(bAllowance) << midori["findings"];
  // The asset total's breakdown: its items, the other assets and the
  // allowance apart, adding up to the total.
  const json& assets = midori["items"][19];
  double dParts = 0;
  for (const json& part : assets["parts"]) dParts += part["amount"].get<double>();
  EXPECT_EQ(static_cast<long>(dParts / 1000), assets["value"].get<long>());
  EXPECT_EQ(assets["parts"].back()["amount"], -20294000);

  // The business's previous year in the installation: what moved much.
  const RunResult added = Host(
      {"add-books", ProgramDir(), std::string(RX16_TEST_DATA_DIR) + "/report/previous"});
  ASSERT_EQ(added.nExit, 0) << added.strOutput;
  const Captured compared = Run({"--report", "RPTCLEAN", "--json"});
  EXPECT_EQ(compared.nExit, 0) << compared.strErr;
  bool bSales = false;
  const json comparedReport = json::parse(compared.strOut);
  for (const json& f : comparedReport["findings"]) {
    EXPECT_EQ(f["code"], "previous-year") << f;
    if (f["item"] == 1) bSales = f["amount"] == 9080000 - 3600000;
  }
  EXPECT_TRUE(bSales) << compared.strOut;
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
  const std::string strBefore = Today();
  const Captured pdf = Run({"--report", "00000001", "--pdf", strPdf});
  const std::string strAfter = Today();
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
  // Page 1 is the summary: data ID, date of printing, no folder of the machine.
  const std::string strFirst = strText.substr(0, strText.find('\f'));
  EXPECT_NE(strFirst.find(U8(u8"データID: 00000001")), std::string::npos) << strFirst;
  EXPECT_TRUE(strFirst.find(U8(u8"印刷日: ") + strBefore) != std::string::npos ||
              strFirst.find(U8(u8"印刷日: ") + strAfter) != std::string::npos)
      << strFirst;
  EXPECT_NE(strFirst.find(U8(u8"指摘事項: 警告 0件、情報 6件")), std::string::npos);
  EXPECT_NE(strFirst.find(U8(u8"12月")), std::string::npos);
  EXPECT_FALSE(std::regex_search(strText, std::regex("/[A-Za-z_.]"))) << strText;
  // No page ends in an item whose lines are on the next page.
  std::set<int> withLines;
  for (const json& item : report["items"]) {
    if (!item["accounts"].empty() || !item["parts"].empty()) withLines.insert(item["number"].get<int>());
  }
  const std::regex heading(R"(^ {0,8}(\d+) {2,}\S)");
  std::istringstream pages(strText);
  for (std::string strPage; std::getline(pages, strPage, '\f');) {
    std::string strLast;
    std::istringstream lines(strPage);
    for (std::string strLine; std::getline(lines, strLine);) {
      if (strLine.find_first_not_of(' ') != std::string::npos &&
          strLine.find(U8(u8"印刷日 ")) == std::string::npos) {
        strLast = strLine;
      }
    }
    std::smatch m;
    if (std::regex_search(strLast, m, heading)) {
      EXPECT_EQ(withLines.count(std::stoi(m[1])), 0u) << strLast;
    }
  }
  // JSON and the PDF at once.
  const Captured both = Run({"--report", "00000001", "--json", "--pdf", Dir("both.pdf")});
  EXPECT_EQ(both.nExit, 0) << both.strErr;
  EXPECT_EQ(json::parse(both.strOut), report);
  EXPECT_TRUE(fs::exists(Dir("both.pdf")));
  for (const json& item : report["items"]) {
    if (item["value"].is_array()) continue;
    // Each main item's line: its number, name and the file's figure.
    const std::regex line("(^|\n|\f) *" + std::to_string(item["number"].get<int>()) + " +" +
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
  EXPECT_EQ(fromFile["findings"], json::array());
  EXPECT_EQ(Run({"--report-file", ProgramDir() + "/SUPPORT.INF"}).nExit, 2);

  // Faults planted into the file: an element's text replaced, or the
  // element taken out.
  const std::string strFile = ReadFile(strXml);
  const auto planted = [&](const std::vector<std::pair<std::string, std::string>>& arEdit) {
    std::string strData = strFile;
    for (const auto& [strTag, strValue] : arEdit) {
      const std::regex element("<" + strTag + ">[^<]*</" + strTag + ">");
      EXPECT_TRUE(std::regex_search(strData, element)) << strTag;
      strData = std::regex_replace(
          strData, element,
          strValue == "-" ? std::string() : "<" + strTag + ">" + strValue + "</" + strTag + ">");
    }
    const std::string strPath = Dir("planted.xml");
    std::ofstream(strPath, std::ios::binary | std::ios::trunc) << strData;
    return strPath;
  };
  const std::vector<std::pair<std::vector<std::pair<std::string, std::string>>,
                              std::tuple<std::string, int, int, int>>>
      fileFaults = {
          {{{"SORIEKI", "99999"}}, {"subtotal-mismatch", 11, 0, 0}},
          {{{"TUKIBETU_02", "4"}}, {"bad-file-value", 0, 0, 4}},
          {{{"GENKA", "3l362"}}, {"bad-file-value", 3, 0, 0}},
          {{{"GENZAIRYOHI", "-"}}, {"bad-file-value", 5, 0, 0}},
          {{{"KENGYO_URIAGE", "99999"}}, {"subtotal-mismatch", 1, 0, 0}},
          {{{"GENKA_SHOKYAKU", "-99"}}, {"negative-item", 8, 0, 0}},
      };
  for (const auto& [arEdit, finding] : fileFaults) {
    const Captured r = Run({"--report-file", planted(arEdit), "--json"});
    EXPECT_EQ(r.nExit, 1) << r.strErr;
    EXPECT_EQ(Findings(json::parse(r.strOut)).count(finding), 1u) << arEdit[0].first << r.strOut;
  }
  // Against the year before: an item that moved by more than half, a month
  // without sales that had them.
  const std::string strPrevious = Dir("previous.xml");
  fs::rename(planted({{"URIAGE", "20000"}}), strPrevious);
  const Captured compared =
      Run({"--report-file", planted({{"TUKI_URIAGE02", ""}}), "--json", "--compare", strPrevious});
  EXPECT_EQ(compared.nExit, 0) << compared.strErr;
  const FindingSet comparedFindings = Findings(json::parse(compared.strOut));
  EXPECT_EQ(comparedFindings.count({"previous-year", 1, 0, 0}), 1u) << compared.strOut;
  EXPECT_EQ(comparedFindings.count({"previous-year", 36, 0, 5}), 1u) << compared.strOut;
  const Captured books = Run({"--report", "00000001", "--json", "--compare", strPrevious});
  EXPECT_EQ(Findings(json::parse(books.strOut)).count({"previous-year", 1, 0, 0}), 1u);
  EXPECT_EQ(Run({"--report", "00000001", "--compare", Dir("none.xml")}).nExit, 2);
}

}  // namespace
}  // namespace e2e
