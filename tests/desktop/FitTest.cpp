// Windows on small and scaled screens, with a window manager, driven by key
// presses and clicks through the X server: every window's frame inside the
// screen, its buttons where a click reaches them, and fields that take what
// the user typed as typed or refuse it out loud.

#include <gmock/gmock.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "CConv.h"
#include "CHostObjects.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CKumiSen.h"
#include "CPropertySheet.h"
#include "CQtUiBackend.h"
#include "CSetGaiP1.h"
#include "CSetGaiSht.h"
#include "CUiInput.h"
#include "CYmd.h"
#include "Cp932.h"
#include "DesktopFixture.h"
#include "MAXDATACOUNT.h"
#include "ProgramResources.h"

CJetAccess* g_pJetAccess = nullptr;
CKaikei* g_pKaikei = nullptr;
CConv* g_pConv = nullptr;

namespace desktop {
namespace {

constexpr int kStepSeconds = 20;

// Steps that wait for their moment and act, from a timer, so they go on
// inside whatever modal loop is running. A step that waits in vain fails
// the test and ends every window, so the test never hangs.
class Steps {
 public:
  void Then(const std::string& strWhat, std::function<bool()> ready, std::function<void()> act) {
    m_steps.push_back({strWhat, std::move(ready), std::move(act)});
  }
  void Start(std::function<void()> giveUp) {
    m_giveUp = std::move(giveUp);
    m_waited.start();
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
    m_timer.start(50);
  }
  bool Finished() const { return m_steps.empty(); }

 private:
  struct Step {
    std::string strWhat;
    std::function<bool()> ready;
    std::function<void()> act;
  };
  void Tick() {
    if (m_steps.empty() || m_bActing) return;
    if (m_steps.front().ready()) {
      Step step = std::move(m_steps.front());
      m_steps.pop_front();
      m_waited.restart();
      m_bActing = true;
      step.act();
      m_bActing = false;
    } else if (m_waited.elapsed() > kStepSeconds * 1000) {
      ADD_FAILURE() << "waited in vain: " << m_steps.front().strWhat;
      m_steps.clear();
      if (m_giveUp) m_giveUp();
    }
  }
  std::deque<Step> m_steps;
  std::function<void()> m_giveUp;
  QTimer m_timer;
  QElapsedTimer m_waited;
  bool m_bActing = false;
};

CString Cp(const char* pszUtf8) {
  CString strOut;
  cp932::FromUtf8(pszUtf8, strOut);
  return strOut;
}

class FitOnSmallScreen : public Desktop {
 protected:
  FitOnSmallScreen() { UseScreen(1024, 768); }
};

class FitOnScaledScreen : public Desktop {
 protected:
  void SetUp() override {
    Desktop::SetUp();
    if (IsSkipped()) return;
    SetEnv("QT_SCALE_FACTOR", "2");
    SetEnv("QT10_PROGRAM_DIR", ProgramDir());
    // The wizard finds the installation's files in the folder it runs in.
    m_oldFolder = std::filesystem::current_path();
    std::filesystem::current_path(ProgramDir());
  }
  void TearDown() override {
    if (!m_oldFolder.empty()) std::filesystem::current_path(m_oldFolder);
    Desktop::TearDown();
  }

  std::string IdOf(const QWidget* pWidget) {
    return std::to_string(static_cast<unsigned long>(pWidget->window()->winId()));
  }
  // Whether the window manager has framed the window.
  bool Framed(const QWidget* pWidget) {
    const e2e::RunResult r =
        e2e::RunProgram({Which("xprop"), "-id", IdOf(pWidget), "_NET_FRAME_EXTENTS"}, m_strRoot);
    return r.strOutput.find('=') != std::string::npos;
  }
  // Typing while this process's events go on: xdotool lends a key the
  // character's symbol for a moment, and the program must read the key in
  // that moment.
  void TypeMeanwhile(const std::string& strText) {
    m_typing = Start({Which("xdotool"), "type", "--delay", "100", strText});
  }
  // A ready test: the field shows strShown once the typing of strTyped has
  // ended. A busy machine can read a key after xdotool took its symbol
  // back; the text is then typed again, over a selection of all of it.
  std::function<bool()> TypedInto(std::function<QString()> shown, const std::string& strTyped,
                                  const QString& strShown) {
    auto pTries = std::make_shared<int>(0);
    return [this, shown, strTyped, strShown, pTries] {
      if (!Typed()) return false;
      if (shown() == strShown) return true;
      if (++*pTries > 3) return false;
      Keys({"ctrl+a"});
      TypeMeanwhile(strTyped);
      return false;
    };
  }
  // Whether the typing has ended (xdotool gives every key back first).
  bool Typed() {
    if (m_typing.pid < 0) return true;
    std::ifstream stat("/proc/" + std::to_string(m_typing.pid) + "/stat");
    std::string strPid, strName, strState;
    if (stat >> strPid >> strName >> strState && strState != "Z") return false;
    WaitExit(m_typing, 1);
    return true;
  }
  // A click of the mouse in the middle of the widget, in the screen's pixels.
  void ClickOn(const QWidget* pWidget) {
    ASSERT_NE(pWidget, nullptr);
    const double dRatio = pWidget->window()->devicePixelRatioF();
    const QPoint at = pWidget->mapToGlobal(pWidget->rect().center()) * dRatio;
    EXPECT_TRUE(Xdo({"mousemove", std::to_string(at.x()), std::to_string(at.y()), "click", "1"}));
  }

 private:
  std::filesystem::path m_oldFolder;
  Child m_typing;
};

TEST_F(FitOnSmallScreen, TheReportWindowFitsAndItsKeysSaveThePdfInTheDocumentsAndClose) {
  Child child = Start({ProgramDir() + "/QT10ToRX16_G", "--report", "00000001"});
  const std::string strReport = WaitWindow("事業概況書 集計結果");
  ASSERT_NE(strReport, "") << e2e::ReadFile(child.strOutputFile);
  EXPECT_TRUE(FrameInsideScreen(strReport));
  // The window may be shown a moment before it reads keys: pressed again
  // when nothing opened.
  for (int nTry = 0; nTry < 3 && ShownWindows("PDF保存").empty(); ++nTry) {
    Keys({"alt+s"});
    for (int i = 0; i < 40 && ShownWindows("PDF保存").empty(); ++i) ::usleep(50 * 1000);
  }
  const std::string strSave = WaitWindow("PDF保存");
  ASSERT_NE(strSave, "");
  EXPECT_TRUE(FrameInsideScreen(strSave));
  // A bare name lands in the folder the dialog opened in.
  Keys({"ctrl+a"});
  Type("keys.pdf");
  Keys({"Return"});
  ASSERT_TRUE(WaitGone("PDF保存", strSave));
  // Written once the dialog has closed.
  QElapsedTimer waited;
  waited.start();
  while (!std::filesystem::is_regular_file(Dir("documents") + "/keys.pdf") &&
         waited.elapsed() < kStepSeconds * 1000) {
    ::usleep(50 * 1000);
  }
  EXPECT_TRUE(std::filesystem::is_regular_file(Dir("documents") + "/keys.pdf"));
  ASSERT_NE(WaitWindow("事業概況書 集計結果"), "");
  Keys({"Escape"});
  EXPECT_THAT(WaitExit(child, 20), ::testing::AnyOf(0, 1)) << e2e::ReadFile(child.strOutputFile);
}

// At twice the scale the wizard is larger than the screen at its own size;
// shrunk, it fits, and its finish button takes a click. Full-width digits
// typed into the month are digits; a path with a character that has no
// CP932 form is refused by name and stored nowhere.
TEST_F(FitOnScaledScreen, TheWizardFitsTakesFullWidthDigitsAndRefusesAForeignPath) {
  int nArgc = 1;
  char szName[] = "test_desktop";
  char* argv[] = {szName, nullptr};
  CQtUiBackend backend(nArgc, argv);
  CUiBackend* pOld = SetUiBackend(&backend);
  RegisterProgramResources();

  CJetAccess jet;
  MAXDATACOUNT limits{};
  ASSERT_EQ(jet.MasterInit(&limits, &limits), 0);
  ASSERT_EQ(jet.Init(CJetAccess::ACCESS_STRING, 0, 0, nullptr), 0);
  ASSERT_EQ(jet.SelectDataSet(0), 0);
  short nTitles = 0;
  jet.GetKanKamokuCount(&nTitles);
  CArray<S_KANKAMOKU, S_KANKAMOKU> arKamoku(static_cast<std::size_t>(nTitles));
  short nRead = 0;
  jet.ReadKanKamoku(arKamoku.data(), 0, nTitles, &nRead, 0);
  arKamoku.resize(static_cast<std::size_t>(nRead));
  CConv conv;
  CYmd ymd;
  CKumiSen kumiSen(&jet, 0);
  CKaikei kaikei(&jet, &ymd, &kumiSen);
  g_pJetAccess = &jet;
  g_pKaikei = &kaikei;
  g_pConv = &conv;
  CArray<_SG_MATCH, _SG_MATCH> arMatch;
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> arInitBody;
  CSetGaiSht sheet(&arKamoku, &arMatch, &arInitBody);
  sheet.m_strDataPath = jet.GetSelectedDataPath();

  CPropertySheet* pShown = nullptr;
  backend.SetShownHook([&](QWidget*, CDialog* pDlg) {
    if (auto* pSheet = dynamic_cast<CPropertySheet*>(pDlg)) pShown = pSheet;
  });
  const auto widgetOf = [&](int nID) -> QWidget* {
    CWnd* pWnd = CUiInput::FindControl(*pShown, nID);
    return pWnd ? backend.WidgetOf(*pWnd) : nullptr;
  };
  const std::function<QLineEdit*()> pathField = [&] {
    return qobject_cast<QLineEdit*>(widgetOf(CSetGaiP1::IDC_OUT_PATH));
  };
  const auto openBox = [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); };
  const std::string strGood = Dir("documents") + "/fit.xml";
  QString strRefusal;

  // A ready test that clicks the widget until the click has had its effect
  // (a click the server delivers while a window is being mapped may miss).
  const auto clickUntil = [&](std::function<QWidget*()> widget, std::function<bool()> done) {
    auto pSince = std::make_shared<QElapsedTimer>();
    return [this, widget, done, pSince] {
      if (done()) return true;
      if (!pSince->isValid() || pSince->elapsed() > 1000) {
        ClickOn(widget());
        pSince->start();
      }
      return false;
    };
  };
  Steps script;
  script.Then(
      "the wizard framed and active",
      [&] { return pShown && Framed(widgetOf(IDOK)) && widgetOf(IDOK)->isActiveWindow(); },
      [&] { EXPECT_TRUE(FrameInsideScreen(IdOf(widgetOf(IDOK)))); });
  script.Then("the to-month clicked",
              clickUntil([&] { return widgetOf(CSetGaiP1::IDC_TO_MONTH); },
                         [&] { return widgetOf(CSetGaiP1::IDC_TO_MONTH)->hasFocus(); }),
              [&] {
                Keys({"ctrl+a"});
                TypeMeanwhile("１２");
              });
  script.Then(
      "12 in the to-month",
      TypedInto([&] { return qobject_cast<QLineEdit*>(widgetOf(CSetGaiP1::IDC_TO_MONTH))->text(); },
                "１２", QStringLiteral("12")),
      [] {});
  script.Then("the path clicked", clickUntil(pathField, [&] { return pathField()->hasFocus(); }),
              [&] {
                Keys({"ctrl+a"});
                TypeMeanwhile("𠮷田農場.xml");
              });
  script.Then("the typed path shown whole",
              TypedInto([&] { return pathField()->text(); }, "𠮷田農場.xml",
                        QString::fromUtf8("𠮷田農場.xml")),
              [] {});
  script.Then("the refusal",
              clickUntil([&] { return widgetOf(IDOK); }, [&] { return openBox() != nullptr; }),
              [&] {
                strRefusal = openBox()->text();
                Keys({"Return"});
              });
  script.Then(
      "back on the path, all of it selected",
      [&] {
        return !openBox() && pathField()->hasFocus() &&
               pathField()->selectedText() == pathField()->text();
      },
      [&] { TypeMeanwhile(strGood); });
  script.Then(
      "the new path typed",
      TypedInto([&] { return pathField()->text(); }, strGood, QString::fromStdString(strGood)),
      [&] { ClickOn(widgetOf(IDOK)); });
  script.Start([&] {
    if (QWidget* pModal = QApplication::activeModalWidget(); qobject_cast<QDialog*>(pModal)) {
      static_cast<QDialog*>(pModal)->reject();
    }
    if (pShown) pShown->EndDialog(IDCANCEL);
  });
  const int nResult = sheet.DispSheet(nullptr);
  EXPECT_TRUE(script.Finished());
  EXPECT_NE(nResult, 0);
  EXPECT_TRUE(strRefusal.contains(QString::fromUtf8("「𠮷」"))) << strRefusal.toStdString();
  // A packed record's field is copied out: gtest binds its arguments by reference.
  const int nKikanTo = sheet.m_cond.nKikanTo;
  EXPECT_EQ(nKikanTo, 12);
  EXPECT_EQ(CString(sheet.m_cond.szOutPath), Cp(strGood.c_str()));
  for (const auto& entry : std::filesystem::directory_iterator(Dir("documents"))) {
    EXPECT_EQ(entry.path().filename().string().find("田農場"), std::string::npos) << entry.path();
  }
  g_pJetAccess = nullptr;
  g_pKaikei = nullptr;
  g_pConv = nullptr;
  backend.SetShownHook(nullptr);
  jet.Term();
  SetUiBackend(pOld);
}

}  // namespace
}  // namespace desktop
