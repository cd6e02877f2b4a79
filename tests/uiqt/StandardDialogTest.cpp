// Message boxes, the save-file dialog and the progress window: the texts,
// icons and buttons asked for, and the answers coming back as the program's
// ids.

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstring>

#include "CDialog.h"
#include "CQtProgressWindow.h"
#include "CScaleDlg.h"
#include "ProgramResources.h"
#include "QtTestSupport.h"
#include "SaveFileDialog.h"

namespace {

using StandardDialogTest = QtUiTest;

QAbstractButton* ButtonWithText(QMessageBox* pBox, const QString& strText) {
  for (QAbstractButton* pButton : pBox->buttons()) {
    if (pButton->text() == strText) return pButton;
  }
  return nullptr;
}

TEST_F(StandardDialogTest, QuestionShowsItsTextsAndReturnsTheButtonPressed) {
  const CString strCaption = Cp("内訳概況書のミラベル（概況書）");
  const CString strText = Cp("入力した情報を保存して終了しますか？");
  OnNextWindow([&](QWidget* pWindow, CDialog* pDlg) {
    EXPECT_EQ(pDlg, nullptr);
    auto* pBox = qobject_cast<QMessageBox*>(pWindow);
    ASSERT_NE(pBox, nullptr);
    EXPECT_EQ(pBox->windowTitle(), U("内訳概況書のミラベル（概況書）"));
    EXPECT_EQ(pBox->text(), U("入力した情報を保存して終了しますか？"));
    EXPECT_EQ(pBox->icon(), QMessageBox::Question);
    EXPECT_EQ(pBox->buttons().size(), 2);
    // A question waits for its answer: Esc and closing the window give none.
    SendKey(pBox, Qt::Key_Escape);
    EXPECT_FALSE(pBox->close());
    EXPECT_TRUE(pBox->isVisible());
    // Wide enough for the caption in a bold title beside an icon and three
    // title-bar buttons.
    QFont bold = pBox->font();
    bold.setBold(true);
    const QFontMetrics title(bold);
    EXPECT_GE(pBox->width(), title.horizontalAdvance(pBox->windowTitle()) + 4 * title.height());
    ButtonWithText(pBox, U("いいえ(&N)"))->click();
  });
  EXPECT_EQ(MessageBoxA(nullptr, strText.c_str(), strCaption.c_str(), MB_YESNO | MB_ICONQUESTION),
            IDNO);

  OnNextWindow([&](QWidget* pWindow, CDialog*) {
    auto* pBox = qobject_cast<QMessageBox*>(pWindow);
    EXPECT_EQ(pBox->icon(), QMessageBox::Warning);
    EXPECT_EQ(pBox->defaultButton(), ButtonWithText(pBox, U("いいえ(&N)")));
    ButtonWithText(pBox, U("はい(&Y)"))->click();
  });
  EXPECT_EQ(MessageBoxA(nullptr, "?", "", MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2), IDYES);
}

TEST_F(StandardDialogTest, NoticesAnswerOkAlsoToEscAndCancelBoxesCancel) {
  const std::pair<UINT, QMessageBox::Icon> icons[] = {
      {MB_ICONWARNING, QMessageBox::Warning},
      {MB_ICONINFORMATION, QMessageBox::Information},
      {MB_ICONHAND, QMessageBox::Critical},
      {0, QMessageBox::NoIcon},
  };
  for (const auto& [nIcon, expected] : icons) {
    const QMessageBox::Icon icon = expected;
    OnNextWindow([icon](QWidget* pWindow, CDialog*) {
      auto* pBox = qobject_cast<QMessageBox*>(pWindow);
      EXPECT_EQ(pBox->icon(), icon);
      ASSERT_EQ(pBox->buttons().size(), 1);
      EXPECT_EQ(pBox->buttons().front()->text(), QStringLiteral("OK"));
      SendKey(pBox, Qt::Key_Escape);
    });
    EXPECT_EQ(MessageBoxA(nullptr, Cp("メモリ不足").c_str(), "", MB_OK | nIcon), IDOK);
  }
  OnNextWindow([](QWidget* pWindow, CDialog*) {
    auto* pBox = qobject_cast<QMessageBox*>(pWindow);
    EXPECT_NE(ButtonWithText(pBox, U("キャンセル")), nullptr);
    SendKey(pBox, Qt::Key_Escape);
  });
  EXPECT_EQ(MessageBoxA(nullptr, "", "", MB_OKCANCEL), IDCANCEL);
}

TEST_F(StandardDialogTest, MessageBoxFromAHandlerNestsInsideTheOpenDialog) {
  class AskingDialog : public CDialog {
   public:
    AskingDialog() : CDialog(IDD_SETGAI_DLG) {}
    int m_nAnswer = 0;
    void OnClicked(UINT nID) override {
      if (nID != 1000) return;
      m_nAnswer = MessageBoxA(GetSafeHwnd(), "?", "", MB_YESNO | MB_ICONQUESTION);
      EndDialog(IDOK);
    }
  } dlg;
  QWidget* pDialogWindow = nullptr;
  OnNextWindow([&](QWidget* pWindow, CDialog*) {
    pDialogWindow = pWindow;
    qobject_cast<QPushButton*>(Backend().WidgetOf(*dlg.GetDlgItem(1000)))->click();
  });
  OnNextWindow([&](QWidget* pWindow, CDialog*) {
    // Owned by the dialog, which stays open underneath.
    EXPECT_EQ(pWindow->parentWidget(), pDialogWindow);
    EXPECT_TRUE(pDialogWindow->isVisible());
    ButtonWithText(qobject_cast<QMessageBox*>(pWindow), U("はい(&Y)"))->click();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_nAnswer, IDYES);
}

// The save dialog as the output page shows it, with its hook's label.
UINT_PTR LookInHook(HWND hDlg, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return 0;
  static const CString strLabel = Cp("ファイルの場所(&I)");
  SendMessageA(GetParent(hDlg), CDM_SETCONTROLTEXT, stc4,
               reinterpret_cast<LPARAM>(strLabel.c_str()));
  return 1;
}

BOOL AskSaveFile(char* pszFile, DWORD nFilterIndex, DWORD* pnChosenFilter = nullptr) {
  static const CString strFilter = [] {
    CString str = Cp("中間ファイル(*.xml)");
    str.push_back('\0');
    str += "*.xml";
    str.push_back('\0');
    str += Cp("全てのファイル(*.*)");
    str.push_back('\0');
    str += "*.*";
    str.push_back('\0');
    return str;
  }();
  static const CString strTitle = Cp("保存ファイルを指定");
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.lpstrFilter = strFilter.c_str();
  ofn.nFilterIndex = nFilterIndex;
  ofn.lpstrFile = pszFile;
  ofn.nMaxFile = 256;
  ofn.lpstrTitle = strTitle.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_CREATEPROMPT | OFN_ENABLEHOOK | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  ofn.lpfnHook = LookInHook;
  const BOOL bChosen = GetSaveFileNameA(&ofn);
  if (pnChosenFilter) *pnChosenFilter = ofn.nFilterIndex;
  return bChosen;
}

TEST_F(StandardDialogTest, SaveDialogShowsTitleFiltersProposalAndLookInLabel) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString strFolder = dir.path();
  const QString strProposal = strFolder + U("/内訳概況書.xml");
  char szFile[256] = {};
  std::strcpy(szFile, Cp(strProposal.toUtf8().constData()).c_str());
  OnNextWindow([&](QWidget* pWindow, CDialog*) {
    auto* pDialog = qobject_cast<QFileDialog*>(pWindow);
    ASSERT_NE(pDialog, nullptr);
    EXPECT_TRUE(pDialog->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(pDialog->windowTitle(), U("保存ファイルを指定"));
    EXPECT_EQ(pDialog->labelText(QFileDialog::LookIn), U("ファイルの場所(&I)"));
    EXPECT_EQ(pDialog->directory().absolutePath(), QDir(strFolder).absolutePath());
    // Both filters, shown with the program's own texts.
    auto* pTypes = pDialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(pTypes, nullptr);
    ASSERT_EQ(pTypes->count(), 2);
    EXPECT_EQ(pTypes->itemText(0).trimmed(), U("中間ファイル(*.xml)"));
    EXPECT_EQ(pTypes->itemText(1).trimmed(), U("全てのファイル(*.*)"));
    EXPECT_EQ(pTypes->currentIndex(), 0);
    auto* pName = pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(pName, nullptr);
    EXPECT_EQ(pName->text(), U("内訳概況書.xml"));
    pDialog->selectNameFilter(pDialog->nameFilters().value(1));
    pName->setText(U("出力"));
    static_cast<QDialog*>(pDialog)->accept();
  });
  DWORD nFilter = 0;
  ASSERT_TRUE(AskSaveFile(szFile, 1, &nFilter));
  EXPECT_EQ(CString(szFile), Cp((strFolder + U("/出力")).toUtf8().constData()));
  EXPECT_EQ(nFilter, 2u);

  OnNextWindow([](QWidget* pWindow, CDialog*) { qobject_cast<QFileDialog*>(pWindow)->reject(); });
  EXPECT_FALSE(AskSaveFile(szFile, 2));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

TEST_F(StandardDialogTest, ProgressWindowShowsEachStepWithoutAnEventLoop) {
  CScaleDlg scale;
  scale.Init(2, 1);
  scale.Create();
  scale.SetWindowText(Cp("集計中").c_str());
  CQtProgressWindow* pWindow = Backend().ProgressWindowOf(scale);
  ASSERT_NE(pWindow, nullptr);
  EXPECT_TRUE(pWindow->isVisible());
  EXPECT_EQ(pWindow->windowTitle(), U("集計中"));
  scale.DispMessage(Cp("集計中です。お待ちください....").c_str());
  EXPECT_EQ(pWindow->Message(), U("集計中です。お待ちください...."));
  for (int nPercent : {30, 50, 100}) {
    scale.DispScale(nPercent);
    EXPECT_EQ(pWindow->Scale(), nPercent);
    // What the user sees right now, without returning to a loop.
    const QImage image = pWindow->grab().toImage();
    EXPECT_FALSE(image.isNull());
  }
  scale.Term();
  EXPECT_EQ(Backend().ProgressWindowOf(scale), nullptr);
  scale.DestroyWindow();
}

}  // namespace
