// The program started by hand on a desktop and driven by keys pressed
// through the X server, for what only real windows show: where access keys
// and Tab take the focus, that a field reached so has its text selected
// (typing replaces it), and that a Yes/No question cannot be closed but by
// its buttons. The outcome is read from the files the run leaves.

#include <gmock/gmock.h>

#include <QImage>
#include <QScreen>
#include <fstream>

#include "CQtProgressWindow.h"
#include "CQtUiBackend.h"
#include "CScaleDlg.h"
#include "DesktopFixture.h"

namespace desktop {
namespace {

using ::testing::EndsWith;
using ::testing::StartsWith;

const std::string kSelect = "データ選択";
const std::string kSheet = "事業概況書 - 集計条件";
const std::string kBox = "内訳概況書のミラベル";

class ProgramOnDesktop : public Desktop {
 protected:
  // The component started by hand, the first data set chosen with Enter;
  // the wizard is then the active window.
  Child StartWizard() {
    Child child = Start({ProgramDir() + "/QT10ToRX16_G"});
    EXPECT_NE(WaitWindow(kSelect), "") << e2e::ReadFile(child.strOutputFile);
    Keys({"Return"});
    EXPECT_NE(WaitWindow(kSheet), "") << e2e::ReadFile(child.strOutputFile);
    return child;
  }
  // The condition line of the first data set's settings.
  std::string Conditions() const {
    const std::string strEnv =
        e2e::ReadCp932File(ProgramDir() + "/books/00000001/QT10ToRX16_G.env");
    return strEnv.substr(0, strEnv.find_first_of("\r\n"));
  }
  // Alt+F4 (the window manager's close) and Esc leave the question open.
  void ExpectQuestionWaits(const std::string& strId) {
    Keys({"alt+F4", "Escape"});
    EXPECT_TRUE(StaysShown(kBox, strId, 1000)) << "the question closed without an answer";
  }
};

TEST_F(ProgramOnDesktop, AccessKeysAndTabSelectTheFieldTheyReachAndTheSaveQuestionWaits) {
  Child child = StartWizard();
  const std::string strFirst = Dir("documents") + "/first.xml";
  const std::string strSecond = Dir("documents") + "/second.xml";
  // Each field starts with a text of its own, which the typing must replace.
  Keys({"alt+f"});  // the group box 出力先(&F): on to the output path
  Type(strFirst);
  Keys({"alt+e"});  // the label 月度(&E) after the to-month names that field
  Type("12");
  Keys({"Tab"});  // on to the output path
  Type(strSecond);
  Keys({"shift+Tab"});  // back to the to-month
  Type("11");
  Keys({"Escape"});

  const std::string strQuestion = WaitWindow(kBox);
  ASSERT_NE(strQuestion, "");
  ExpectQuestionWaits(strQuestion);
  Keys({"alt+y"});
  ASSERT_TRUE(WaitGone(kBox, strQuestion));
  ASSERT_NE(WaitWindow(kBox, {strQuestion}), "") << "no message after the cancel";
  Keys({"Return"});
  EXPECT_EQ(WaitExit(child, 20), 0) << e2e::ReadFile(child.strOutputFile);

  EXPECT_THAT(Conditions(), StartsWith("\"00000001\",4,11,"));
  EXPECT_THAT(Conditions(), EndsWith(",\"" + strSecond + "\""));
}

TEST_F(ProgramOnDesktop, TheFieldAMessageSendsTheUserBackToHasItsTextSelected) {
  const std::string strOld = Dir("documents") + "/old.xml";
  const std::string strNew = Dir("documents") + "/new.xml";
  std::ofstream(strOld) << "keep";
  Child child = StartWizard();
  Keys({"alt+e"});
  Type("13");
  Keys({"alt+f"});
  Type(strOld);
  Keys({"F8"});

  // 13 is no month: the warning, then the to-month again.
  const std::string strWarning = WaitWindow(kBox);
  ASSERT_NE(strWarning, "");
  Keys({"Return"});
  ASSERT_TRUE(WaitGone(kBox, strWarning));
  Type("12");
  Keys({"F8"});

  // The file exists: answered No, the output path again.
  const std::string strQuestion = WaitWindow(kBox, {strWarning});
  ASSERT_NE(strQuestion, "");
  ExpectQuestionWaits(strQuestion);
  Keys({"alt+n"});
  ASSERT_TRUE(WaitGone(kBox, strQuestion));
  Type(strNew);
  Keys({"F8"});

  ASSERT_NE(WaitWindow(kBox, {strWarning, strQuestion}), "") << "no message after the run";
  Keys({"Return"});
  EXPECT_EQ(WaitExit(child, 30), 0) << e2e::ReadFile(child.strOutputFile);
  EXPECT_EQ(e2e::ReadFile(strOld), "keep");
  EXPECT_TRUE(e2e::ReadXml(strNew).bParsed);
  EXPECT_THAT(Conditions(), StartsWith("\"00000001\",4,12,"));
  EXPECT_THAT(Conditions(), EndsWith(",\"" + strNew + "\""));
}

// The engine works without handing events to anyone: what the screen shows
// when the progress window has opened is what the user sees meanwhile.
TEST_F(Desktop, TheProgressWindowIsPaintedBeforeTheWorkStarts) {
  int nArgc = 1;
  char szName[] = "test_desktop";
  char* argv[] = {szName, nullptr};
  CQtUiBackend backend(nArgc, argv);
  CUiBackend* pOld = SetUiBackend(&backend);
  CScaleDlg scale(nullptr);
  scale.Init(2, 1);
  scale.Create();
  CQtProgressWindow* pWindow = backend.ProgressWindowOf(scale);
  ASSERT_NE(pWindow, nullptr);
  const QRect rc(pWindow->mapToGlobal(QPoint(0, 0)), pWindow->size());
  const QImage shot =
      pWindow->screen()->grabWindow(0, rc.x(), rc.y(), rc.width(), rc.height()).toImage();
  const QRgb background = pWindow->palette().color(QPalette::Window).rgb();
  int nBackground = 0;
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) nBackground += shot.pixel(x, y) == background;
  }
  EXPECT_GT(nBackground, shot.width() * shot.height() / 2) << "the window's inside is not painted";
  scale.Term();
  SetUiBackend(pOld);
}

}  // namespace
}  // namespace desktop
