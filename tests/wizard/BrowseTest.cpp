// The 参照 button of page 1: the proposal and filter handed to the save-file
// dialog, its title and look-in label, and the name it brings back.

#include "Cp932.h"
#include "WizardFixture.h"

namespace wizardtest {
namespace {

class BrowseTest : public WizardFixture {
 protected:
  void SetUp() override {
    WizardFixture::SetUp();
    OpenBooks("00000001");
  }
  std::string Field(const std::string& strText) {
    return Event({"control", "1008", "edit", "1", "1", "0", strText});
  }
};

TEST_F(BrowseTest, ProposalAndFilterFollowTheCurrentPath) {
  const std::string r = m_strRoot;
  std::string strScript;
  for (const std::string& strPath :
       {std::string(), r + "/", r + "/out.XML", r + "/out.txt", r + "/out."}) {
    strScript += "set 1008 " + strPath + "\nclick 1009\nfile cancel\n";
  }
  strScript += "dump\nkey ESC\nanswer no\n";
  EXPECT_EQ(0, RunSheet(strScript));

  const auto& ar = m_backend.m_arSaveRequests;
  ASSERT_EQ(5u, ar.size());
  const std::string strName = ar[0].strProposal;
  EXPECT_EQ(".xml", strName.substr(strName.size() - 4));
  EXPECT_EQ(std::string::npos, strName.find('/'));
  EXPECT_EQ(r + "/" + strName, ar[1].strProposal);
  EXPECT_EQ(r + "/out.XML", ar[2].strProposal);
  EXPECT_EQ(r + "/out.txt", ar[3].strProposal);
  EXPECT_EQ(strName, ar[4].strProposal);
  for (int i : {0, 1, 2, 4}) EXPECT_EQ(1, ar[i].nFilterIndex) << i;
  EXPECT_EQ(2, ar[3].nFilterIndex);

  EXPECT_EQ("保存ファイルを指定", ar[0].strTitle);
  EXPECT_EQ("ファイルの場所(&I)", ar[0].controlTexts.at(1091));
  ASSERT_EQ(2u, ar[0].arFilters.size());
  EXPECT_EQ("中間ファイル(*.xml)", ar[0].arFilters[0].first);
  EXPECT_EQ("*.xml", ar[0].arFilters[0].second);
  EXPECT_EQ("全てのファイル(*.*)", ar[0].arFilters[1].first);
  EXPECT_EQ("*.*", ar[0].arFilters[1].second);
  // A cancelled dialog leaves the field as it was.
  EXPECT_NE(std::string::npos, Transcript().find(Field(r + "/out.")));
}

TEST_F(BrowseTest, ChosenNameGetsTheExtensionOnlyWhenItHasNoDot) {
  const std::string r = m_strRoot;
  EXPECT_EQ(0, RunSheet("click 1009\nfile " + r +
                        "/chosen\ndump\n"
                        "click 1009\nfile " +
                        r +
                        "/dotted.\ndump\n"
                        "click 1009\nfile " +
                        r +
                        "/my.dir/out\ndump\n"
                        "key ESC\nanswer no\n"));
  const std::string& t = Transcript();
  EXPECT_NE(std::string::npos, t.find(Field(r + "/chosen.xml"))) << t;
  EXPECT_NE(std::string::npos, t.find(Field(r + "/dotted.xml")));
  EXPECT_NE(std::string::npos, t.find(Field(r + "/my.dir/out")));
}

TEST_F(BrowseTest, LongProposalIsCutWithoutSplittingACharacter) {
  // 250 bytes of folder, then the default name appended.
  std::string strFolder = "/";
  for (int i = 0; i < 124; ++i) strFolder += U8(u8"あ");
  strFolder += "/";
  EXPECT_EQ(0,
            RunSheet("set 1008 " + strFolder + "\nclick 1009\nfile cancel\nkey ESC\nanswer no\n"));
  ASSERT_EQ(1u, m_backend.m_arSaveRequests.size());
  const CString& strProposal = m_backend.m_arSaveRequests[0].strProposal;
  EXPECT_LE(strProposal.size(), 255u);
  EXPECT_GE(strProposal.size(), 251u);
  std::string strUtf8;
  EXPECT_TRUE(cp932::ToUtf8(strProposal, strUtf8));
  EXPECT_EQ(strFolder, strUtf8.substr(0, strFolder.size()));
}

}  // namespace
}  // namespace wizardtest
