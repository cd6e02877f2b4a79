// The host's wizard sheet with three pages on the program's templates,
// driven by scripts through its buttons and the pages' keys.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "CDataExchange.h"
#include "CDataSheet.h"
#include "CDialogSub.h"
#include "CPage.h"
#include "CUiInput.h"
#include "ProgramResources.h"
#include "UiTestSupport.h"

using uitest::Cp;
using uitest::U8;

namespace {

// A page as the wizard's pages are built: a key helper turning F5, F6 and
// F8 into sheet commands, Enter handed to the helper, Esc asking first.
class TestPage : public CPage {
 public:
  explicit TestPage(UINT nID) : CPage(nID) {}

  BOOL OnInitDialog() override {
    CPropertyPage::OnInitDialog();
    m_pSub = std::make_unique<CDialogSub>(nullptr);
    SetDialogSubClass(m_pSub.get());
    if (!m_pSub->Init(this, GetTemplateID(), WM_FKEYNOTIFY, 0, 0, 0, 1, 0)) {
      CPropertyPage::OnCancel();
      return FALSE;
    }
    ++m_nInits;
    return TRUE;
  }
  BOOL OnSetActive() override {
    const int nIndex = Sheet()->GetPageIndex(this);
    Sheet()->OwnerBtnEnable(IDC_SHEET_BACK, nIndex > 0);
    Sheet()->OwnerBtnEnable(IDC_SHEET_NEXT, nIndex < Sheet()->GetPageCount() - 1);
    return CPropertyPage::OnSetActive();
  }
  LRESULT OnFKeyNotify(WPARAM wParam, LPARAM) override {
    m_keys.push_back(wParam);
    switch (wParam) {
      case VK_F5:
        if (Sheet()->GetDlgItem(IDC_SHEET_BACK)->IsWindowEnabled()) Sheet()->OwnerPrev();
        break;
      case VK_F6:
        if (Sheet()->GetDlgItem(IDC_SHEET_NEXT)->IsWindowEnabled()) Sheet()->OwnerNext();
        break;
      case VK_F8:
        Sheet()->OwnerOK();
        break;
      default:
        break;
    }
    return 0;
  }
  void OnOK() override {
    m_pSub->DialogKeyDown(VK_RETURN);
    CWnd* pFocus = CWnd::GetFocus();
    m_nFocusAfterEnter = pFocus ? pFocus->GetDlgCtrlID() : 0;
  }
  void OnCancel() override {
    if (!m_pSub->DialogKeyDown(VK_ESCAPE) || m_bClosing) return;
    const int nAnswer =
        MessageBoxA(GetSafeHwnd(), "終了しますか？", "テスト", MB_YESNO | MB_ICONQUESTION);
    if (nAnswer != IDYES) return;
    m_bClosing = TRUE;
    Sheet()->OwnerCancel();
    CPropertyPage::OnCancel();
  }
  int OnPrevOKCheck() override {
    ++m_nOkChecks;
    if (GetTemplateID() != IDD_SETGAI_P1) return 1;
    UpdateData(TRUE);
    if (GetDlgItem(1007)->GetText().empty()) {
      MessageBoxA(GetSafeHwnd(), "月度の入力に誤りがあります｡", "テスト", MB_OK | MB_ICONWARNING);
      Sheet()->SetPage(this, 1007, -1);
      return 0;
    }
    return 1;
  }

  CDataSheet* Sheet() { return static_cast<CDataSheet*>(GetParent()); }

  std::unique_ptr<CDialogSub> m_pSub;
  std::vector<WPARAM> m_keys;
  int m_nInits = 0;
  int m_nOkChecks = 0;
  int m_nFocusAfterEnter = 0;
  BOOL m_bClosing = FALSE;
};

class SheetTest : public uitest::HeadlessTest {
 protected:
  INT_PTR Run(const std::string& strScript) {
    Script(strScript);
    m_sheet.AddPage(&m_p1);
    m_sheet.AddPage(&m_p2);
    m_sheet.AddPage(&m_p3);
    return m_sheet.DoModal();
  }

  TestPage m_p1{IDD_SETGAI_P1};
  TestPage m_p2{IDD_SETGAI_P2};
  TestPage m_p3{IDD_SETGAI_P3};
  CDataSheet m_sheet{Cp(u8"事業概況書 - 集計条件").c_str()};
};

TEST_F(SheetTest, FunctionKeysAndButtonsMoveAndFinish) {
  const INT_PTR nResult =
      Run("expect sheet\n"
          "expect page 4938\n"
          "key F5\n"  // back is disabled on the first page
          "key F6\n"
          "expect page 4939\n"
          "key F5\n"
          "set 1007 \n"
          "key F8\n"
          "set 1007 3\n"
          "click 10301\n"
          "click 10301\n"
          "expect page 4941\n"
          "key F6\n"  // next is disabled on the last page
          "click 1\n");
  EXPECT_EQ(IDOK, nResult);
  const std::vector<std::string> expected{
      U8(u8"open\tsheet\t事業概況書 - 集計条件"),
      "page\t4938",
      "page\t4939",
      "page\t4938",
      U8(u8"msgbox\twarning\tテスト\t月度の入力に誤りがあります｡\tok\tok"),
      "focus\t1007",
      "page\t4939",
      "page\t4941",
      "close\tsheet\tok"};
  EXPECT_EQ(expected, Transcript());
  EXPECT_EQ((std::vector<WPARAM>{VK_F5, VK_F6, VK_F8}), m_p1.m_keys);
  EXPECT_EQ((std::vector<WPARAM>{VK_F6}), m_p3.m_keys);
  // Every created page was asked on both finishing attempts but the first,
  // which stopped at page 1.
  EXPECT_EQ(2, m_p1.m_nOkChecks);
  EXPECT_EQ(1, m_p2.m_nOkChecks);
  EXPECT_EQ(1, m_p3.m_nOkChecks);
  EXPECT_EQ(1, m_p2.m_nInits);  // created once, however often shown
  EXPECT_EQ(nullptr, m_sheet.GetSafeHwnd());
  EXPECT_FALSE(m_p1.IsCreated());
}

TEST_F(SheetTest, EnterMovesTheFocusAndKeepsTheSheetOpen) {
  const INT_PTR nResult =
      Run("set 1007 5\n"
          "key ENTER\n"
          "key F8\n");
  EXPECT_EQ(IDOK, nResult);
  EXPECT_EQ(1008, m_p1.m_nFocusAfterEnter);
}

TEST_F(SheetTest, CancelIsThePagesDecision) {
  const INT_PTR nResult = Run("key ESC\nanswer no\nclick 2\n" + U8(u8"answer yes 終了\n"));
  EXPECT_EQ(IDCANCEL, nResult);
  const std::vector<std::string> lines = Transcript();
  ASSERT_EQ(5u, lines.size());
  EXPECT_EQ(U8(u8"msgbox\tquestion\tテスト\t終了しますか？\tyesno\tno"), lines[2]);
  EXPECT_EQ(U8(u8"msgbox\tquestion\tテスト\t終了しますか？\tyesno\tyes"), lines[3]);
  EXPECT_EQ("close\tsheet\tcancel", lines[4]);
}

TEST_F(SheetTest, TheSheetsOwnButtonsAreThereAndDumped) {
  Run("dump\nset 1007 4\nclick 1\n");
  const std::vector<std::string> lines = Transcript();
  ASSERT_EQ(27u, lines.size());
  EXPECT_EQ(U8(u8"control\t10299\tbutton\t1\t1\t0\tヘルプ"), lines[2]);
  EXPECT_EQ(U8(u8"control\t10300\tbutton\t0\t1\t0\t< 戻る(F5)"), lines[3]);
  EXPECT_EQ(U8(u8"control\t10301\tbutton\t1\t1\t0\t次へ(F6) >"), lines[4]);
  EXPECT_EQ(U8(u8"control\t1\tbutton\t1\t1\t0\t完了(F8)"), lines[5]);
  EXPECT_EQ(U8(u8"control\t2\tbutton\t1\t1\t0\tｷｬﾝｾﾙ(ESC)"), lines[6]);
  // Then page 1's controls in template order.
  EXPECT_EQ(U8(u8"control\t-1\tstatic\t1\t1\t0\t事業所名"), lines[7]);
  EXPECT_EQ(U8(u8"control\t1010\tedit\t0\t1\t0\t"), lines[15]);
  EXPECT_EQ(U8(u8"control\t-1\tstatic\t1\t1\t0\t～"), lines[17]);
  EXPECT_EQ(U8(u8"control\t1006\tcheckbox\t0\t0\t0\t税込みで集計する(&A)"), lines[23]);
  EXPECT_EQ("close\tsheet\tok", lines[26]);
}

TEST_F(SheetTest, AScriptThatRunsOutCancelsWithoutThePagesHandlers) {
  EXPECT_EQ(IDCANCEL, Run("key F6\n"));
  const std::vector<std::string> expected{U8(u8"open\tsheet\t事業概況書 - 集計条件"), "page\t4938",
                                          "page\t4939", "unscripted\tsheet",
                                          "close\tsheet\tcancel"};
  EXPECT_EQ(expected, Transcript());
  EXPECT_FALSE(m_p2.m_bClosing);
}

TEST_F(SheetTest, SetPageBringsThePageForwardWithTheFocus) {
  // Finishing on page 3 with page 1's month empty goes back to page 1.
  const INT_PTR nResult =
      Run("set 1007 \n"
          "key F6\nkey F6\n"
          "key F8\n"
          "expect page 4938\n"
          "set 1007 4\n"
          "key F8\n");
  EXPECT_EQ(IDOK, nResult);
  const std::vector<std::string> lines = Transcript();
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ("page\t4938", lines[5]);
  EXPECT_EQ("focus\t1007", lines[6]);
}

TEST_F(SheetTest, TabRunsOverThePageAndThenTheSheetsButtons) {
  std::vector<int> forward;
  std::vector<int> backward;
  m_backend.SetDialogCallback([&](CDialog& dlg) {
    auto focusId = [] { return CWnd::GetFocus() ? CWnd::GetFocus()->GetDlgCtrlID() : 0; };
    const int nFirst = focusId();
    do {
      CUiInput::PressKey(dlg, VK_TAB);
      forward.push_back(focusId());
    } while (focusId() != nFirst && forward.size() < 40);
    do {
      CUiInput::PressKey(dlg, VK_TAB, MK_SHIFT);
      backward.insert(backward.begin(), focusId());
    } while (focusId() != nFirst && backward.size() < 40);
    // Tab onto the next button, then Enter pushes it.
    while (focusId() != IDC_SHEET_NEXT && forward.size() < 80) {
      CUiInput::PressKey(dlg, VK_TAB);
      forward.push_back(focusId());
    }
    CUiInput::PressKey(dlg, VK_RETURN);
  });
  EXPECT_EQ(IDOK, Run("expect page 4939\nkey F5\nset 1007 4\nkey F8\n"));
  m_backend.SetDialogCallback(nullptr);
  // Page 1's stops first, then the sheet's enabled buttons (back is
  // disabled on page 1), then round to the page again.
  ASSERT_GE(forward.size(), 6u);
  const auto itNext = std::find(forward.begin(), forward.end(), IDC_SHEET_NEXT);
  ASSERT_NE(forward.end(), itNext);
  ASSERT_LT(itNext + 3, forward.end());
  EXPECT_EQ(IDOK, *(itNext + 1));
  EXPECT_EQ(IDCANCEL, *(itNext + 2));
  EXPECT_NE(forward.end(), std::find(forward.begin(), itNext, 1007));
  EXPECT_EQ(forward.end(), std::find(forward.begin(), forward.end(), IDC_SHEET_BACK));
  // Shift+Tab goes the same round the other way.
  const std::vector<int> ring(forward.begin(),
                              forward.begin() + static_cast<long>(backward.size()));
  EXPECT_EQ(ring.size(), backward.size());
  EXPECT_EQ(std::vector<int>(ring.begin(), ring.end() - 1),
            std::vector<int>(backward.begin() + 1, backward.end()));
}

}  // namespace

namespace {

// A page whose slots say no: Esc is swallowed, Enter keeps the focus, and
// moving on skips the next page.
class RefusingPage : public TestPage {
 public:
  using TestPage::TestPage;
  int CheckEscKey() override { return m_bAllowEsc; }
  int CheckInputSimpleData() override { return 0; }
  int CheckNextPage(int nPage) override { return nPage != 1; }

  int m_bAllowEsc = 0;
};

class SheetSlotsTest : public uitest::HeadlessTest {};

TEST_F(SheetSlotsTest, PageSlotsSteerTheSheet) {
  Script("set 1007 4\nkey ENTER\nkey ESC\nclick 2\nkey F6\nexpect page 4941\n");
  RefusingPage p1{IDD_SETGAI_P1};
  TestPage p2{IDD_SETGAI_P2};
  TestPage p3{IDD_SETGAI_P3};
  CDataSheet sheet{"S"};
  sheet.AddPage(&p1);
  sheet.AddPage(&p2);
  sheet.AddPage(&p3);
  // Neither Esc nor the cancel button asked anything: the page swallowed
  // both; the script then runs out and the sheet is unscripted.
  EXPECT_EQ(IDCANCEL, sheet.DoModal());
  EXPECT_EQ(1007, p1.m_nFocusAfterEnter);
  EXPECT_FALSE(p2.IsCreated());
  EXPECT_EQ(0, p2.m_nInits);
  const std::vector<std::string> expected{"open\tsheet\tS", "page\t4938", "page\t4941",
                                          "unscripted\tsheet", "close\tsheet\tcancel"};
  EXPECT_EQ(expected, Transcript());
}

TEST_F(SheetSlotsTest, APageWithoutItsOwnCancelEndsTheSheet) {
  Script("key ESC\n");
  CPage plain{IDD_SETGAI_P3};
  CDataSheet sheet{"S"};
  sheet.AddPage(&plain);
  EXPECT_EQ(IDCANCEL, sheet.DoModal());
  EXPECT_EQ("close\tsheet\tcancel", Transcript().back());
  EXPECT_EQ(3u, Transcript().size());  // no unscripted: the page cancelled
}

}  // namespace
