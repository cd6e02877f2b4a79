// The parts of the batch that do not need books: worker processes, file
// names, the summary and the progress lines.

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>

#include "BatchOutputNames.h"
#include "CBatchProgress.h"
#include "CBatchRow.h"
#include "CBatchSummary.h"
#include "CBatchWorkers.h"
#include "Cp932.h"
#include "TestText.h"

namespace {

using testsupport::U8;

std::string SlowSquare(std::size_t n) {
  // Uneven job lengths let the faster worker take more jobs.
  ::usleep(static_cast<useconds_t>((n % 3) * 2000));
  return std::to_string(n * n) + std::string(n * 1000, 'x');
}

TEST(BatchWorkersTest, ResultsStayWithTheirJobWhateverTheNumberOfWorkers) {
  for (int nWorkers : {1, 2, 5}) {
    std::vector<std::optional<std::string>> arResult(40);
    std::vector<bool> arAnswered;
    std::size_t nArrived = 0;
    ASSERT_TRUE(CBatchWorkers::Run(
        40, nWorkers, SlowSquare,
        [&](std::size_t i, const std::string& strResult) {
          arResult.at(i) = strResult;
          ++nArrived;
        },
        arAnswered));
    ASSERT_EQ(arAnswered.size(), 40u);
    for (std::size_t i = 0; i < arResult.size(); ++i) {
      ASSERT_TRUE(arAnswered[i] && arResult[i]) << i;
      EXPECT_EQ(*arResult[i], SlowSquare(i)) << "job " << i << ", workers " << nWorkers;
    }
    EXPECT_EQ(nArrived, 40u);
  }
}

TEST(BatchWorkersTest, AWorkerThatDiesLosesOnlyItsJob) {
  std::vector<std::optional<std::string>> arResult(12);
  std::vector<bool> arAnswered;
  const auto job = [](std::size_t i) -> std::string {
    if (i == 3) std::raise(SIGKILL);
    if (i == 5) throw std::runtime_error("job failed");
    return std::to_string(i);
  };
  ASSERT_TRUE(CBatchWorkers::Run(
      12, 2, job, [&](std::size_t i, const std::string& strResult) { arResult.at(i) = strResult; },
      arAnswered));
  for (std::size_t i = 0; i < arResult.size(); ++i) {
    if (i == 3 || i == 5)
      EXPECT_FALSE(arResult[i] || arAnswered[i]) << i;
    else
      EXPECT_EQ(arResult[i].value_or("none"), std::to_string(i));
  }
}

TEST(BatchOutputNamesTest, SharedOrForeignNamesGetTheDataIdAndNeverMeet) {
  const std::vector<BatchOutputName> arIn = {
      {"a_2024.xml", "001"}, {"b_2024.xml", "002"},     {"x.xml", "003"},
      {"", "004"},           {"a_2024_001.xml", "005"}, {"c", "0/6"},
      {"d.xml", "007"},      {"a_2024.xml", "001"},
  };
  // a_2024.xml and c are proposed by two data sets of the installation, in
  // the run or not; x.xml and d.xml were written earlier, x.xml for another
  // data ID.
  const std::vector<CString> arName = AssignOutputNames(
      arIn, {"a_2024.xml", "c"}, {{"x.xml", "099"}, {"d.xml", "007"}, {"b_2024.xml", "002"}});
  // The suffixed name of 001 would meet 005's own name: 005 keeps its own,
  // 001 moves on, wherever the two stand in the list.
  EXPECT_EQ(arName[0], "a_2024_001_2.xml");
  EXPECT_EQ(arName[1], "b_2024.xml");
  EXPECT_EQ(arName[2], "x_003.xml");
  EXPECT_EQ(arName[3], "");
  EXPECT_EQ(arName[4], "a_2024_001.xml");
  EXPECT_EQ(arName[5], "c_0_6");
  EXPECT_EQ(arName[6], "d.xml");
  EXPECT_EQ(arName[7], "a_2024_001_3.xml");
}

CBatchRow Row() {
  CBatchRow row;
  row.m_strDataId = "00012345";
  row.m_strName = "みどり農産株式会社";
  row.m_strYear = "2024/04/01-2025/03/31";
  row.m_strSpan = "4-3";
  row.m_arFigure = {52000, -1500, std::nullopt, 98765};
  row.m_strFile = "a,\"b\".xml";
  row.m_nWarnings = 2;
  row.m_status = CBatchRow::Status::Written;
  return row;
}

TEST(BatchRowTest, RoundTripsThroughItsBytesAndRefusesBrokenOnes) {
  CBatchRow row = Row();
  row.m_status = CBatchRow::Status::Skipped;
  row.m_strReason = "経営形態が『個人』です";
  CBatchRow back;
  ASSERT_TRUE(CBatchRow::Parse(row.Serialize(), back));
  EXPECT_EQ(back.Serialize(), row.Serialize());
  EXPECT_EQ(back.StatusText(), "skipped: 経営形態が『個人』です");
  EXPECT_EQ(back.m_arFigure[1], -1500);
  EXPECT_FALSE(back.m_arFigure[2]);

  const std::string strBytes = row.Serialize();
  EXPECT_FALSE(CBatchRow::Parse(strBytes.substr(0, strBytes.size() - 1), back));
  EXPECT_FALSE(CBatchRow::Parse(strBytes + "x", back));
}

TEST(BatchSummaryTest, TableAlignsDoubleByteTextAndCsvQuotes) {
  CBatchRow failed;
  failed.m_strDataId = "9";
  failed.m_strName = "ｱｲ";
  failed.m_strReason = "MakeRefDataエラー";
  const CBatchSummary summary({Row(), failed}, true);

  const std::string strTable = summary.Table();
  const std::string strExpected =
      U8(u8"データID  事業所名            事業年度               集計期間  売上高  営業損益  "
         u8"税引前当期損益  資産の部合計  ファイル名  警告  状態\n"
         u8"00012345  みどり農産株式会社  2024/04/01-2025/03/31  4-3        52000     -1500        "
         u8"                 98765  a,\"b\".xml      2  written\n"
         u8"9         ｱｲ                                                                           "
         u8"                                          failed: MakeRefDataエラー\n");
  EXPECT_EQ(strTable, strExpected);

  // Text cells a spreadsheet would turn into numbers, dates or formulas stay text.
  CBatchRow formula = Row();
  formula.m_strDataId = "7";
  formula.m_strName = "=1+1";
  const std::string strHeader =
      "データID,事業所名,事業年度,集計期間,売上高,営業損益,税引前当期損益,資産の部合計,"
      "ファイル名,警告,状態\r\n";
  const std::string strLines =
      "\"=\"\"00012345\"\"\",みどり農産株式会社,\"=\"\"2024/04/01-2025/03/31\"\"\","
      "\"=\"\"4-3\"\"\",52000,-1500,,98765,\"a,\"\"b\"\".xml\",2,written\r\n"
      "\"=\"\"9\"\"\",ｱｲ,,,,,,,,,failed: MakeRefDataエラー\r\n";
  std::string strCp932 = summary.Csv(CBatchSummary::Encoding::Cp932);
  EXPECT_EQ(strCp932, strHeader + strLines);
  std::string strUtf8;
  ASSERT_TRUE(cp932::ToUtf8(strHeader + strLines, strUtf8));
  EXPECT_EQ(summary.Csv(CBatchSummary::Encoding::Utf8), "\xEF\xBB\xBF" + strUtf8);

  // A later run over some data sets: 9 is replaced in its place, 7 added,
  // 00012345 kept, whichever encoding the earlier summary has.
  for (const auto& strOld : {strCp932, summary.Csv(CBatchSummary::Encoding::Utf8)}) {
    CBatchRow again = failed;
    again.m_strReason = "二度目";
    CBatchSummary merged({again, formula}, true);
    ASSERT_TRUE(merged.MergeInto(strOld));
    const std::string strMerged = merged.Csv(CBatchSummary::Encoding::Cp932);
    EXPECT_EQ(strMerged.find(strLines.substr(0, strLines.find("\r\n") + 2)), strHeader.size());
    EXPECT_NE(strMerged.find("ｱｲ,,,,,,,,,failed: 二度目\r\n\"=\"\"7\"\"\",\"=\"\"=1+1\"\"\","),
              std::string::npos)
        << strMerged;
  }
  EXPECT_FALSE(CBatchSummary({failed}, false).MergeInto(strCp932));
  const auto arWritten = CBatchSummary::WrittenFiles(strCp932);
  ASSERT_EQ(arWritten.size(), 1u);
  EXPECT_EQ(arWritten[0], std::make_pair(CString("a,\"b\".xml"), CString("00012345")));
}

TEST(BatchProgressTest, BarAndLinesShowDoneTotalElapsedAndEstimate) {
  CBatchProgress progress(stderr, false, 8);
  EXPECT_EQ(progress.BarLine(0, 0), U8(u8"[........................] 0/8  経過 0:00  残り -:--"));
  EXPECT_EQ(progress.BarLine(2, 30), U8(u8"[######..................] 2/8  経過 0:30  残り 1:30"));
  EXPECT_EQ(progress.PlainLine(Row(), 8, 3725),
            U8(u8"8/8 00012345 みどり農産株式会社: written  (経過 1:02:05  残り 0:00)"));
}

}  // namespace
