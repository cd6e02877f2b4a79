// A dialog on the mapping template (1000), driven through its list's check
// boxes, its buttons and its keys, as the wizard's mapping dialog is.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "CDataExchange.h"
#include "CDialog.h"
#include "CListCtrl.h"
#include "CUiInput.h"
#include "ProgramResources.h"
#include "UiTestSupport.h"

using uitest::Cp;
using uitest::U8;

namespace {

class MapDialog : public CDialog {
 public:
  MapDialog() : CDialog(IDD_SETGAI_DLG) {}

  void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 1017, m_list); }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    m_bInit = true;
    SetDlgItemText(1014, Cp(u8"売上高").c_str());
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, Cp(u8"コード").c_str(), LVCFMT_LEFT, 100);
    m_list.InsertColumn(1, Cp(u8"科 目 名").c_str(), LVCFMT_LEFT, 200);
    const struct {
      short nCode;
      const char8_t* pszName;
    } rows[] = {{401, u8"農産物売上高"}, {402, u8"作業受託収入"}, {-3, u8"雑収入"}};
    int i = 0;
    for (const auto& row : rows) {
      m_list.InsertItem(LVIF_TEXT | LVIF_PARAM, i, std::to_string(row.nCode).c_str(), 0, 0, 0,
                        row.nCode);
      m_list.SetItemText(i, 1, Cp(row.pszName).c_str());
      ++i;
    }
    m_list.SetCheck(1, TRUE);
    return TRUE;
  }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F8 && GetKeyState(VK_SHIFT) >= 0 &&
        GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
      OnClicked(1000);
      return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
  }
  void OnClicked(UINT nID) override {
    if (nID != 1000) return;
    m_checked.clear();
    for (int i = 0; i < m_list.GetItemCount(); ++i) {
      if ((m_list.GetItemState(i, LVIS_STATEIMAGEMASK) >> 12) != 1) {
        m_checked.push_back(static_cast<short>(m_list.GetItemData(i)));
      }
    }
    m_bExecSeenInHandler = std::filesystem::exists(m_strMarker);
    EndDialog(IDOK);
  }
  void OnCancel() override {
    m_bCancelHandler = true;
    CDialog::OnCancel();
  }

  CListCtrl m_list;
  std::vector<short> m_checked;
  bool m_bInit = false;
  bool m_bCancelHandler = false;
  bool m_bExecSeenInHandler = false;
  std::string m_strMarker;
};

class MapTemplateTest : public uitest::HeadlessTest {};

TEST_F(MapTemplateTest, TicksAndF8ConfirmWithTheRowsAsTicked) {
  Script(
      "expect map\n"
      "tick 0\n"
      "untick code=402\n"
      "tick code=-3\n"
      "dump\n"
      "key F8\n");
  MapDialog dlg;
  EXPECT_EQ(IDOK, dlg.DoModal());
  EXPECT_EQ((std::vector<short>{401, -3}), dlg.m_checked);
  const std::vector<std::string> expected{
      U8(u8"open\tmap\t集約科目対応設定"),
      U8(u8"control\t1014\tstatic\t1\t1\t0\t売上高"),
      "control\t1017\tlistview\t1\t1\t0\t",
      U8(u8"row\t1017\t0\t1\t401\t401\t農産物売上高"),
      U8(u8"row\t1017\t1\t0\t402\t402\t作業受託収入"),
      U8(u8"row\t1017\t2\t1\t-3\t-3\t雑収入"),
      U8(u8"control\t1026\tcheckbox\t1\t1\t0\t全ての科目から選択する(&A)"),
      U8(u8"control\t1000\tbutton\t1\t1\t0\t設定(F8)"),
      U8(u8"control\t2\tbutton\t1\t1\t0\tｷｬﾝｾﾙ(ESC)"),
      "close\tmap\tok"};
  EXPECT_EQ(expected, Transcript());
}

TEST_F(MapTemplateTest, EnterPressesTheDefaultButton) {
  Script("key ENTER\n");
  MapDialog dlg;
  EXPECT_EQ(IDOK, dlg.DoModal());
  EXPECT_EQ(std::vector<short>{402}, dlg.m_checked);
}

TEST_F(MapTemplateTest, CancelButtonAndEscRunTheCancelHandler) {
  for (const char* pszStep : {"cancel\n", "key ESC\n", "click 2\n"}) {
    Script(pszStep);
    MapDialog dlg;
    EXPECT_EQ(IDCANCEL, dlg.DoModal()) << pszStep;
    EXPECT_TRUE(dlg.m_bCancelHandler) << pszStep;
    EXPECT_TRUE(dlg.m_checked.empty());
  }
}

TEST_F(MapTemplateTest, UnscriptedDialogRunsNoHandler) {
  Script("");
  MapDialog dlg;
  EXPECT_EQ(IDCANCEL, dlg.DoModal());
  EXPECT_FALSE(dlg.m_bInit);
  EXPECT_FALSE(dlg.m_bCancelHandler);
  const std::vector<std::string> expected{U8(u8"open\tmap\t集約科目対応設定"), "unscripted\tmap",
                                          "close\tmap\tcancel"};
  EXPECT_EQ(expected, Transcript());
}

TEST_F(MapTemplateTest, ExecStepsRunAsSoonAsTheyAreReached) {
  const std::string strDir =
      (std::filesystem::temp_directory_path() / ("rx16-ui-exec-" + std::to_string(::getpid())))
          .string();
  std::filesystem::remove_all(strDir);
  Script("exec mkdir " + strDir + "\nclick 1000\nexec touch " + strDir + "/after\n");
  MapDialog dlg;
  dlg.m_strMarker = strDir + "/after";
  EXPECT_EQ(IDOK, dlg.DoModal());
  // The first exec ran when the dialog appeared, the second right after the
  // click and before DoModal returned.
  EXPECT_FALSE(dlg.m_bExecSeenInHandler);
  EXPECT_TRUE(std::filesystem::exists(strDir + "/after"));
  std::filesystem::remove_all(strDir);
}

TEST_F(MapTemplateTest, TestCallbackActsLikeAUser) {
  Script("");
  m_backend.SetDialogCallback([](CDialog& dlg) {
    auto* pMap = dynamic_cast<MapDialog*>(&dlg);
    ASSERT_NE(nullptr, pMap);
    ASSERT_TRUE(CUiInput::SetRowCheck(pMap->m_list, 2, TRUE));
    ASSERT_TRUE(CUiInput::PressKey(dlg, VK_F8, MK_CONTROL));  // not with Ctrl
    EXPECT_FALSE(dlg.IsEnding());
    ASSERT_TRUE(CUiInput::PressKey(dlg, VK_F8));
  });
  MapDialog dlg;
  EXPECT_EQ(IDOK, dlg.DoModal());
  EXPECT_EQ((std::vector<short>{402, -3}), dlg.m_checked);
  m_backend.SetDialogCallback(nullptr);
}

}  // namespace
