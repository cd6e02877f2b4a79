// The item pages end to end on the sample books: captions from the item
// definitions, tooltips from the matches, and the mapping dialog behind a
// button replacing the item's block of matches only when confirmed.

#include <filesystem>
#include <fstream>
#include <sstream>

#include "WizardFixture.h"

namespace wizardtest {
namespace {

class ItemPagesTest : public WizardFixture {
 protected:
  static std::string Control(const char* pszId, const char* pszKind, const std::string& strText) {
    return Event({"control", pszId, pszKind, "1", "1", "0", strText});
  }
  static std::string Tip(const char* pszId, const std::string& strText) {
    return Event({"tip", pszId, strText});
  }
  static std::vector<std::string> Matches(const CArray<_SG_MATCH, _SG_MATCH>& ar) {
    std::vector<std::string> out;
    for (const _SG_MATCH& m : ar) {
      out.push_back(std::to_string(m.nGaiNo) + "," + std::to_string(m.nBokiCode) + "," +
                    std::to_string(m.nTaisyaku));
    }
    return out;
  }
  // Replaces, in the common initial-data file, the 区分 of item nItem.
  void SetKubun(int nItem, int nKubun) {
    const std::string strPath = m_strRoot + "/QT10ToRX16_G_common_init.dat";
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    in.close();
    std::string strData = text.str();
    // The definitions follow the terminator line; 区分 is the fourth field.
    std::size_t nAt = strData.find("\n-1,");
    nAt = strData.find("\n" + std::to_string(nItem) + ",", nAt);
    ASSERT_NE(std::string::npos, nAt);
    for (int nField = 0; nField < 3; ++nField) nAt = strData.find(',', nAt) + 1;
    strData.replace(nAt, strData.find(',', nAt) - nAt, std::to_string(nKubun));
    std::ofstream(strPath, std::ios::binary | std::ios::trunc) << strData;
  }

  static constexpr const char* kCondition = "\"00000001\",4,3,1,0,\"\"\n";
};

TEST_F(ItemPagesTest, CaptionsAndTipsComeFromTheDefinitionsAndMatches) {
  OpenBooks("00000001");  // no net-assets section
  // Item 2: two accounts in match order and one code without a title.
  WriteEnv(std::string(kCondition) + "2,402,2\n2,401,2\n2,999,2\n21,101,1\n");
  EXPECT_EQ(0, RunSheet("key F6\ndump\nkey F6\ndump\nkey ESC\n"));
  const std::string& t = Transcript();
  EXPECT_NE(std::string::npos, t.find(Control("1134", "static", U8(u8"資本の部合計")))) << t;
  EXPECT_NE(std::string::npos, t.find(Control("1101", "button", U8(u8"うち兼業売上(収入)高"))));
  EXPECT_NE(std::string::npos, t.find(Control("1100", "static", U8(u8"売上(収入)高"))));
  EXPECT_NE(std::string::npos, t.find(Control("1142", "button", U8(u8"肥料・農薬費"))));
  EXPECT_NE(std::string::npos, t.find(Tip("1101", U8(u8"加工品売上高, 農産物売上高"))));
  EXPECT_NE(std::string::npos, t.find(Tip("1120", U8(u8"現金"))));
  const std::string strNone = U8(u8"集約されている科目は有りません。");
  EXPECT_NE(std::string::npos, t.find(Tip("1103", strNone)));
  EXPECT_NE(std::string::npos, t.find(Tip("1136", strNone)));
  // Headings carry no tip.
  EXPECT_EQ(std::string::npos, t.find("tip\t1100\t"));
}

TEST_F(ItemPagesTest, NetAssetsBooksCaptionTheCapitalTotalAsNetAssets) {
  OpenBooks("00000003");
  EXPECT_EQ(0, RunSheet("key F6\ndump\nkey ESC\n"));
  EXPECT_NE(std::string::npos, Transcript().find(Control("1134", "static", U8(u8"純資産の部合計"))))
      << Transcript();
}

TEST_F(ItemPagesTest, DefinitionsOfTheWrongClassStopPage2AndAreSkippedOnPage3) {
  SetKubun(5, 12);
  SetKubun(37, 1);
  OpenBooks("00000001");
  EXPECT_EQ(0, RunSheet("key F6\ndump\nkey F6\ndump\nkey ESC\n"));
  const std::string& t = Transcript();
  EXPECT_NE(std::string::npos, t.find(Control("1103", "button", U8(u8"期首棚卸高")))) << t;
  EXPECT_NE(std::string::npos, t.find(Control("1104", "button", U8(u8"地代家賃・租税公課"))));
  EXPECT_NE(std::string::npos, t.find(Control("1120", "button", U8(u8"地代家賃・租税公課"))));
  EXPECT_NE(std::string::npos, t.find(Control("1134", "static", U8(u8"資本の部合計"))));
  EXPECT_NE(std::string::npos, t.find(Control("1138", "button", U8(u8"うち兼業売上高"))));
  EXPECT_NE(std::string::npos, t.find(Control("1140", "button", U8(u8"外注費"))));
}

TEST_F(ItemPagesTest, MappingAnUnmappedItemPutsItsMatchesAtTheFront) {
  OpenBooks("00000001");
  WriteEnv(std::string(kCondition) + "2,402,2\n21,101,1\n36,401,2\n");
  // Item 22 (受取手形) takes account number 1100: account 105 only.
  EXPECT_EQ(1, RunSheet("key F6\nclick 1121\nexpect map\ndump\ntick code=105\nclick 1000\n"
                        "dump\nkey F8\n"));
  const std::string& t = Transcript();
  EXPECT_NE(std::string::npos, t.find(Event({"open", "map", U8(u8"集約科目対応設定")})));
  EXPECT_NE(std::string::npos,
            t.find(Event({"row", "1017", "0", "0", "105", "105", U8(u8"受取手形")})))
      << t;
  EXPECT_EQ(std::string::npos, t.find("row\t1017\t1\t"));
  // The tooltip follows the new match.
  EXPECT_NE(std::string::npos, t.find(Tip("1121", U8(u8"受取手形"))));
  EXPECT_EQ((std::vector<std::string>{"22,105,1", "2,402,2", "21,101,1", "36,401,2", "0,0,0"}),
            Matches(m_arMatch));
  const std::string strEnv = ReadEnv();
  EXPECT_EQ("22,105,1\n2,402,2\n21,101,1\n36,401,2\n", strEnv.substr(strEnv.find('\n') + 1));
}

TEST_F(ItemPagesTest, ConfirmingReplacesTheItemsLastBlockInPlace) {
  OpenBooks("00000001");
  WriteEnv(std::string(kCondition) + "21,101,1\n2,402,2\n21,102,1\n36,401,2\n");
  // Item 21 (現金預金, 1000-1030): untick 101, tick 103.
  EXPECT_EQ(1,
            RunSheet("key F6\nclick 1120\nuntick code=101\ntick code=103\nclick 1000\nkey F8\n"));
  EXPECT_EQ((std::vector<std::string>{"2,402,2", "21,102,1", "21,103,1", "36,401,2", "0,0,0"}),
            Matches(m_arMatch));
}

TEST_F(ItemPagesTest, TickingTogglingAndCancellingLeavesTheMatchesUnchanged) {
  OpenBooks("00000001");
  // 112 (仮払金) is hidden and outside item 21's range: the list starts
  // widened, and still never shows it.
  const std::string strMatches = "21,101,1\n21,112,1\n36,401,2\n";
  WriteEnv(kCondition + strMatches);
  EXPECT_EQ(1, RunSheet("key F6\nclick 1120\ndump\ntick code=102\nclick 1026\ndump\n"
                        "untick code=101\nclick 1026\ndump\nkey ESC\nkey F8\n"));
  const std::string& t = Transcript();
  EXPECT_NE(std::string::npos, t.find(Event({"control", "1026", "checkbox", "1", "1", "1",
                                             U8(u8"全ての科目から選択する(&A)")})))
      << t;
  EXPECT_NE(std::string::npos, t.find(Event({"control", "1026", "checkbox", "1", "1", "0",
                                             U8(u8"全ての科目から選択する(&A)")})));
  EXPECT_EQ(std::string::npos, t.find("\t112\t112\t"));
  // Marks survive the toggles: 102 stays ticked in the narrowed list.
  EXPECT_NE(std::string::npos,
            t.find(Event({"row", "1017", "1", "1", "102", "102", U8(u8"当座預金")})));
  EXPECT_NE(std::string::npos, t.find(Event({"close", "map", "cancel"})));
  EXPECT_EQ((std::vector<std::string>{"21,101,1", "21,112,1", "36,401,2", "0,0,0"}),
            Matches(m_arMatch));
  const std::string strEnv = ReadEnv();
  EXPECT_EQ(strMatches, strEnv.substr(strEnv.find('\n') + 1));

  // Confirmed without changes, the hidden account's match survives.
  EXPECT_EQ(1, RunSheet("key F6\nclick 1120\nclick 1000\nkey F8\n"));
  EXPECT_EQ((std::vector<std::string>{"21,101,1", "21,112,1", "36,401,2", "0,0,0"}),
            Matches(m_arMatch));
}

TEST_F(ItemPagesTest, MonthlyItemsMapOnThePageOfTheirOwn) {
  OpenBooks("00000001");
  WriteEnv(std::string(kCondition) + "36,401,2\n");
  // Item 41 (作業受託収入) takes account number 4020: account 403.
  EXPECT_EQ(1, RunSheet("key F6\nkey F6\nexpect page 4941\nclick 1139\ntick code=403\n"
                        "key F8\nkey F8\n"));
  EXPECT_EQ((std::vector<std::string>{"41,403,2", "36,401,2", "0,0,0"}), Matches(m_arMatch));
}

}  // namespace
}  // namespace wizardtest
