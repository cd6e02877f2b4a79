#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "BuildTipText.h"
#include "_CG_CONDITION.h"
#include "_CG_INIT_BODY.h"
#include "_CG_MATCH.h"

namespace {

// Every table entry must land on its record field, or lines fill the wrong bytes.
template <class Record>
void ExpectTableCoversRecord(const _STAFormat* pFormat, long nCount) {
  long nEnd = 0;
  for (long i = 0; i < nCount; ++i) {
    EXPECT_EQ(pFormat[i].nOffset, nEnd) << pFormat[i].szName;
    nEnd = pFormat[i].nOffset + pFormat[i].nSize;
  }
  EXPECT_EQ(nEnd, static_cast<long>(sizeof(Record)));
}

TEST(SettingsModel, FormatTablesCoverTheirRecords) {
  ExpectTableCoversRecord<_SG_CONDITION>(G_CONDITION_FORMAT, G_CONDITION_FORMAT_COUNT);
  ExpectTableCoversRecord<_SG_MATCH>(G_MATCH_FORMAT, G_MATCH_FORMAT_COUNT);
  ExpectTableCoversRecord<_SG_INIT_BODY>(G_INIT_BODY_FORMAT, G_INIT_BODY_FORMAT_COUNT);
}

TEST(SettingsModel, ConditionLineRoundTrips) {
  std::stringstream stream("\"00012345\",4,3,1,7,\"/home/u/out put,1.xml\"\n");
  _CG_CONDITION line;
  line.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_DOUBLE);
  line.Attach(&stream);
  std::memset(&line.m_rec, 0, sizeof line.m_rec);
  ASSERT_EQ(line.Read(), 0);
  EXPECT_STREQ(line.m_rec.szDataId, "00012345");
  EXPECT_EQ(int{line.m_rec.nKikanFrom}, 4);
  EXPECT_EQ(int{line.m_rec.nKikanTo}, 3);
  EXPECT_EQ(line.m_rec.nZeiShori, 1);
  EXPECT_EQ(line.m_rec.nJigyoSyubetu, 7);
  EXPECT_STREQ(line.m_rec.szOutPath, "/home/u/out put,1.xml");

  std::stringstream out;
  line.Attach(&out);
  ASSERT_EQ(line.Write(), 0);
  EXPECT_EQ(out.str(), stream.str());
}

TEST(SettingsModel, ItemLineKeepsFieldLimits) {
  // 35 bytes of name: the first 30 are kept, without the rest spilling over.
  std::stringstream stream("7,ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567,1,12,'5100+5110',,TUKI\n1,x\n");
  _CG_INIT_BODY body;
  body.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  body.Attach(&stream);
  std::memset(&body.m_rec, 0, sizeof body.m_rec);
  ASSERT_EQ(body.Read(), 0);
  EXPECT_EQ(int{body.m_rec.nGaiNo}, 7);
  EXPECT_STREQ(body.m_rec.szGaiName, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
  EXPECT_EQ(body.m_rec.nTaisyaku, 1);
  EXPECT_EQ(body.m_rec.nKubun, 12);
  EXPECT_STREQ(body.m_rec.szSeikaku, "5100+5110");
  EXPECT_STREQ(body.m_rec.szKeisan, "");
  EXPECT_STREQ(body.m_rec.szTag, "TUKI");
  EXPECT_EQ(body.Read(), 2);  // too few fields
}

TEST(SettingsModel, MatchFieldsAreRequired) {
  std::stringstream stream("1,811,1\n1,811,\n");
  _CG_MATCH match;
  match.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  match.Attach(&stream);
  EXPECT_EQ(match.Read(), 0);
  EXPECT_EQ(int{match.m_rec.nBokiCode}, 811);
  EXPECT_EQ(match.Read(), 2);
  EXPECT_EQ(match.Read(), 1);
}

S_KANKAMOKU Kamoku(std::int16_t nCode, const char* pszName) {
  S_KANKAMOKU kamoku{};
  kamoku.nKamokuCode = nCode;
  std::strcpy(kamoku.szKamokuName, pszName);
  return kamoku;
}

TEST(SettingsModel, TipTextListsMatchedAccountsInMatchOrder) {
  const CArray<S_KANKAMOKU, S_KANKAMOKU> arKamoku = {Kamoku(101, "現金"), Kamoku(103, "普通預金"),
                                                     Kamoku(601, "役員報酬")};
  const CArray<_SG_MATCH, _SG_MATCH> arMatch = {
      {21, 103, 1}, {12, 601, 1}, {21, 101, 1}, {21, 999, 1}, {0, 0, 0}};

  CString str;
  BuildTipText(str, 21, arKamoku, arMatch);
  EXPECT_EQ(str, "普通預金, 現金");  // code 999 has no title and adds nothing

  str.clear();
  BuildTipText(str, 22, arKamoku, arMatch);
  EXPECT_EQ(str, "集約されている科目は有りません。");

  str.clear();
  BuildTipText(str, 12, arKamoku, arMatch);
  EXPECT_EQ(str, "役員報酬");
}

TEST(SettingsModel, TipTextStopsAtTheNameField) {
  S_KANKAMOKU kamoku = Kamoku(5, "");
  std::memset(kamoku.szKamokuName, 'A', sizeof kamoku.szKamokuName);  // no terminator
  CString str;
  BuildTipText(str, 1, {kamoku}, {{1, 5, 1}});
  EXPECT_EQ(str, std::string(sizeof kamoku.szKamokuName, 'A'));
}

}  // namespace
