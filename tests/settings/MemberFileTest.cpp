// The cooperative edition's member environment file.

#include "SettingsFixture.h"

namespace {

class MemberFile : public SettingsFixture {
 protected:
  // The member file has the environment file's name, in a folder of its own.
  void SetUp() override {
    SettingsFixture::SetUp();
    std::filesystem::create_directory(m_strDir + "member");
  }
  CSetGaiFile Coop() {
    CSetGaiFile files = Files(TRUE);
    files.m_strMemberEnv = Member();
    return files;
  }
  static std::string FirstLine(const CString& strPath) {
    const std::string data = ReadFile(strPath);
    return data.substr(0, data.find('\n') + 1);
  }
  CString Member() const { return m_strDir + "member/KP10ToRX16_G.env"; }
  static _SG_CONDITION Cond(const char* pszId, const char* pszPath) {
    _SG_CONDITION cond{};
    std::strcpy(cond.szDataId, pszId);
    cond.nKikanFrom = 4;
    cond.nKikanTo = 3;
    cond.nZeiShori = 1;
    std::strcpy(cond.szOutPath, pszPath);
    return cond;
  }
};

TEST_F(MemberFile, PosixPathsRoundTripAndKeysDoNotOverlap) {
  CSetGaiFile files = Coop();
  ASSERT_EQ(files.WriteMemberCondition(Cond("112", "/home/u/a.xml")), 1);
  ASSERT_EQ(files.WriteMemberCondition(Cond("12", "/home/u/出力/b.xml")), 1);
  EXPECT_EQ(ReadFile(Member()), "112:4/3/1/0//home/u/a.xml\n12:4/3/1/0//home/u/出力/b.xml\n");

  _SG_CONDITION cond{};
  std::strcpy(cond.szDataId, "12");
  ASSERT_EQ(files.ReadMemberCondition(cond), 1);
  EXPECT_STREQ(cond.szOutPath, "/home/u/出力/b.xml");
  EXPECT_EQ(int{cond.nKikanFrom}, 4);
  EXPECT_EQ(int{cond.nKikanTo}, 3);
  EXPECT_EQ(cond.nZeiShori, 1);
  std::strcpy(cond.szDataId, "2");
  EXPECT_EQ(files.ReadMemberCondition(cond), 0);

  // Rewriting a member moves its line to the end and keeps the others.
  ASSERT_EQ(files.WriteMemberCondition(Cond("112", "/x.xml")), 1);
  EXPECT_EQ(ReadFile(Member()), "12:4/3/1/0//home/u/出力/b.xml\n112:4/3/1/0//x.xml\n");
  EXPECT_EQ(Listing(), (std::vector<std::string>{"member"}));
  EXPECT_FALSE(std::filesystem::exists(Member() + ".tmp"));
}

TEST_F(MemberFile, MalformedLinesAreSkippedAndKept) {
  WriteFile(Member(), "7:1/2\n7:5/6/1/9/C:\\old.xml\r\n8:1/2/0/0/tail-without-lf");
  CSetGaiFile files = Coop();
  _SG_CONDITION cond{};
  std::strcpy(cond.szDataId, "7");
  ASSERT_EQ(files.ReadMemberCondition(cond), 1);
  EXPECT_EQ(int{cond.nKikanFrom}, 5);
  EXPECT_EQ(cond.nJigyoSyubetu, 9);
  EXPECT_STREQ(cond.szOutPath, "C:\\old.xml");
  std::strcpy(cond.szDataId, "8");
  EXPECT_EQ(files.ReadMemberCondition(cond), 0);

  ASSERT_EQ(files.WriteMemberCondition(Cond("9", "/n.xml")), 1);
  EXPECT_EQ(ReadFile(Member()),
            "7:1/2\n7:5/6/1/9/C:\\old.xml\r\n8:1/2/0/0/tail-without-lf\n9:4/3/1/0//n.xml\n");
  // Every line of a member goes when it is rewritten, the broken one too.
  ASSERT_EQ(files.WriteMemberCondition(Cond("7", "/s.xml")), 1);
  EXPECT_EQ(ReadFile(Member()), "8:1/2/0/0/tail-without-lf\n9:4/3/1/0//n.xml\n7:4/3/1/0//s.xml\n");
}

TEST_F(MemberFile, CooperativeLoadAndSave) {
  CSetGaiFile files = Coop();
  // A member without a line: everything but the data ID stays cleared, tax too.
  ASSERT_EQ(files.LoadSettings(m_strDir, m_cond, m_arMatch, m_arInitBody), 1);
  EXPECT_STREQ(m_cond.szDataId, "00012345");
  EXPECT_EQ(m_cond.nZeiShori, 0);
  EXPECT_EQ(FirstLine(m_strDir + "KP10ToRX16_G.env"), "\"00012345\",0,0,1,0,\"\"\n");

  // Both files carry the same record; the member file's values win on load.
  m_cond.nKikanTo = 12;
  std::strcpy(m_cond.szOutPath, "/o/out.xml");
  ASSERT_EQ(files.SaveSettings(m_strDir, "KP10ToRX16_G.env", m_cond, FALSE, "", m_arMatch), 1);
  EXPECT_EQ(FirstLine(m_strDir + "KP10ToRX16_G.env"), "\"00012345\",0,12,0,0,\"/o/out.xml\"\n");
  _SG_CONDITION loaded{};
  ASSERT_EQ(files.LoadSettings(m_strDir, loaded, m_arMatch, m_arInitBody), 1);
  EXPECT_EQ(std::memcmp(&loaded, &m_cond, sizeof loaded), 0);
}

TEST_F(MemberFile, UnwritableMemberFileDoesNotFailTheSave) {
  CSetGaiFile files = Coop();
  files.m_strMemberEnv = m_strDir + "missing/KP10ToRX16_G.env";
  ASSERT_EQ(files.LoadSettings(m_strDir, m_cond, m_arMatch, m_arInitBody), 1);
  EXPECT_EQ(files.WriteMemberCondition(m_cond), 0);
  EXPECT_EQ(files.SaveSettings(m_strDir, "KP10ToRX16_G.env", m_cond, FALSE, "", m_arMatch), 1);
  EXPECT_TRUE(m_arMessages.empty());
  // A folder in the member file's place is no file to read or replace.
  std::filesystem::create_directories(m_strDir + "dir.env/inside");
  files.m_strMemberEnv = m_strDir + "dir.env";
  EXPECT_EQ(files.ReadMemberCondition(m_cond), 0);
  EXPECT_EQ(files.WriteMemberCondition(m_cond), 0);
  // A path that would break the line is never written.
  files = Coop();
  EXPECT_EQ(files.WriteMemberCondition(Cond("5", "/a\nb")), 0);
  EXPECT_FALSE(std::filesystem::exists(Member()));
}

}  // namespace
