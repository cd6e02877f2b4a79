// The settings sheet in Qt windows on the sample books, used with the keys
// and the mouse as a person uses it: each page, the mapping dialog behind
// an item button, the sheet's buttons reached by Tab, and what the saved
// environment file holds afterwards.

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>
#include <deque>
#include <functional>

#include "CAccSelDlg.h"
#include "CConv.h"
#include "CDataSheet.h"
#include "CPropertySheet.h"
#include "CSetGaiDlg.h"
#include "CUiInput.h"
#include "LedgerSel.h"
#include "QtTestSupport.h"
#include "WizardFixture.h"

namespace wizardtest {
namespace {

// The Qt backend the uiqt tests share, reached from this fixture.
struct QtBackendAccess : QtUiTest {
  using QtUiTest::Backend;
};

class WizardQtTest : public WizardFixture {
 protected:
  using Action = std::function<void(QWidget* pWindow, CDialog* pDlg)>;

  void SetUp() override {
    WizardFixture::SetUp();
    SetUiBackend(&Qt());
    Qt().SetShownHook([this](QWidget* pWindow, CDialog* pDlg) {
      if (m_actions.empty()) {
        ADD_FAILURE() << "unexpected window: " << pWindow->windowTitle().toStdString();
        if (pDlg) {
          pDlg->EndDialog(IDCANCEL);
        } else if (auto* pBox = qobject_cast<QDialog*>(pWindow)) {
          pBox->reject();
        }
        return;
      }
      Action action = std::move(m_actions.front());
      m_actions.pop_front();
      action(pWindow, pDlg);
      // An action that failed to close its window must not hang the test.
      if (pDlg && !pDlg->IsEnding()) {
        ADD_FAILURE() << "still open: " << pWindow->windowTitle().toStdString();
        pDlg->EndDialog(IDCANCEL);
      }
    });
  }
  void TearDown() override {
    EXPECT_TRUE(m_actions.empty()) << m_actions.size() << " window(s) never showed";
    Qt().SetShownHook(nullptr);
    WizardFixture::TearDown();
  }

  static CQtUiBackend& Qt() { return QtBackendAccess::Backend(); }
  void OnNextWindow(Action action) { m_actions.push_back(std::move(action)); }
  // The next message box must say strText; the button captioned strButton
  // answers it.
  void AnswerNext(const char* pszText, const char* pszButton) {
    OnNextWindow([pszText, pszButton](QWidget* pWindow, CDialog*) {
      auto* pBox = qobject_cast<QMessageBox*>(pWindow);
      ASSERT_NE(nullptr, pBox);
      EXPECT_EQ(U(pszText), pBox->text());
      for (QAbstractButton* pButton : pBox->buttons()) {
        if (pButton->text() == U(pszButton)) return pButton->click();
      }
      ADD_FAILURE() << "no button " << pszButton;
      pBox->reject();
    });
  }

  // The user-reachable control nID of the dialog on top, its widget.
  static CWnd* Ctl(CDialog* pDlg, int nID) { return CUiInput::FindControl(*pDlg, nID); }
  static QWidget* Widget(CDialog* pDlg, int nID) {
    CWnd* pWnd = Ctl(pDlg, nID);
    return pWnd ? Qt().WidgetOf(*pWnd) : nullptr;
  }
  static int FocusId() { return CWnd::GetFocus() ? CWnd::GetFocus()->GetDlgCtrlID() : 0; }
  static UINT ActiveTemplate(CDialog* pDlg) {
    CPropertyPage* pPage = static_cast<CPropertySheet*>(pDlg)->GetActivePage();
    return pPage ? pPage->GetTemplateID() : 0;
  }
  // Tab (or Shift+Tab) until the focus is on nID; FALSE after a full round.
  static BOOL TabTo(QWidget* pWindow, int nID, BOOL bBack = FALSE) {
    for (int i = 0; i < 40 && FocusId() != nID; ++i) {
      SendKey(KeyTarget(pWindow), bBack ? Qt::Key_Backtab : Qt::Key_Tab,
              bBack ? Qt::ShiftModifier : Qt::NoModifier);
    }
    return FocusId() == nID;
  }
  std::string FirstEnvLine() const {
    const std::string strEnv = ReadEnv();
    std::string strLine = strEnv.substr(0, strEnv.find('\n'));
    if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
    return strLine;
  }

 private:
  std::deque<Action> m_actions;
};

TEST_F(WizardQtTest, KeysMoveThroughThePagesMapAnItemAndFinish) {
  OpenBooks("00000001");
  WriteEnv("\"00000001\",4,3,1,0,\"\"\n2,402,2\n21,101,1\n36,401,2\n");
  OnNextWindow([&](QWidget* pWindow, CDialog* pSheet) {
    EXPECT_EQ(U("事業概況書 - 集計条件"), pWindow->windowTitle());
    QTabBar* pTabs = pWindow->findChild<QTabBar*>();
    ASSERT_NE(nullptr, pTabs);
    EXPECT_EQ(3, pTabs->count());
    ASSERT_EQ(UINT{4938}, ActiveTemplate(pSheet));
    // Page 1: the to-month typed, Enter moves on to the output path.
    auto* pTo = qobject_cast<QLineEdit*>(Widget(pSheet, 1007));
    ASSERT_NE(nullptr, pTo);
    Ctl(pSheet, 1007)->SetFocus();
    pTo->selectAll();
    SendKey(pTo, Qt::Key_Backspace);
    TypeKeys(pTo, U("2"));
    SendKey(pTo, Qt::Key_Return);
    EXPECT_EQ(1008, FocusId());
    EXPECT_EQ(Widget(pSheet, 1008), pWindow->focusWidget());

    // Page 2: item 22's button opens the mapping dialog; Space ticks the
    // current row, F8 confirms.
    SendKey(KeyTarget(pWindow), Qt::Key_F6);
    ASSERT_EQ(UINT{4939}, ActiveTemplate(pSheet));
    EXPECT_EQ(1, pTabs->currentIndex());
    OnNextWindow([&](QWidget* pMap, CDialog* pDlg) {
      EXPECT_EQ(U("集約科目対応設定"), pMap->windowTitle());
      auto* pTree = qobject_cast<QTreeWidget*>(Widget(pDlg, CSetGaiDlg::IDC_LIST));
      ASSERT_NE(nullptr, pTree);
      ASSERT_EQ(1, pTree->topLevelItemCount());
      EXPECT_EQ(U("105"), pTree->topLevelItem(0)->text(0));
      EXPECT_EQ(U("受取手形"), pTree->topLevelItem(0)->text(1));
      pTree->setFocus(Qt::MouseFocusReason);
      pTree->setCurrentItem(pTree->topLevelItem(0));
      SendKey(pTree, Qt::Key_Space, Qt::NoModifier, U(" "));
      auto* pList = static_cast<CListCtrl*>(Ctl(pDlg, CSetGaiDlg::IDC_LIST));
      EXPECT_TRUE(pList->GetCheck(0));
      EXPECT_EQ(Qt::Checked, pTree->topLevelItem(0)->checkState(0));
      SendKey(KeyTarget(pMap), Qt::Key_F8);
    });
    qobject_cast<QPushButton*>(Widget(pSheet, 1121))->click();
    EXPECT_EQ(UINT{4939}, ActiveTemplate(pSheet));

    // Page 3, back and forth; then Tab runs past the page onto the
    // sheet's buttons (next is disabled here), Shift+Tab comes back to
    // "back", and Enter pushes it.
    SendKey(KeyTarget(pWindow), Qt::Key_F6);
    ASSERT_EQ(UINT{4941}, ActiveTemplate(pSheet));
    SendKey(KeyTarget(pWindow), Qt::Key_F5);
    EXPECT_EQ(UINT{4939}, ActiveTemplate(pSheet));
    SendKey(KeyTarget(pWindow), Qt::Key_F6);
    ASSERT_EQ(UINT{4941}, ActiveTemplate(pSheet));
    ASSERT_TRUE(TabTo(pWindow, IDOK));
    EXPECT_EQ(Qt().WidgetOf(*pSheet->GetDlgItem(IDOK)), pWindow->focusWidget());
    // The page's function keys still work from the sheet's buttons.
    SendKey(KeyTarget(pWindow), Qt::Key_F5);
    ASSERT_EQ(UINT{4939}, ActiveTemplate(pSheet));
    SendKey(KeyTarget(pWindow), Qt::Key_F6);
    ASSERT_EQ(UINT{4941}, ActiveTemplate(pSheet));
    ASSERT_TRUE(TabTo(pWindow, IDOK));
    SendKey(KeyTarget(pWindow), Qt::Key_Tab);
    EXPECT_EQ(IDCANCEL, FocusId());
    SendKey(KeyTarget(pWindow), Qt::Key_Backtab, Qt::ShiftModifier);
    SendKey(KeyTarget(pWindow), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(IDC_SHEET_BACK, FocusId());
    SendKey(KeyTarget(pWindow), Qt::Key_Return);
    EXPECT_EQ(UINT{4939}, ActiveTemplate(pSheet));
    SendKey(KeyTarget(pWindow), Qt::Key_F8);
  });
  EXPECT_EQ(1, RunSheet(""));

  EXPECT_EQ(2, int{m_cond.nKikanTo});
  const std::string strOut = m_cond.szOutPath;
  EXPECT_EQ("\"00000001\",4,2,1,0,\"" + strOut + "\"", FirstEnvLine());
  const std::string strEnv = ReadEnv();
  EXPECT_EQ("22,105,1\n2,402,2\n21,101,1\n36,401,2\n", strEnv.substr(strEnv.find('\n') + 1));
}

TEST_F(WizardQtTest, EscOnTheFirstPageAsksWhetherToSave) {
  OpenBooks("00000001");
  WriteEnv("\"00000001\",4,3,1,0,\"\"\n2,402,2\n");
  const std::string strKept = FirstEnvLine();
  // Typed, Esc, "No": closed without saving; "Yes": saved unchecked.
  for (const char* pszAnswer : {"いいえ(&N)", "はい(&Y)"}) {
    SCOPED_TRACE(pszAnswer);
    OnNextWindow([&](QWidget* pWindow, CDialog* pSheet) {
      auto* pTo = qobject_cast<QLineEdit*>(Widget(pSheet, 1007));
      ASSERT_NE(nullptr, pTo);
      Ctl(pSheet, 1007)->SetFocus();
      pTo->selectAll();
      SendKey(pTo, Qt::Key_Backspace);
      TypeKeys(pTo, U("15"));
      AnswerNext("入力した情報を保存して終了しますか？", pszAnswer);
      SendKey(KeyTarget(pWindow), Qt::Key_Escape);
      EXPECT_TRUE(pSheet->IsEnding());
    });
    EXPECT_EQ(0, RunSheet(""));
  }
  EXPECT_EQ("\"00000001\",4,3,1,0,\"\"", strKept);
  const std::string strSaved = "\"00000001\",4,15,1,0,\"";
  EXPECT_EQ(strSaved, FirstEnvLine().substr(0, strSaved.size()));
}

TEST_F(WizardQtTest, MappingDialogCancelKeepsTheMatches) {
  OpenBooks("00000001");
  const std::string strMatches = "21,101,1\n21,112,1\n36,401,2\n";
  WriteEnv("\"00000001\",4,3,1,0,\"\"\n" + strMatches);
  OnNextWindow([&](QWidget* pWindow, CDialog* pSheet) {
    SendKey(KeyTarget(pWindow), Qt::Key_F6);
    OnNextWindow([&](QWidget* pMap, CDialog* pDlg) {
      auto* pTree = qobject_cast<QTreeWidget*>(Widget(pDlg, CSetGaiDlg::IDC_LIST));
      ASSERT_NE(nullptr, pTree);
      // A match outside the item's own accounts: the list starts widened.
      auto* pAll = qobject_cast<QAbstractButton*>(Widget(pDlg, CSetGaiDlg::IDC_ALL));
      ASSERT_NE(nullptr, pAll);
      EXPECT_TRUE(pAll->isChecked());
      const int nAll = pTree->topLevelItemCount();
      pAll->click();
      EXPECT_LT(pTree->topLevelItemCount(), nAll);
      pAll->click();
      ASSERT_EQ(nAll, pTree->topLevelItemCount());
      // A tick, then Esc: nothing changes.
      pTree->topLevelItem(pTree->topLevelItemCount() - 1)->setCheckState(0, Qt::Checked);
      auto* pList = static_cast<CListCtrl*>(Ctl(pDlg, CSetGaiDlg::IDC_LIST));
      EXPECT_TRUE(pList->GetCheck(pTree->topLevelItemCount() - 1));
      SendKey(KeyTarget(pMap), Qt::Key_Escape);
    });
    qobject_cast<QPushButton*>(Widget(pSheet, 1120))->click();
    SendKey(KeyTarget(pWindow), Qt::Key_F8);
  });
  EXPECT_EQ(1, RunSheet(""));
  const std::string strEnv = ReadEnv();
  EXPECT_EQ(strMatches, strEnv.substr(strEnv.find('\n') + 1));
}

TEST_F(WizardQtTest, DoubleClickOnADataSetChoosesIt) {
  OpenBooks("00000001");
  CConv conv;
  ASSERT_TRUE(LedgerSel_InitClass(m_pJet.get(), &conv));
  const CString strBefore = m_pJet->GetSelectedDataPath();
  OnNextWindow([&](QWidget*, CDialog* pDlg) {
    auto* pTree = qobject_cast<QTreeWidget*>(Widget(pDlg, IDC_LEDGER_SEL_LIST));
    ASSERT_NE(nullptr, pTree);
    ASSERT_EQ(2, pTree->topLevelItemCount());
    // The other sample book than the one open.
    QTreeWidgetItem* pItem = pTree->topLevelItem(0);
    if (pItem->text(1) == U("00000001")) pItem = pTree->topLevelItem(1);
    const QPointF pos = pTree->visualItemRect(pItem).center();
    const QPointF global = pTree->viewport()->mapToGlobal(pos);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, pos, global, Qt::LeftButton,
                        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                        Qt::NoModifier);
      QApplication::sendEvent(pTree->viewport(), &event);
    }
  });
  CAccSelDlg dlg;
  EXPECT_EQ(IDOK, dlg.DoModal());
  char sz[MAX_PATH];
  dlg.GetSelectedDataPath(sz);
  EXPECT_STRNE("", sz);
  EXPECT_EQ(CString(sz), m_pJet->GetSelectedDataPath());
  EXPECT_NE(strBefore, m_pJet->GetSelectedDataPath());
}

}  // namespace
}  // namespace wizardtest
