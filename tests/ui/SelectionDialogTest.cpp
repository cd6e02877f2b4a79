// The data-set and member selection dialogs over a scratch installation's
// management database, driven by scripts.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "CAccSelDlg.h"
#include "CConv.h"
#include "CJetAccess.h"
#include "CMembSelDlg.h"
#include "CSemaFile.h"
#include "CUiInput.h"
#include "LedgerFixture.h"
#include "LedgerSel.h"
#include "UiTestSupport.h"

using uitest::Cp;
using uitest::U8;

namespace {

class SelectionDialogTest : public ledgertest::LedgerFixture {
 protected:
  void SetUp() override {
    LedgerFixture::SetUp();
    m_backend.Transcript().UseBuffer();
    m_pOld = SetUiBackend(&m_backend);
    const std::vector<CBooksDatabase::Journal> none;
    auto a = Company(U8(u8"農場Ａ").c_str(), 2016, 4, 1, 2017, 3, 31);
    ASSERT_TRUE(cp932::FromUtf8(U8(u8"農場Ａ"), a.strName));
    auto b = a;
    ASSERT_TRUE(cp932::FromUtf8(U8(u8"農場Ｂ"), b.strName));
    b.nStartYear = b.nEndYear = 2017;
    b.nStartMonth = 1;
    b.nEndMonth = 12;
    b.strDataID = "D0002";
    b.nKeiei = 2;
    m_strA = AddDataSet("a", a, none);
    m_strB = AddDataSet("b", b, none);
    Open(m_jet);
    ASSERT_TRUE(LedgerSel_InitClass(&m_jet, &m_conv));
  }
  void TearDown() override {
    SetUiBackend(m_pOld);
    LedgerFixture::TearDown();
  }
  void Script(const std::string& strUtf8) {
    CHeadlessScript script;
    CString strError;
    ASSERT_TRUE(script.Parse(strUtf8, strError)) << strError;
    m_backend.SetScript(script.Steps());
  }
  std::vector<std::string> Transcript() {
    return uitest::Lines(m_backend.Transcript().GetBuffer());
  }

  CHeadlessBackend m_backend;
  CUiBackend* m_pOld = nullptr;
  CJetAccess m_jet;
  CConv m_conv;
  std::string m_strA;
  std::string m_strB;
};

TEST_F(SelectionDialogTest, ListsTheDataSetsAndChoosesByRow) {
  Script("expect select\ndump\nchoose 1\n");
  CAccSelDlg dlg;
  EXPECT_EQ(IDOK, dlg.DoModal());
  char sz[MAX_PATH];
  dlg.GetSelectedDataPath(sz);
  EXPECT_EQ(m_strB, sz);
  EXPECT_EQ(m_strB, m_jet.GetSelectedDataPath());
  const std::vector<std::string> lines = Transcript();
  ASSERT_EQ(8u, lines.size());
  EXPECT_EQ(U8(u8"open\tselect\tデータ選択"), lines[0]);
  EXPECT_EQ(U8(u8"row\t30110\t0\t0\t0\t農場Ａ\tD0001\t2016/04/01～2017/03/31\t法人"), lines[3]);
  EXPECT_EQ(U8(u8"row\t30110\t1\t0\t0\t農場Ｂ\tD0002\t2017/01/01～2017/12/31\t個人"), lines[4]);
  EXPECT_EQ("close\tselect\tok", lines[7]);
}

TEST_F(SelectionDialogTest, ChoosesByNameAndCancelKeepsNoChoice) {
  Script(U8(u8"choose Ｂ\n"));
  {
    CAccSelDlg dlg;
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(m_strB, m_jet.GetSelectedDataPath());
  }
  ASSERT_NE(0, m_jet.SelectDataPath(""));  // back to no choice
  Script("cancel\n");
  CAccSelDlg dlg;
  EXPECT_EQ(IDCANCEL, dlg.DoModal());
  char sz[MAX_PATH];
  dlg.GetSelectedDataPath(sz);
  EXPECT_STREQ("", sz);
  // Listing the details read every data set, and left no choice behind.
  EXPECT_EQ("", m_jet.GetSelectedDataPath());
}

TEST_F(SelectionDialogTest, UnreadableListSaysSoAndCancels) {
  CJetAccess closed;
  ASSERT_TRUE(LedgerSel_InitClass(&closed, &m_conv));
  Script("choose 0\n");
  CAccSelDlg dlg;
  EXPECT_EQ(IDCANCEL, dlg.DoModal());
  const std::vector<std::string> lines = Transcript();
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ(U8(u8"msgbox\twarning\tデータ選択\tデータの一覧を読み込めませんでした。\tok\tok"),
            lines[1]);
  ASSERT_TRUE(LedgerSel_InitClass(&m_jet, &m_conv));
}

TEST_F(SelectionDialogTest, MemberStartsAtTheGivenMemberAndLocksIt) {
  ASSERT_EQ(0, m_jet.SelectDataSet(1));
  S_ENV start{};
  ASSERT_EQ(0, m_jet.ReadEnv(&start));
  ASSERT_NE(0, m_jet.SelectDataPath(""));
  Script("expect member-select\nkey ENTER\n");
  CSemaFile sema;
  CMembSelDlg dlg;
  dlg.m_pSemaFile = &sema;
  dlg.SetEnvInfo(&start);
  EXPECT_EQ(IDOK, dlg.DoModal());
  S_ENV chosen{};
  dlg.GetSelectedEnvInfo(&chosen);
  EXPECT_EQ(m_strB, chosen.szDataPath);
  EXPECT_EQ(start.nDataNo, chosen.nDataNo);
  EXPECT_TRUE(sema.IsLocked());
  EXPECT_EQ(U8(u8"open\tmember-select\t組合員選択"), Transcript()[0]);
}

TEST_F(SelectionDialogTest, MemberInUseElsewhereIsRefused) {
  CSemaFile other;
  ASSERT_TRUE(other.Lock(m_strA.c_str()));
  Script("choose 0\nchoose 1\n");
  CSemaFile sema;
  CMembSelDlg dlg;
  dlg.m_pSemaFile = &sema;
  EXPECT_EQ(IDOK, dlg.DoModal());
  EXPECT_EQ(m_strB, m_jet.GetSelectedDataPath());
  const std::vector<std::string> lines = Transcript();
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ(U8(u8"msgbox\twarning\t組合員選択\t選択した組合員のデータは他で使用中です。\tok\tok"),
            lines[1]);
}

TEST_F(SelectionDialogTest, DoubleClickedRowIsChosenAsOkChoosesIt) {
  m_backend.SetDialogCallback([](CDialog& dlg) {
    auto* pList = dynamic_cast<CListCtrl*>(CUiInput::FindControl(dlg, IDC_LEDGER_SEL_LIST));
    ASSERT_NE(nullptr, pList);
    EXPECT_FALSE(CUiInput::DoubleClickRow(*pList, 2));  // no such row
    EXPECT_TRUE(CUiInput::DoubleClickRow(*pList, 1));
  });
  {
    CAccSelDlg dlg;
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(m_strB, m_jet.GetSelectedDataPath());
  }
  // The member dialog's own checks still apply: a member in use elsewhere
  // is refused and the dialog stays open for the script.
  CSemaFile other;
  ASSERT_TRUE(other.Lock(m_strB.c_str()));
  Script("choose 0\n");
  CSemaFile sema;
  CMembSelDlg dlg;
  dlg.m_pSemaFile = &sema;
  EXPECT_EQ(IDOK, dlg.DoModal());
  EXPECT_EQ(m_strA, m_jet.GetSelectedDataPath());
  const std::vector<std::string> lines = Transcript();
  EXPECT_NE(
      lines.end(),
      std::find(
          lines.begin(), lines.end(),
          U8(u8"msgbox\twarning\t組合員選択\t選択した組合員のデータは他で使用中です。\tok\tok")));
  m_backend.SetDialogCallback(nullptr);
}

}  // namespace
