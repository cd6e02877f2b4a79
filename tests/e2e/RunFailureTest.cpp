#include <filesystem>

#include "E2eFixture.h"

namespace e2e {
namespace {

// Index of the first event equal to e, or -1.
int Find(const std::vector<Event>& arEvent, const Event& e) {
  for (std::size_t i = 0; i < arEvent.size(); ++i) {
    if (arEvent[i] == e) return static_cast<int>(i);
  }
  return -1;
}

const Event kProgressClosed = {"progress", "close"};
const Event kStoppedMessage = {"msgbox", "warning", kCaption, kStopped, "ok", "ok"};

TEST_F(E2e, UnreadableManagementRecordEndsTheRunAsAnError) {
  Install();
  // The chosen books vanish while the selection dialog is open.
  Script({"exec rm " + ProgramDir() + "/books/00000001/books.db", "choose 0", "key F8"});
  const RunResult r = Launch({"--function", "3"});
  EXPECT_EQ(r.nExit, 2) << r.strOutput;
  EXPECT_NE(r.strOutput.find("result: error (function 3)"), std::string::npos) << r.strOutput;
  const std::vector<Event> arEvent = Transcript();
  ASSERT_EQ(arEvent.size(), 4u);
  EXPECT_EQ(arEvent[2], (Event{"msgbox", "warning", kCaption,
                               U8(u8"管理ﾌｧｲﾙの読み込みに失敗しました。"), "ok", "ok"}));
  // Nothing is aggregated from books that could not be read.
  EXPECT_EQ(arEvent[3][0], "post");
}

TEST_F(E2e, FailedAggregationSetUpIsAnErrorReportedAfterTheProgressCloses) {
  Install();
  // The books go away once the wizard has closed, before the aggregation.
  Script({"choose 0", "expect page 4938", "key F8",
          "exec rm " + ProgramDir() + "/books/00000001/books.db"});
  ASSERT_EQ(RunComponent().nExit, 0);
  const std::vector<Event> arEvent = Transcript();
  const int nScale50 = Find(arEvent, {"progress", "scale", "50"});
  const int nClosed = Find(arEvent, kProgressClosed);
  const int nEngine = Find(arEvent, {"msgbox", "warning", kCaption,
                                     U8(u8"管理ﾌｧｲﾙの読み込みに失敗しました。"), "ok", "ok"});
  const int nStopped = Find(arEvent, kStoppedMessage);
  EXPECT_EQ(nScale50, -1);  // the run never started
  // The engine speaks while the progress shows; the stop message follows
  // once it has gone.
  ASSERT_GE(nEngine, 0);
  EXPECT_LT(nEngine, nClosed);
  EXPECT_EQ(nStopped, nClosed + 1);
  EXPECT_EQ(nStopped, static_cast<int>(arEvent.size()) - 1);
  EXPECT_TRUE(DocumentsXml().empty());
}

TEST_F(E2e, FailedAggregationSetUpPostsTheErrorResultToTheHost) {
  Install();
  Script({"choose 0", "expect page 4938", "key F8",
          "exec rm " + ProgramDir() + "/books/00000001/books.db"});
  const RunResult r = Launch({"--function", "6"});
  EXPECT_EQ(r.nExit, 2) << r.strOutput;
  EXPECT_NE(r.strOutput.find("result: error (function 6)"), std::string::npos) << r.strOutput;
  // Errors are shown even to the host; the stop message is not.
  EXPECT_EQ(EventsNamed("msgbox").size(), 1u);
  EXPECT_EQ(Find(Transcript(), kStoppedMessage), -1);
}

TEST_F(E2e, FailedOutputStartedByHandShowsTheStopMessageLast) {
  Install();
  // The default output goes to the documents folder; take it away.
  Script({"choose 0", "expect page 4938", "key F8", "exec rm -r " + Dir("documents")});
  ASSERT_EQ(RunComponent().nExit, 0);
  const std::vector<Event> arEvent = Transcript();
  const int nClosed = Find(arEvent, kProgressClosed);
  ASSERT_GE(nClosed, 0);
  EXPECT_GE(Find(arEvent, {"progress", "scale", "50"}), 0);
  EXPECT_EQ(Find(arEvent, {"progress", "scale", "100"}), -1);
  // The writer names the file and the reason while the progress shows.
  const std::vector<Event> arMsg = EventsNamed("msgbox");
  ASSERT_EQ(arMsg.size(), 2u);
  EXPECT_EQ(arMsg[0][3].rfind(
                U8(u8"中間ファイルの出力に失敗しました。\nファイル：") + Dir("documents/"), 0),
            0u)
      << arMsg[0][3];
  EXPECT_TRUE(arMsg[0][3].ends_with(U8(u8"\n原因：指定されたパスが見つかりません。")))
      << arMsg[0][3];
  EXPECT_LT(Find(arEvent, arMsg[0]), nClosed);
  EXPECT_EQ(Find(arEvent, kStoppedMessage), nClosed + 1);
  EXPECT_EQ(arEvent.back(), kStoppedMessage);
  EXPECT_TRUE(EventsNamed("post").empty());
}

}  // namespace
}  // namespace e2e
