// Journal exports of accounting programs imported by the real host program:
// the figures of the report and of a wizard run against figures worked out
// by hand from the journals, and bad files refused line by line with the
// installation left as it was.

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "E2eFixture.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kData = std::string(RX16_TEST_DATA_DIR) + "/journal/";

struct Year {
  std::string strId;
  std::string strName;                          // UTF-8
  std::vector<std::string> arArg;               // after INSTALLATION
  std::map<int, long> mapMain;                  // items 1-35 in thousands; those left out are 0
  std::map<int, std::vector<long>> mapMonthly;  // items 36-43 in yen; left out: all 0
};

std::vector<long> Months(std::map<int, long> mapMonth) {
  std::vector<long> ar(12, 0);
  for (const auto& [nIndex, nValue] : mapMonth) ar[static_cast<std::size_t>(nIndex)] = nValue;
  return ar;
}

// Worked out from the journals by hand (see the files' lines).
std::vector<Year> Years() {
  return {
      {"FARM2024",
       U8(u8"みのり農園株式会社"),
       {kData + "farm-journal.csv", "--opening", kData + "farm-opening.csv", "--name",
        U8(u8"みのり農園株式会社"), "--fiscal-start", "2024-04-01", "--fiscal-end", "2025-03-31",
        "--data-id", "FARM2024"},
       {{1, 3800},  {3, 1173},  {4, 300},   {5, 183},   {6, 300},    {8, 800},   {10, 450},
        {11, 2627}, {12, 600},  {17, 2007}, {19, 2177}, {20, 13281}, {21, 3553}, {23, 3078},
        {24, 450},  {27, 5000}, {29, 4000}, {30, 2874}, {34, 2500},  {35, 10407}},
       {{36, Months({{3, 1000000}, {5, 2000000}, {6, 300000}, {11, 500000}})},
        {37, Months({{0, 100000}, {1, 83000}})},
        {39, Months({{2, 300000}, {8, 600000}})},
        {41, Months({{6, 300000}})},
        {42, Months({{7, 40000}})},
        {43, Months({{0, 100000}, {1, 50000}})}}},
      {"GEN2024",
       U8(u8"株式会社ひかり商事"),
       {kData + "general-journal.csv", "--accounts", kData + "general-accounts.csv", "--name",
        U8(u8"株式会社ひかり商事"), "--fiscal-start", "2024-01-01", "--fiscal-end", "2024-12-31",
        "--data-id", "GEN2024", "--net-assets", "1"},
       {{1, 3300},  {3, 1350}, {5, 1430},  {7, 220},  {10, 300},  {11, 1950}, {12, 500},
        {13, 400},  {15, 110}, {16, 130},  {17, 634}, {19, 656},  {20, 5836}, {21, 3116},
        {23, 2200}, {24, 300}, {30, 2480}, {32, 880}, {34, 1000}, {35, 3356}},
       {{36, Months({{1, 1100000}, {10, 2200000}})},
        {37, Months({{0, 550000}, {8, 880000}})},
        {38, Months({{6, 220000}})},
        {39, Months({{3, 460000}, {5, 500000}})},
        {42, Months({{7, 33000}})}}},
  };
}

class JournalImport : public E2e {
 protected:
  // Standard output alone, standard error alone.
  std::pair<std::string, std::string> Run(const std::string& strExe,
                                          const std::vector<std::string>& arArg, int& nExit) {
    std::string strCommand = "exec '" + strExe + "'";
    for (const std::string& strArg : arArg) strCommand += " '" + strArg + "'";
    strCommand += " >'" + Dir("out.txt") + "' 2>'" + Dir("err.txt") + "'";
    nExit = RunProgram({"/bin/sh", "-c", strCommand}, m_strRoot).nExit;
    return {ReadFile(Dir("out.txt")), ReadFile(Dir("err.txt"))};
  }

  std::vector<std::string> Import(const std::vector<std::string>& arArg) {
    std::vector<std::string> ar = {"import-journal", ProgramDir()};
    ar.insert(ar.end(), arArg.begin(), arArg.end());
    return ar;
  }

  // Every file of the installation with its bytes.
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(ProgramDir())) {
      files[entry.path().string()] = entry.is_regular_file() ? ReadFile(entry.path()) : "";
    }
    return files;
  }
};

TEST_F(JournalImport, ReportAndWizardGiveTheFiguresWorkedOutByHand) {
  Install();
  for (const Year& year : Years()) {
    SCOPED_TRACE(year.strId);
    // The dry run shows the main figures and adds nothing.
    const auto before = Files();
    int nExit = -1;
    std::vector<std::string> arDry = Import(year.arArg);
    arDry.push_back("--dry-run");
    const auto [strPreview, strPreviewErr] = Run(RX16_HOST_EXE, arDry, nExit);
    ASSERT_EQ(nExit, 0) << strPreviewErr;
    EXPECT_EQ(Files(), before);
    std::map<int, long> mapPreview;
    std::istringstream lines(strPreview.substr(strPreview.find("main items")));
    for (std::string strLine; std::getline(lines, strLine);) {
      int nItem = 0;
      char szName[128], szValue[64];
      if (std::sscanf(strLine.c_str(), " %d\t%127[^\t]\t%63s", &nItem, szName, szValue) == 3) {
        std::string strValue = szValue;
        std::erase(strValue, ',');
        mapPreview[nItem] = std::stol(strValue) / 1000;
      }
    }
    ASSERT_EQ(mapPreview.size(), 35u) << strPreview;

    const RunResult added = Host(Import(year.arArg));
    ASSERT_EQ(added.nExit, 0) << added.strOutput;
    const auto [strJson, strErr] =
        Run(ProgramDir() + "/QT10ToRX16_G", {"--report", year.strId, "--json"}, nExit);
    // Information findings only: every default mapping finds its account.
    ASSERT_EQ(nExit, 0) << strErr << strJson;
    const json report = json::parse(strJson);

    Script({"choose " + year.strName, "expect page 4938", "key F8"});
    fs::remove_all(Dir("documents"));
    fs::create_directories(Dir("documents"));
    ASSERT_EQ(RunComponent().nExit, 0);
    const XmlReport xml = ReadXml(DocumentsXml());
    ASSERT_TRUE(xml.bParsed);

    ASSERT_EQ(report["items"].size(), 43u);
    for (int nItem = 1; nItem <= 43; ++nItem) {
      const json& item = report["items"][nItem - 1];
      const std::string strTag = item["tag"];
      if (nItem <= 35) {
        const long nExpected = year.mapMain.contains(nItem) ? year.mapMain.at(nItem) : 0;
        EXPECT_EQ(item["value"].get<long>(), nExpected) << nItem;
        EXPECT_EQ(xml.Figure(strTag), nExpected) << strTag;
        EXPECT_EQ(mapPreview[nItem], nExpected) << nItem;
        continue;
      }
      const std::vector<long> arExpected =
          year.mapMonthly.contains(nItem) ? year.mapMonthly.at(nItem) : std::vector<long>(12, 0);
      EXPECT_EQ(item["value"].get<std::vector<long>>(), arExpected) << nItem;
      for (std::size_t i = 0; i < 12; ++i) {
        char szSuffix[8];
        std::snprintf(szSuffix, sizeof szSuffix, "%02zu", i + 1);
        EXPECT_EQ(xml.Figure(strTag + szSuffix), arExpected[i]) << strTag << szSuffix;
      }
    }
  }
  // The long title is cut to the host's 16 bytes and kept whole as the display name.
  const RunResult exported = Host({"export-books", ProgramDir(), "GEN2024", Dir("gen")});
  ASSERT_EQ(exported.nExit, 0) << exported.strOutput;
  EXPECT_NE(ReadFile(Dir("gen/accounts.csv"))
                .find(U8(u8"901,8900,法人税、住民税及,法人税、住民税及び事業税,debit,income_tax")),
            std::string::npos);
}

TEST_F(JournalImport, BadFilesNameEveryLineAndChangeNothing) {
  Install();
  fs::create_directories(Dir("in"));
  for (const char* szFile :
       {"bad-journal.csv", "bad-utf8-journal.csv", "bad-opening.csv", "farm-journal.csv"}) {
    fs::copy_file(kData + szFile, Dir("in/") + szFile);
  }
  const auto before = Files();
  const std::string strList = Host({"list", ProgramDir()}).strOutput;
  const std::vector<std::string> arYear = {
      "--name", "X", "--fiscal-start", "2024-04-01", "--fiscal-end", "2025-03-31"};
  struct Case {
    std::vector<std::string> arArg;
    std::vector<std::string> arProblem;  // every line of the message after the first
  };
  const std::vector<Case> cases = {
      {{Dir("in/bad-journal.csv")},
       {U8(u8"bad-journal.csv line 2, field 借方金額: the entry does not balance: debits 1000, "
           u8"credits 900"),
        U8(u8"bad-journal.csv line 3, field 取引日付: 2025-04-01 is outside the fiscal year "
           u8"2024-04-01 to 2025-03-31"),
        U8(u8"bad-journal.csv line 4, field 識別フラグ: \"2200\" is not a flag 2000, 2111, 2110, "
           u8"2100 or 2101"),
        U8(u8"bad-journal.csv line 5, field 借方金額: \"1,000\" is not an amount in whole yen"),
        U8(u8"bad-journal.csv line 5, field 貸方金額: \"1,000\" is not an amount in whole yen"),
        U8(u8"bad-journal.csv line 6, field 取引日付: 2019-04-30 is outside the fiscal year "
           u8"2024-04-01 to 2025-03-31"),
        U8(u8"bad-journal.csv line 7, field 借方金額: the voucher on lines 7-8 does not balance: "
           u8"debits 500, credits 400"),
        U8(u8"bad-journal.csv line 9, field 識別フラグ: 2101 (a last line) without a voucher "
           u8"begun by 2110"),
        U8(u8"bad-journal.csv line 10, field 決算: \"中間\" is neither empty, 中決 nor 本決"),
        U8(u8"unknown account title \"謎の科目\" (bad-journal.csv line 11, bad-journal.csv line "
           u8"12)"),
        "the titles are listed in " + Dir("in/bad-journal.unknown-accounts.csv") +
            ": give each its class and side and pass it as --accounts"}},
      {{Dir("in/bad-utf8-journal.csv")},
       {U8(u8"bad-utf8-journal.csv line 2, field 摘要: has a character with no Shift_JIS "
           u8"(CP932) form")}},
      {{Dir("in/farm-journal.csv"), "--opening", Dir("in/bad-opening.csv")},
       {"bad-opening.csv: assets 1,000 do not equal liabilities plus net assets 900 "
        "(difference 100)"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arArg = Import(c.arArg);
    arArg.insert(arArg.end(), arYear.begin(), arYear.end());
    int nExit = -1;
    const auto [strOut, strErr] = Run(RX16_HOST_EXE, arArg, nExit);
    EXPECT_EQ(nExit, 1);
    std::vector<std::string> arLine;
    std::istringstream in(strErr);
    for (std::string strLine; std::getline(in, strLine);) arLine.push_back(strLine);
    ASSERT_FALSE(arLine.empty());
    arLine.erase(arLine.begin());
    std::vector<std::string> arExpected;
    for (const std::string& s : c.arProblem) arExpected.push_back("  " + s);
    EXPECT_EQ(arLine, arExpected) << strErr;
  }
  // The skeleton lists the unknown title once, ready to be filled in.
  EXPECT_EQ(ReadCp932File(Dir("in/bad-journal.unknown-accounts.csv")),
            U8(u8"name,class,side,code,number,display_name\r\n\"謎の科目\",,,,,\r\n"));
  EXPECT_EQ(Files(), before);
  EXPECT_EQ(Host({"list", ProgramDir()}).strOutput, strList);
}

TEST_F(JournalImport, OneBadLineInTwoThousandIsNamedAlone) {
  Install();
  // UTF-8 with a byte-order mark and LF line ends, this time.
  std::ofstream out(Dir("big.csv"), std::ios::binary);
  out << "\xEF\xBB\xBF";
  for (int n = 1; n <= 2000; ++n) {
    const std::string strAmount = n == 1234 ? "12a0" : std::to_string(n);
    out << "2000," << n << ",,2024/" << (n % 12 + 1) << "/1," << U8(u8"現金,,,対象外,") << strAmount
        << U8(u8",0,売上高,,,対象外,") << strAmount << U8(u8",0,売上,,,0,,,0,0,no\n");
  }
  out.close();
  int nExit = -1;
  const auto [strOut, strErr] = Run(RX16_HOST_EXE,
                                    Import({Dir("big.csv"), "--name", "X", "--fiscal-start",
                                            "2024-01-01", "--fiscal-end", "2024-12-31"}),
                                    nExit);
  EXPECT_EQ(nExit, 1);
  EXPECT_EQ(strErr.substr(strErr.find('\n') + 1),
            U8(u8"  big.csv line 1234, field 借方金額: \"12a0\" is not an amount in whole yen\n"
               u8"  big.csv line 1234, field 貸方金額: \"12a0\" is not an amount in whole yen\n"));
}

}  // namespace
}  // namespace e2e
