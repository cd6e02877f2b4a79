// The list view's rows, columns and check boxes between the window objects
// and Qt, both ways; the tooltip texts of the program's tools.

#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QToolTip>
#include <QTreeWidget>

#include "CDataExchange.h"
#include "CListCtrl.h"
#include "CToolTipCtrl.h"
#include "ProgramResources.h"
#include "QtTestSupport.h"

namespace {

// The mapping dialog's list set up as the program does it.
class ListDialog : public CDialog {
 public:
  ListDialog() : CDialog(IDD_SETGAI_DLG) {}

  CListCtrl m_list;
  CToolTipCtrl m_tip;
  // More rows after the three, and the row picked as the dialog opens.
  int m_nMoreRows = 0;
  int m_nPicked = -1;

  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, 1017, m_list);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, Cp("コード").c_str(), LVCFMT_LEFT, 100);
    m_list.InsertColumn(1, Cp("科 目 名").c_str(), LVCFMT_LEFT, 200);
    AddRow(0, 811, "売上高", FALSE);
    AddRow(1, 812, "雑収入", TRUE);
    AddRow(2, 813, "受取利息", FALSE);
    for (int i = 0; i < m_nMoreRows; ++i) AddRow(3 + i, 900 + i, "科目", FALSE);
    if (m_nPicked >= 0) m_list.SelectRow(m_nPicked);
    m_tip.Create(this);
    m_tip.AddTool(GetDlgItem(1000), Cp("現金, 普通預金").c_str());
    return TRUE;
  }
  void AddRow(int nRow, int nCode, const char* pszName, BOOL bChecked) {
    m_list.InsertItem(LVIF_TEXT | LVIF_PARAM, nRow, std::to_string(nCode).c_str(), 0, 0, 0, nCode);
    m_list.SetItemText(nRow, 1, Cp(pszName).c_str());
    if (bChecked) m_list.SetItemState(nRow, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
  }
};

using ListAndTipTest = QtUiTest;

TEST_F(ListAndTipTest, CheckBoxesRoundTripBetweenQtAndTheList) {
  ListDialog dlg;
  OnNextWindow([&](QWidget*, CDialog*) {
    auto* pTree = qobject_cast<QTreeWidget*>(Backend().WidgetOf(dlg.m_list));
    ASSERT_NE(pTree, nullptr);
    ASSERT_EQ(pTree->topLevelItemCount(), 3);
    EXPECT_EQ(pTree->headerItem()->text(0), U("コード"));
    EXPECT_EQ(pTree->headerItem()->text(1), U("科 目 名"));
    EXPECT_EQ(pTree->columnWidth(0), 100);
    // The last column ends at the list's edge, whatever width it was given.
    EXPECT_EQ(pTree->columnWidth(0) + pTree->columnWidth(1), pTree->viewport()->width());
    EXPECT_TRUE(pTree->allColumnsShowFocus());
    EXPECT_EQ(pTree->topLevelItem(1)->text(0), U("812"));
    EXPECT_EQ(pTree->topLevelItem(1)->text(1), U("雑収入"));
    EXPECT_EQ(pTree->topLevelItem(0)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(pTree->topLevelItem(1)->checkState(0), Qt::Checked);

    // The user ticks and unticks in Qt: the list's state images follow.
    pTree->topLevelItem(0)->setCheckState(0, Qt::Checked);
    pTree->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(dlg.m_list.GetItemState(0, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2));
    EXPECT_EQ(dlg.m_list.GetItemState(1, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1));
    EXPECT_EQ(dlg.m_list.GetItemData(0), 811u);

    // The program ticks and rebuilds the rows: Qt follows.
    dlg.m_list.SetCheck(2, TRUE);
    EXPECT_EQ(pTree->topLevelItem(2)->checkState(0), Qt::Checked);
    dlg.m_list.DeleteAllItems();
    dlg.AddRow(0, 900, "現金", TRUE);
    ASSERT_EQ(pTree->topLevelItemCount(), 1);
    EXPECT_EQ(pTree->topLevelItem(0)->text(1), U("現金"));
    EXPECT_EQ(pTree->topLevelItem(0)->checkState(0), Qt::Checked);

    // Picking a row selects it in the list.
    dlg.AddRow(1, 901, "小口現金", FALSE);
    pTree->setCurrentItem(pTree->topLevelItem(1));
    EXPECT_EQ(dlg.m_list.GetNextItem(-1, LVNI_SELECTED), 1);

    // A disabled list takes no ticks.
    dlg.m_list.EnableWindow(FALSE);
    pTree->topLevelItem(1)->setCheckState(0, Qt::Checked);
    EXPECT_FALSE(dlg.m_list.GetCheck(1));
    EXPECT_EQ(pTree->topLevelItem(1)->checkState(0), Qt::Unchecked);
    dlg.EndDialog(IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
}

// A name wider than its column is cut with an ellipsis, never hidden past
// the list's edge, and the pointer resting on it shows it whole. A list
// opens with its picked row in view.
TEST_F(ListAndTipTest, ANameCutToItsColumnShowsWholeInATooltipAndThePickedRowIsInView) {
  ListDialog dlg;
  dlg.m_nMoreRows = 60;
  dlg.m_nPicked = 50;
  OnNextWindow([&](QWidget*, CDialog*) {
    auto* pTree = qobject_cast<QTreeWidget*>(Backend().WidgetOf(dlg.m_list));
    EXPECT_TRUE(pTree->viewport()->rect().contains(
        pTree->visualItemRect(pTree->topLevelItem(dlg.m_nPicked))));
    const char* pszLong = "販売費及び一般管理費のうち荷造運賃及び発送配達費";
    dlg.m_list.SetItemText(dlg.m_nPicked, 1, Cp(pszLong).c_str());
    QApplication::processEvents();
    EXPECT_EQ(pTree->horizontalScrollBar()->maximum(), 0);
    const auto tipAt = [pTree](int nRow) {
      const QRect rc = pTree->visualItemRect(pTree->topLevelItem(nRow));
      const QPoint at(pTree->header()->sectionViewportPosition(1) + 10, rc.center().y());
      QHelpEvent help(QEvent::ToolTip, at, pTree->viewport()->mapToGlobal(at));
      QApplication::sendEvent(pTree->viewport(), &help);
      return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tipAt(dlg.m_nPicked - 1), QString()) << "a name that fits needs no tooltip";
    EXPECT_EQ(tipAt(dlg.m_nPicked), U(pszLong));
    dlg.EndDialog(IDCANCEL);
  });
  dlg.DoModal();
}

TEST_F(ListAndTipTest, ToolTextsShowOnTheirControlsWhileTheTooltipIsActive) {
  ListDialog dlg;
  OnNextWindow([&](QWidget*, CDialog*) {
    QWidget* pButton = Backend().WidgetOf(*dlg.GetDlgItem(1000));
    EXPECT_TRUE(pButton->toolTip().contains(U("現金, 普通預金")));
    dlg.m_tip.UpdateTipText(Cp("集約されている科目は有りません。").c_str(), dlg.GetDlgItem(1000));
    EXPECT_TRUE(pButton->toolTip().contains(U("集約されている科目は有りません。")));
    // Markup in a name is text, not formatting.
    dlg.m_tip.UpdateTipText("<b>A&B</b>", dlg.GetDlgItem(1000));
    EXPECT_TRUE(pButton->toolTip().contains(QStringLiteral("&lt;b&gt;A&amp;B")));
    dlg.m_tip.Activate(FALSE);
    EXPECT_TRUE(pButton->toolTip().isEmpty());
    dlg.m_tip.Activate(TRUE);
    EXPECT_FALSE(pButton->toolTip().isEmpty());
    dlg.m_tip.DelTool(dlg.GetDlgItem(1000));
    EXPECT_TRUE(pButton->toolTip().isEmpty());
    dlg.EndDialog(IDCANCEL);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(ListAndTipTest, ControlTakenOverWhileShownKeepsOneWidget) {
  CDialog dlg(IDD_SETGAI_DLG);
  CListCtrl list;
  OnNextWindow([&](QWidget* pWindow, CDialog*) {
    ASSERT_TRUE(list.SubclassDlgItem(1017, &dlg));
    list.InsertColumn(0, "A", LVCFMT_LEFT, 50);
    list.InsertItem(0, "x");
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const auto trees = pWindow->findChildren<QTreeWidget*>();
    ASSERT_EQ(trees.size(), 1);
    EXPECT_EQ(trees.front(), Backend().WidgetOf(list));
    EXPECT_EQ(trees.front()->topLevelItemCount(), 1);
    dlg.EndDialog(IDCANCEL);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

}  // namespace
