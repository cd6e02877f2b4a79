// Keys pressed in the Qt windows reach the program as the window objects
// expect: function keys as the host's notification 1146, Enter and Esc
// through the dialog's own handling to OnOK/OnCancel, never around them.

#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <memory>
#include <vector>

#include "CDataSheet.h"
#include "CDialogSub.h"
#include "CEdit.h"
#include "CPage.h"
#include "CQtUiBackend.h"
#include "ProgramResources.h"
#include "QtTestSupport.h"

namespace {

using Log = std::vector<std::string>;

// A wizard page wired as the program's pages are: the key helper turns
// function keys into 1146, which drive the sheet.
class KeyPage : public CPage {
 public:
  KeyPage(UINT nIDTemplate, Log& log) : CPage(nIDTemplate), m_log(log) {}

  int m_nCancelRefusals = 0;

  BOOL OnInitDialog() override {
    CPage::OnInitDialog();
    m_pSub = std::make_unique<CDialogSub>(nullptr);
    SetDialogSubClass(m_pSub.get());
    return m_pSub->Init(this, GetTemplateID(), WM_FKEYNOTIFY, 0, 0, 0, 1, 0) ? TRUE : FALSE;
  }
  LRESULT OnFKeyNotify(WPARAM wParam, LPARAM) override {
    m_log.push_back("fkey " + std::to_string(wParam));
    auto* pSheet = dynamic_cast<CDataSheet*>(GetSheet());
    if (wParam == VK_F5) pSheet->OwnerPrev();
    if (wParam == VK_F6) pSheet->OwnerNext();
    if (wParam == VK_F8) pSheet->OwnerOK();
    return 0;
  }
  void OnOK() override {
    m_log.push_back("enter");
    m_pSub->DialogKeyDown(VK_RETURN);
  }
  void OnCancel() override {
    m_log.push_back("cancel");
    if (m_nCancelRefusals > 0) {
      --m_nCancelRefusals;
      return;
    }
    CPage::OnCancel();
  }
  BOOL OnHelpInfo(HELPINFO*) override {
    m_log.push_back("help");
    return TRUE;
  }
  void OnEditKillFocus(UINT nID) override { m_log.push_back("killfocus " + std::to_string(nID)); }
  void OnClicked(UINT nID) override { m_log.push_back("click " + std::to_string(nID)); }

 private:
  Log& m_log;
  std::unique_ptr<CDialogSub> m_pSub;
};

// The mapping dialog's key handling: F8 taken in PreTranslateMessage.
class MapDialog : public CDialog {
 public:
  explicit MapDialog(Log& log) : CDialog(IDD_SETGAI_DLG), m_log(log) {}

  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F8 && GetKeyState(VK_SHIFT) >= 0) {
      m_log.push_back("f8");
      EndDialog(IDOK);
      return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
  }
  void OnClicked(UINT nID) override { m_log.push_back("click " + std::to_string(nID)); }
  void OnCancel() override {
    m_log.push_back("cancel");
    CDialog::OnCancel();
  }

 private:
  Log& m_log;
};

class KeyRoutingTest : public QtUiTest {
 protected:
  Log m_log;
};

TEST_F(KeyRoutingTest, FunctionKeysMoveTheSheetThroughThePagesAndFinishIt) {
  KeyPage page1(IDD_SETGAI_P1, m_log);
  KeyPage page2(IDD_SETGAI_P2, m_log);
  KeyPage page3(IDD_SETGAI_P3, m_log);
  CDataSheet sheet(Cp("事業概況書 - 集計条件").c_str());
  for (KeyPage* pPage : {&page1, &page2, &page3}) sheet.AddPage(pPage);
  OnNextWindow([&](QWidget* pWindow, CDialog*) {
    QTabBar* pTabs = pWindow->findChild<QTabBar*>();
    ASSERT_NE(pTabs, nullptr);
    ASSERT_EQ(pTabs->count(), 3);
    EXPECT_EQ(pTabs->tabText(1), U("主要科目"));
    SendKey(KeyTarget(pWindow), Qt::Key_F6);
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_EQ(pTabs->currentIndex(), 1);
    EXPECT_TRUE(Backend().WidgetOf(page2)->isVisible());
    EXPECT_FALSE(Backend().WidgetOf(page1)->isVisible());
    SendKey(KeyTarget(pWindow), Qt::Key_F6);
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    SendKey(KeyTarget(pWindow), Qt::Key_F5);
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    // A tab click is a page change the sheet performs itself.
    pTabs->setCurrentIndex(0);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    SendKey(KeyTarget(pWindow), Qt::Key_F1);
    SendKey(KeyTarget(pWindow), Qt::Key_F8);
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  // Leaving the first page takes the focus from its edit.
  EXPECT_EQ(m_log, (Log{"fkey 117", "killfocus 1007", "fkey 117", "fkey 116", "help", "fkey 119"}));
}

TEST_F(KeyRoutingTest, EnterAndEscGoToThePageHandlersAndQtNeverClosesTheWindow) {
  KeyPage page1(IDD_SETGAI_P1, m_log);
  CDataSheet sheet(Cp("集計").c_str());
  sheet.AddPage(&page1);
  page1.m_nCancelRefusals = 2;
  OnNextWindow([&](QWidget* pWindow, CDialog*) {
    CWnd* pTo = page1.GetDlgItem(1007);
    auto* pEdit = qobject_cast<QLineEdit*>(Backend().WidgetOf(*pTo));
    ASSERT_NE(pEdit, nullptr);
    pTo->SetFocus();
    EXPECT_EQ(pWindow->focusWidget(), pEdit);
    // Enter in the edit: the page's OnOK moves the focus on, nothing closes.
    SendKey(pEdit, Qt::Key_Return);
    EXPECT_EQ(CWnd::GetFocus(), page1.GetDlgItem(1008));
    EXPECT_EQ(pWindow->focusWidget(), Backend().WidgetOf(*page1.GetDlgItem(1008)));
    EXPECT_FALSE(sheet.IsEnding());
    // Esc and the close box ask the page, which refuses twice.
    SendKey(KeyTarget(pWindow), Qt::Key_Escape);
    pWindow->close();
    EXPECT_FALSE(sheet.IsEnding());
    EXPECT_TRUE(pWindow->isVisible());
    SendKey(KeyTarget(pWindow), Qt::Key_Escape);
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_EQ(m_log, (Log{"enter", "killfocus 1007", "cancel", "cancel", "cancel"}));
}

TEST_F(KeyRoutingTest, MappingDialogTakesF8OnlyWithoutShiftAndEnterPressesTheDefaultButton) {
  MapDialog dlg(m_log);
  OnNextWindow([&](QWidget* pWindow, CDialog*) {
    dlg.GetDlgItem(1017)->SetFocus();
    SendKey(KeyTarget(pWindow), Qt::Key_Return);
    SendKey(KeyTarget(pWindow), Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_FALSE(dlg.IsEnding());
    SendKey(KeyTarget(pWindow), Qt::Key_F8);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(m_log, (Log{"click 1000", "f8"}));

  m_log.clear();
  MapDialog again(m_log);
  OnNextWindow([&](QWidget* pWindow, CDialog*) { SendKey(KeyTarget(pWindow), Qt::Key_Escape); });
  EXPECT_EQ(again.DoModal(), IDCANCEL);
  EXPECT_EQ(m_log, (Log{"cancel"}));
}

// Once the keyboard has been used, the button Tab reached shows it has the
// focus, and it is the one Enter then presses.
TEST_F(KeyRoutingTest, TabOntoAButtonShowsTheFocusThere) {
  CDialog dlg(IDD_SETGAI_DLG);
  OnNextWindow([&](QWidget* pWindow, CDialog*) {
    QWidget* pCancel = Backend().WidgetOf(*dlg.GetDlgItem(IDCANCEL));
    const QImage before = pCancel->grab().toImage();
    for (int i = 0; i < 5 && CWnd::GetFocus() != dlg.GetDlgItem(IDCANCEL); ++i) {
      SendKey(KeyTarget(pWindow), Qt::Key_Tab);
    }
    EXPECT_EQ(pWindow->focusWidget(), pCancel);
    EXPECT_NE(pCancel->grab().toImage(), before);
    EXPECT_TRUE(qobject_cast<QPushButton*>(pCancel)->isDefault());
    EXPECT_FALSE(
        qobject_cast<QPushButton*>(Backend().WidgetOf(*dlg.GetDlgItem(1000)))->isDefault());
    SendKey(KeyTarget(pWindow), Qt::Key_Return);
    if (!dlg.IsEnding()) dlg.EndDialog(IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(KeyRoutingTest, ClicksTypingAndFocusReachTheWindowObjects) {
  KeyPage page1(IDD_SETGAI_P1, m_log);
  CDataSheet sheet(Cp("集計").c_str());
  sheet.AddPage(&page1);
  OnNextWindow([&](QWidget* pWindow, CDialog*) {
    auto* pTo = static_cast<CEdit*>(page1.GetDlgItem(1007));
    pTo->SetLimitText(2);
    auto* pEdit = qobject_cast<QLineEdit*>(Backend().WidgetOf(*pTo));
    pEdit->clear();
    pTo->SetFocus();
    // The limit counts CP932 bytes: one kanji fills it.
    TypeKeys(pEdit, U("123"));
    EXPECT_EQ(pTo->GetText(), "12");
    pEdit->clear();
    TypeKeys(pEdit, U("月9"));
    EXPECT_EQ(pTo->GetText(), Cp("月"));
    EXPECT_EQ(pEdit->text(), U("月"));
    // A character without a CP932 form is refused, as an ANSI edit would.
    TypeKeys(pEdit, U("\U0001F600"));
    EXPECT_EQ(pTo->GetText(), Cp("月"));
    pEdit->selectAll();
    SendKey(pEdit, Qt::Key_Backspace);
    EXPECT_EQ(pTo->GetText(), "");
    // The user's focus move reports the edit's focus loss.
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), pWindow);
    Backend().WidgetOf(*page1.GetDlgItem(1008))->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(CWnd::GetFocus(), page1.GetDlgItem(1008));
    auto* pBrowse = qobject_cast<QPushButton*>(Backend().WidgetOf(*page1.GetDlgItem(1009)));
    pBrowse->click();
    // A button the program disabled cannot be clicked.
    page1.GetDlgItem(1009)->EnableWindow(FALSE);
    EXPECT_FALSE(pBrowse->isEnabled());
    pBrowse->click();
    SendKey(pWindow, Qt::Key_F8);
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(m_log, (Log{"killfocus 1007", "killfocus 1008", "click 1009", "fkey 119"}));
}

}  // namespace
