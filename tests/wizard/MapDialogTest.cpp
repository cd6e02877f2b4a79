// The mapping dialog on its own, over a small chart: which accounts each
// 科目性格 text offers, the initial state of the widening check
// box and how the ticks fold back into the item's matches.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "CButton.h"
#include "CHeadlessBackend.h"
#include "CSetGaiDlg.h"
#include "CUiInput.h"
#include "ProgramResources.h"

namespace {

S_KANKAMOKU Kamoku(short nCode, int nNo, const char* pszName, std::uint8_t bySide,
                   std::uint8_t byHide = 0) {
  S_KANKAMOKU k{};
  k.nKamokuCode = nCode;
  k.nKamokuNo = nNo;
  std::strcpy(k.szKamokuName, pszName);
  std::strcpy(k.szDispName, pszName);
  k.byTaisyaku = bySide;
  k.byHide = byHide;
  return k;
}

class MapDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterProgramResources();
    m_backend.Transcript().UseBuffer();
    m_pOld = SetUiBackend(&m_backend);
    m_arKamoku = {
        Kamoku(10, 0, "番号なし", 1),     Kamoku(11, 4111, "売上一", 2),
        Kamoku(12, 4112, "売上二", 2),    Kamoku(13, 4120, "売上三", 2),
        Kamoku(14, 4199, "売上四", 2),    Kamoku(15, 4200, "雑収入", 2),
        Kamoku(16, 4150, "仮受金", 2, 1), Kamoku(17, 5000, "仕入", 1),
    };
  }
  void TearDown() override { SetUiBackend(m_pOld); }

  // Shows the dialog for an item with that 科目性格; act sees it open.
  INT_PTR Show(const char* pszSpec, const std::function<void(CSetGaiDlg&)>& act) {
    CSetGaiDlg dlg(nullptr);
    dlg.m_body.nGaiNo = 7;
    std::strcpy(dlg.m_body.szGaiName, "外注費");
    std::strcpy(dlg.m_body.szSeikaku, pszSpec);
    dlg.m_pKamoku = &m_arKamoku;
    dlg.m_pWork = &m_arWork;
    int nShown = 0;
    m_backend.SetDialogCallback([&](CDialog& shown) {
      ++nShown;
      auto* pDlg = dynamic_cast<CSetGaiDlg*>(&shown);
      ASSERT_NE(nullptr, pDlg);
      act(*pDlg);
    });
    const INT_PTR nResult = dlg.DoModal();
    EXPECT_EQ(1, nShown);
    return nResult;
  }

  // The account codes of the rows, with a "*" after a ticked one.
  static std::vector<std::string> Rows(CSetGaiDlg& dlg) {
    std::vector<std::string> rows;
    for (int i = 0; i < dlg.m_list.GetItemCount(); ++i) {
      rows.push_back(dlg.m_list.GetItemText(i, 0) + (dlg.m_list.GetCheck(i) ? "*" : ""));
    }
    return rows;
  }

  static BOOL AllChecked(CSetGaiDlg& dlg) {
    return dlg.IsDlgButtonChecked(CSetGaiDlg::IDC_ALL) == BST_CHECKED;
  }

  static void Click(CSetGaiDlg& dlg, int nID) {
    CWnd* pWnd = dlg.GetDlgItem(nID);
    ASSERT_NE(nullptr, pWnd);
    ASSERT_TRUE(CUiInput::Click(*pWnd));
  }

  static int RowOf(CSetGaiDlg& dlg, const char* pszCode) {
    for (int i = 0; i < dlg.m_list.GetItemCount(); ++i) {
      if (dlg.m_list.GetItemText(i, 0) == pszCode) return i;
    }
    return -1;
  }

  CHeadlessBackend m_backend;
  CUiBackend* m_pOld = nullptr;
  CArray<S_KANKAMOKU, S_KANKAMOKU> m_arKamoku;
  CArray<_SG_MATCH, _SG_MATCH> m_arWork;
};

using RowList = std::vector<std::string>;

TEST_F(MapDialogTest, KamokuSeikakuDecidesTheCandidates) {
  struct Case {
    const char* pszSpec;
    BYTE nMode;
    RowList rows;
  };
  const Case cases[] = {
      {"4111", CSetGaiDlg::SPEC_SINGLE, {"11"}},
      {"4111+4112+4120", CSetGaiDlg::SPEC_LIST, {"11", "12", "13"}},
      {"4111-4199", CSetGaiDlg::SPEC_RANGE, {"11", "12", "13", "14"}},
      {"ALL", CSetGaiDlg::SPEC_ALL, {"10", "11", "12", "13", "14", "15", "17"}},
      // A trailing plus adds an empty token, whose value 0 matches too.
      {"4111+", CSetGaiDlg::SPEC_LIST, {"10", "11"}},
      // A marker at the start does not count.
      {"+4111", CSetGaiDlg::SPEC_SINGLE, {"11"}},
      // A number listed twice gives two rows.
      {"4112+4112", CSetGaiDlg::SPEC_LIST, {"12", "12"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszSpec);
    Show(c.pszSpec, [&](CSetGaiDlg& dlg) {
      EXPECT_EQ(c.nMode, dlg.m_nSpecMode);
      EXPECT_EQ(c.rows, Rows(dlg));
      EXPECT_FALSE(AllChecked(dlg));
      EXPECT_EQ("外注費", dlg.GetDlgItem(CSetGaiDlg::IDC_ITEM_NAME)->GetText());
    });
  }
}

TEST_F(MapDialogTest, WideningListsEveryAccountButTheHiddenOne) {
  Show("4111", [&](CSetGaiDlg& dlg) {
    Click(dlg, CSetGaiDlg::IDC_ALL);
    EXPECT_EQ((RowList{"10", "11", "12", "13", "14", "15", "17"}), Rows(dlg));
    Click(dlg, CSetGaiDlg::IDC_ALL);
    EXPECT_EQ((RowList{"11"}), Rows(dlg));
  });
}

TEST_F(MapDialogTest, InitialWideningFollowsTheExistingMatches) {
  // All matches inside the range: the own candidates suffice.
  m_arWork = {{7, 12, 2}, {7, 14, 2}};
  Show("4111-4199", [&](CSetGaiDlg& dlg) {
    EXPECT_FALSE(AllChecked(dlg));
    EXPECT_EQ((RowList{"11", "12*", "13", "14*"}), Rows(dlg));
  });
  // One match outside: the list starts widened.
  m_arWork = {{7, 12, 2}, {7, 17, 1}};
  Show("4111-4199", [&](CSetGaiDlg& dlg) {
    EXPECT_TRUE(AllChecked(dlg));
    EXPECT_EQ((RowList{"10", "11", "12*", "13", "14", "15", "17*"}), Rows(dlg));
  });
  // An "ALL" item with a match to an existing account starts widened; a
  // match whose account is gone does not count.
  m_arWork = {{7, 99, 2}};
  Show("ALL", [&](CSetGaiDlg& dlg) { EXPECT_FALSE(AllChecked(dlg)); });
  m_arWork = {{7, 99, 2}, {7, 15, 2}};
  Show("ALL", [&](CSetGaiDlg& dlg) { EXPECT_TRUE(AllChecked(dlg)); });
}

TEST_F(MapDialogTest, SettingFoldsTicksIntoTheMatchesInCodeOrder) {
  // 16 is hidden: its match survives because it has no row.
  m_arWork = {{7, 11, 2}, {7, 16, 2}, {7, 14, 2}};
  const INT_PTR nResult = Show("4111-4199", [&](CSetGaiDlg& dlg) {
    ASSERT_TRUE(CUiInput::SetRowCheck(dlg.m_list, RowOf(dlg, "11"), FALSE));
    ASSERT_TRUE(CUiInput::SetRowCheck(dlg.m_list, RowOf(dlg, "13"), TRUE));
    Click(dlg, CSetGaiDlg::IDC_SETTING);
  });
  EXPECT_EQ(IDOK, nResult);
  ASSERT_EQ(3u, m_arWork.size());
  // 11 is gone; 13 goes before the first larger code, which is 16.
  EXPECT_EQ(13, int{m_arWork[0].nBokiCode});
  EXPECT_EQ(16, int{m_arWork[1].nBokiCode});
  EXPECT_EQ(14, int{m_arWork[2].nBokiCode});
  EXPECT_EQ(7, int{m_arWork[0].nGaiNo});
  EXPECT_EQ(2, int{m_arWork[0].nTaisyaku});
}

TEST_F(MapDialogTest, F8ConfirmsOnlyWithoutModifiers) {
  m_arWork.clear();
  const INT_PTR nResult = Show("4111", [&](CSetGaiDlg& dlg) {
    ASSERT_TRUE(CUiInput::SetRowCheck(dlg.m_list, 0, TRUE));
    ASSERT_TRUE(CUiInput::PressKey(dlg, VK_F8, MK_SHIFT));
    EXPECT_FALSE(dlg.IsEnding());
    ASSERT_TRUE(CUiInput::PressKey(dlg, VK_F8));
  });
  EXPECT_EQ(IDOK, nResult);
  ASSERT_EQ(1u, m_arWork.size());
  EXPECT_EQ(11, int{m_arWork[0].nBokiCode});
}

TEST_F(MapDialogTest, TogglingKeepsTicksAndCancelEndsWithCancel) {
  m_arWork = {{7, 11, 2}};
  const INT_PTR nResult = Show("4111+4112", [&](CSetGaiDlg& dlg) {
    ASSERT_TRUE(CUiInput::SetRowCheck(dlg.m_list, RowOf(dlg, "12"), TRUE));
    Click(dlg, CSetGaiDlg::IDC_ALL);
    EXPECT_EQ((RowList{"10", "11*", "12*", "13", "14", "15", "17"}), Rows(dlg));
    ASSERT_TRUE(CUiInput::PressKey(dlg, VK_ESCAPE));
  });
  EXPECT_EQ(IDCANCEL, nResult);
}

// An account ticked in the widened list stays in view when the list narrows
// again; reopened, the dialog starts widened on that row.
TEST_F(MapDialogTest, AnAccountTickedInTheWideListStaysAndTheDialogReopensOnIt) {
  Show("4111+4112", [&](CSetGaiDlg& dlg) {
    EXPECT_EQ(-1, dlg.m_list.GetNextItem(-1, LVNI_SELECTED)) << "nothing ticked, nothing picked";
    Click(dlg, CSetGaiDlg::IDC_ALL);
    ASSERT_TRUE(CUiInput::SetRowCheck(dlg.m_list, RowOf(dlg, "17"), TRUE));
    Click(dlg, CSetGaiDlg::IDC_ALL);
    EXPECT_EQ((RowList{"11", "12", "17*"}), Rows(dlg));
    Click(dlg, CSetGaiDlg::IDC_SETTING);
  });
  ASSERT_EQ(1u, m_arWork.size());
  Show("4111+4112", [&](CSetGaiDlg& dlg) {
    EXPECT_TRUE(AllChecked(dlg));
    EXPECT_EQ(RowOf(dlg, "17"), dlg.m_list.GetNextItem(-1, LVNI_SELECTED));
    EXPECT_EQ(dlg.m_list.GetDlgCtrlID(), CWnd::GetFocus()->GetDlgCtrlID());
    ASSERT_TRUE(CUiInput::PressKey(dlg, VK_ESCAPE));
  });
}

}  // namespace
