// Window objects without any backend acting: templates, text, data
// exchange, lists, and the user's input as CUiInput feeds it.

#include <gtest/gtest.h>

#include <set>

#include "CButton.h"
#include "CDataExchange.h"
#include "CDialog.h"
#include "CEdit.h"
#include "CListCtrl.h"
#include "CToolTipCtrl.h"
#include "CUiInput.h"
#include "ProgramResources.h"
#include "UiTestSupport.h"

using uitest::Cp;

namespace {

// A dialog on template 4938 whose window exists without a modal loop, so
// the test can act on it directly.
class Page1Dialog : public CDialog {
 public:
  Page1Dialog() : CDialog(IDD_SETGAI_P1) {}
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, 1007, m_strTo);
    DDX_Check(pDX, 1006, m_nTax);
  }
  void OnClicked(UINT nID) override { m_clicks.push_back(nID); }
  void OnEditKillFocus(UINT nID) override { m_killed.push_back(nID); }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == 'Q') {
      m_bShiftAtQ = GetKeyState(VK_SHIFT) < 0;
      return TRUE;
    }
    return FALSE;
  }
  BOOL OnHelpInfo(HELPINFO* pInfo) override {
    m_nHelpCtrl = pInfo->iCtrlId;
    return TRUE;
  }
  void OnCancel() override { ++m_nCancels; }

  CString m_strTo;
  int m_nTax = 0;
  std::vector<UINT> m_clicks;
  std::vector<UINT> m_killed;
  bool m_bShiftAtQ = false;
  int m_nHelpCtrl = -2;
  int m_nCancels = 0;
};

class WindowObjectsTest : public uitest::HeadlessTest {};

TEST_F(WindowObjectsTest, TemplatesHoldEveryControlOnceAtItsPlace) {
  const std::map<UINT, std::size_t> counts{{4938, 19}, {4939, 59}, {4941, 8}, {1000, 5}};
  for (const DialogTemplate& t : ProgramDialogTemplates()) {
    EXPECT_EQ(counts.at(t.nID), t.items.size()) << t.nID;
    EXPECT_EQ(Cp(u8"ＭＳ ゴシック"), t.pszFont);
    EXPECT_EQ(9, t.nPointSize);
    std::set<int> ids;
    for (const DialogItem& item : t.items) {
      if (item.nID != IDC_STATIC) {
        EXPECT_TRUE(ids.insert(item.nID).second) << item.nID;
      }
      EXPECT_LE(item.x + item.cx, t.cx + 1) << t.nID << " " << item.nID;
      EXPECT_LE(item.y + item.cy, t.cy) << t.nID << " " << item.nID;
    }
  }
  // Page 2: the 35 item controls plus the caption static 1012.
  const DialogTemplate* p2 = FindDialogTemplate(4939);
  ASSERT_NE(nullptr, p2);
  int nButtons = 0;
  for (const DialogItem& item : p2->items) nButtons += item.kind == ControlKind::PushButton;
  EXPECT_EQ(27, nButtons);
  const DialogTemplate* p3 = FindDialogTemplate(4941);
  const int order[] = {1136, 1138, 1140, 1135, 1137, 1139, 1141, 1142};
  for (std::size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(order[i], p3->items[i].nID);
    EXPECT_EQ(20 + 28 * static_cast<int>(i), p3->items[i].y);
  }
  const DialogTemplate* map = FindDialogTemplate(1000);
  EXPECT_STREQ("map", map->pszUiName);
  EXPECT_EQ(Cp(u8"集約科目対応設定"), map->pszTitle);
  EXPECT_EQ(static_cast<DWORD>(BS_DEFPUSHBUTTON), map->items[3].dwStyle & 0x0F);
}

TEST_F(WindowObjectsTest, StringTable) {
  char sz[16];
  EXPECT_EQ(4, LoadStringA(AfxGetInstanceHandle(), 100, sz, sizeof sz));
  EXPECT_STREQ("RX16", sz);
  CString str;
  ASSERT_TRUE(AfxLoadString(103, str));
  EXPECT_EQ("10.00.00", str);
  EXPECT_TRUE(AfxLoadString(101, str) && str == "1");
  EXPECT_TRUE(AfxLoadString(102, str) && str == "1");
  EXPECT_FALSE(AfxLoadString(104, str));
  EXPECT_EQ(2, LoadStringA(nullptr, 100, sz, 3));
  EXPECT_STREQ("RX", sz);
}

TEST_F(WindowObjectsTest, ControlsComeFromTheTemplateWithTheirState) {
  Page1Dialog dlg;
  ASSERT_TRUE(dlg.BeginModalSession());
  CWnd* p1010 = dlg.GetDlgItem(1010);
  ASSERT_NE(nullptr, p1010);
  EXPECT_EQ(ControlKind::Edit, p1010->GetKind());
  EXPECT_FALSE(p1010->IsWindowEnabled());
  CWnd* p1006 = dlg.GetDlgItem(1006);
  EXPECT_FALSE(p1006->IsWindowVisible());
  EXPECT_FALSE(p1006->IsWindowEnabled());
  EXPECT_EQ(ControlKind::ComboBox, dlg.GetDlgItem(666)->GetKind());
  const RECT& rc = dlg.GetDlgItem(1009)->GetDialogUnitRect();
  EXPECT_EQ(184, rc.left);
  EXPECT_EQ(79 + 14, rc.bottom);
  EXPECT_EQ(Cp(u8"参照(&D)..."), dlg.GetDlgItem(1009)->GetText());
  EXPECT_EQ(dlg.GetDlgItem(1009), CWnd::FromHandle(dlg.GetDlgItem(1009)->GetSafeHwnd()));
  // The first control that takes the tab has the focus: 1010 is disabled.
  EXPECT_EQ(dlg.GetDlgItem(1007), CWnd::GetFocus());
}

TEST_F(WindowObjectsTest, TextIsCutAtCharacterBoundaries) {
  Page1Dialog dlg;
  ASSERT_TRUE(dlg.BeginModalSession());
  dlg.SetDlgItemText(1008, Cp(u8"あいう").c_str());
  char sz[8];
  EXPECT_EQ(2u, dlg.GetDlgItemText(1008, sz, 4));
  EXPECT_EQ(Cp(u8"あ"), sz);
  EXPECT_EQ(0u, dlg.GetDlgItemText(4242, sz, 4));
  EXPECT_STREQ("", sz);
  // Typing obeys the limit, the program does not.
  auto* pEdit = dynamic_cast<CEdit*>(dlg.GetDlgItem(1007));
  pEdit->SetLimitText(3);
  ASSERT_TRUE(CUiInput::TypeText(*pEdit, Cp(u8"あいう")));
  EXPECT_EQ(Cp(u8"あ"), pEdit->GetText());
  pEdit->SetWindowText("12345");
  EXPECT_EQ("12345", pEdit->GetText());
}

TEST_F(WindowObjectsTest, DataExchangeBothWays) {
  Page1Dialog dlg;
  ASSERT_TRUE(dlg.BeginModalSession());
  dlg.m_strTo = "7";
  dlg.m_nTax = 1;
  dlg.UpdateData(FALSE);
  EXPECT_EQ("7", dlg.GetDlgItem(1007)->GetText());
  EXPECT_EQ(1u, dlg.IsDlgButtonChecked(1006));
  dlg.SetDlgItemText(1007, "11");
  dlg.CheckDlgButton(1006, 0);
  dlg.UpdateData(TRUE);
  EXPECT_EQ("11", dlg.m_strTo);
  EXPECT_EQ(0, dlg.m_nTax);
}

TEST_F(WindowObjectsTest, UserInputReachesHandlersAndRespectsState) {
  Page1Dialog dlg;
  ASSERT_TRUE(dlg.BeginModalSession());
  CWnd* pBrowse = dlg.GetDlgItem(1009);
  // Focus in 1007, then a click elsewhere: 1007 reports losing it first.
  ASSERT_TRUE(CUiInput::TypeText(*dlg.GetDlgItem(1007), "3"));
  ASSERT_TRUE(CUiInput::Click(*pBrowse));
  EXPECT_EQ(std::vector<UINT>{1007}, dlg.m_killed);
  EXPECT_EQ(std::vector<UINT>{1009}, dlg.m_clicks);
  pBrowse->EnableWindow(FALSE);
  EXPECT_FALSE(CUiInput::Click(*pBrowse));
  EXPECT_FALSE(CUiInput::TypeText(*dlg.GetDlgItem(1010), "1"));  // disabled
  EXPECT_FALSE(CUiInput::Click(*dlg.GetDlgItem(1006)));          // hidden
  EXPECT_FALSE(CUiInput::Click(*dlg.GetDlgItem(1143)));          // a group box
  dlg.GetDlgItem(1006)->ShowWindow(SW_SHOW);
  dlg.GetDlgItem(1006)->EnableWindow(TRUE);
  ASSERT_TRUE(CUiInput::Click(*dlg.GetDlgItem(1006)));
  EXPECT_EQ(1u, dlg.IsDlgButtonChecked(1006));
  ASSERT_TRUE(CUiInput::Click(*dlg.GetDlgItem(1006)));
  EXPECT_EQ(0u, dlg.IsDlgButtonChecked(1006));
  // A disabled dialog takes no keys.
  dlg.EnableWindow(FALSE);
  EXPECT_FALSE(CUiInput::PressKey(dlg, VK_ESCAPE));
  EXPECT_EQ(0, dlg.m_nCancels);
}

TEST_F(WindowObjectsTest, KeysGoThroughPreTranslateHooksThenTheDialog) {
  Page1Dialog dlg;
  ASSERT_TRUE(dlg.BeginModalSession());
  ASSERT_TRUE(CUiInput::PressKey(dlg, 'Q', MK_SHIFT));
  EXPECT_TRUE(dlg.m_bShiftAtQ);
  EXPECT_EQ(0, GetKeyState(VK_SHIFT));  // released after the key
  std::vector<WPARAM> hooked;
  dlg.AddKeyHook([&](CWnd&, const MSG& msg) {
    hooked.push_back(msg.wParam);
    return msg.wParam == VK_ESCAPE;
  });
  ASSERT_TRUE(CUiInput::PressKey(dlg, VK_ESCAPE));
  EXPECT_EQ(0, dlg.m_nCancels);  // the hook took it
  ASSERT_TRUE(CUiInput::PressKey(dlg, VK_F1));
  EXPECT_EQ(1007, dlg.m_nHelpCtrl);
  ASSERT_TRUE(CUiInput::Focus(*dlg.GetDlgItem(1009)));
  ASSERT_TRUE(CUiInput::PressKey(dlg, VK_RETURN));  // presses the focused button
  EXPECT_EQ(std::vector<UINT>{1009}, dlg.m_clicks);
  EXPECT_EQ((std::vector<WPARAM>{VK_ESCAPE, VK_F1, VK_RETURN}), hooked);
}

TEST_F(WindowObjectsTest, ListRowsCarryCheckStateAndData) {
  CDialog dlg(IDD_SETGAI_DLG);
  ASSERT_TRUE(dlg.BeginModalSession());
  CListCtrl list;
  CDataExchange dx(&dlg, FALSE);
  DDX_Control(&dx, 1017, list);
  EXPECT_EQ(&list, dlg.GetDlgItem(1017));
  EXPECT_EQ(ControlKind::ListView, list.GetKind());
  list.InsertColumn(0, "A", LVCFMT_LEFT, 100);
  list.InsertColumn(1, "B", LVCFMT_LEFT, 200);
  EXPECT_EQ(0, list.InsertItem(LVIF_TEXT | LVIF_PARAM, 0, "101", 0, 0, 0, -5));
  list.SetItemText(0, 1, "x");
  EXPECT_EQ(0u, list.GetItemState(0, LVIS_STATEIMAGEMASK));
  list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  EXPECT_EQ(INDEXTOSTATEIMAGEMASK(1), list.GetItemState(0, LVIS_STATEIMAGEMASK));
  EXPECT_EQ(1, list.InsertItem(5, "102"));  // past the end: appended
  EXPECT_EQ(INDEXTOSTATEIMAGEMASK(1), list.GetItemState(1, LVIS_STATEIMAGEMASK));
  ASSERT_TRUE(CUiInput::SetRowCheck(list, 1, TRUE));
  EXPECT_EQ(2u, list.GetItemState(1, LVIS_STATEIMAGEMASK) >> 12);
  EXPECT_FALSE(CUiInput::SetRowCheck(list, 2, TRUE));
  EXPECT_EQ(-5, static_cast<short>(list.GetItemData(0)));
  EXPECT_EQ("x", list.GetItemText(0, 1));
  EXPECT_EQ("", list.GetItemText(1, 1));
  ASSERT_TRUE(CUiInput::SelectRow(list, 1));
  EXPECT_EQ(1, list.GetNextItem(-1, LVNI_SELECTED));
  list.SelectRow(0);
  EXPECT_EQ(0, list.GetNextItem(-1, LVNI_SELECTED));
  EXPECT_EQ(-1, list.GetNextItem(0, LVNI_SELECTED));
  dlg.DestroyChildren();
  EXPECT_EQ(nullptr, list.GetSafeHwnd());  // detached, not deleted
}

TEST_F(WindowObjectsTest, TooltipToolsFollowTheirWindows) {
  Page1Dialog dlg;
  ASSERT_TRUE(dlg.BeginModalSession());
  {
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&dlg));
    EXPECT_TRUE(tip.AddTool(dlg.GetDlgItem(1009), "a"));
    tip.UpdateTipText("b", dlg.GetDlgItem(1009));
    tip.UpdateTipText("c", dlg.GetDlgItem(1008));  // no such tool: nothing
    ASSERT_EQ(1u, tip.GetTools().size());
    EXPECT_EQ("b", *tip.FindToolText(dlg.GetDlgItem(1009)));
    tip.SendMessage(TTM_ACTIVATE, FALSE);
    EXPECT_FALSE(tip.IsActive());
  }
  // The tooltip left its parent's windows when it went.
  for (CWnd* pChild : dlg.GetChildren()) EXPECT_NE(ControlKind::ToolTip, pChild->GetKind());
}

TEST_F(WindowObjectsTest, ForeignHandlesGetAStandIn) {
  HWND h = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(4711));
  CWnd* p = CWnd::FromHandle(h);
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(h, p->GetSafeHwnd());
  EXPECT_EQ(p, CWnd::FromHandle(h));
  EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
}

}  // namespace
