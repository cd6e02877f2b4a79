#include <filesystem>
#include <fstream>

#include "E2eFixture.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

// The sample individual farm as a member of the cooperative.
void AddIndividualMember(E2e& test, const std::string& strFolder) {
  fs::copy(fs::path(RX16_SOURCE_DIR) / "data/books/yamada", strFolder);
  const std::string strCompany = strFolder + "/company.csv";
  std::string strText = ReadFile(strCompany);
  const std::size_t nAt = strText.find("00000004");
  ASSERT_NE(nAt, std::string::npos);
  strText.replace(nAt, 8, "10000004");
  std::ofstream(strCompany, std::ios::binary | std::ios::trunc) << strText;
  static_cast<void>(test);
}

class Cooperative : public E2e {};

TEST_F(Cooperative, MemberChosenAfterARefusalIsAggregated) {
  Install(true);
  AddIndividualMember(*this, Dir("kp-yamada"));
  const RunResult added = Host({"add-books", ProgramDir(), Dir("kp-yamada")});
  ASSERT_EQ(added.nExit, 0) << added.strOutput;

  Script({U8(u8"choose 山田"), U8(u8"choose 北川"), "expect page 4938", "key F8"});
  const RunResult r = RunComponent();
  EXPECT_EQ(r.nExit, 0) << r.strOutput;
  const std::vector<Event> expectedStart = {
      {"open", "member-select", U8(u8"組合員選択")},
      {"close", "member-select", "ok"},
      {"msgbox", "warning", kCaption,
       U8(u8"選択された組合員は、経営形態が『個人』です。\n\n『個人』の組合員は選択できません。"),
       "ok", "ok"},
      {"open", "member-select", U8(u8"組合員選択")},
      {"close", "member-select", "ok"},
      {"open", "sheet", U8(u8"事業概況書 - 集計条件")},
  };
  const std::vector<Event> arEvent = Transcript();
  ASSERT_GE(arEvent.size(), expectedStart.size());
  EXPECT_EQ(std::vector<Event>(arEvent.begin(), arEvent.begin() + expectedStart.size()),
            expectedStart);
  EXPECT_EQ(arEvent.back(), (Event{"msgbox", "information", kCaption, kCompleted, "ok", "ok"}));

  const XmlReport xml = ReadXml(DocumentsXml());
  ASSERT_TRUE(xml.bParsed);
  EXPECT_EQ(xml.mapValue.at("KOMONSAKINAME"), U8(u8"農事組合法人北川営農"));

  // The cooperative edition's settings: the member's own and the host's copy.
  const std::string strMember = ReadCp932File(ProgramDir() + "/books/10000002/KP10ToRX16_G.env");
  EXPECT_EQ(strMember.rfind("\"10000002\"", 0), 0u) << strMember;
  const std::string strShared = ReadCp932File(Dir("config/qt10/KP10ToRX16_G.env"));
  EXPECT_NE(strShared.find("10000002"), std::string::npos) << strShared;
  EXPECT_FALSE(fs::exists(ProgramDir() + "/books/10000004/KP10ToRX16_G.env"));
  EXPECT_FALSE(fs::exists(ProgramDir() + "/books/10000002/QT10ToRX16_G.env"));
}

TEST_F(Cooperative, ComponentNeedsTheCooperativeHostExecutable) {
  Install(true);
  fs::remove(ProgramDir() + "/KP10.EXE");
  ASSERT_EQ(RunComponent().nExit, 0);
  const std::vector<Event> expected = {
      {"msgbox", "warning", kCaption,
       U8(u8"ハルモア１０アプリケーションが存在しません。\n動作環境が不正です。"), "ok", "ok"}};
  EXPECT_EQ(Transcript(), expected);
}

}  // namespace
}  // namespace e2e
