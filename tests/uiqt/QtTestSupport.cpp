#include "QtTestSupport.h"

#include <QDialog>
#include <QMessageBox>
#include <cstdlib>

#include "CDialog.h"
#include "Cp932.h"
#include "ProgramResources.h"

CString Cp(const char* pszUtf8) {
  CString strOut;
  cp932::FromUtf8(pszUtf8, strOut);
  return strOut;
}

void SendKey(QWidget* pWidget, int nKey, Qt::KeyboardModifiers modifiers, const QString& strText) {
  QKeyEvent press(QEvent::KeyPress, nKey, modifiers, strText);
  QApplication::sendEvent(pWidget, &press);
  QKeyEvent release(QEvent::KeyRelease, nKey, modifiers, strText);
  QApplication::sendEvent(pWidget, &release);
}

void TypeKeys(QWidget* pWidget, const QString& strText) {
  for (const QChar c : strText)
    SendKey(pWidget, c.unicode() < 0x80 ? c.toUpper().unicode() : 0, Qt::NoModifier, QString(c));
}

QWidget* KeyTarget(QWidget* pWindow) {
  QWidget* pFocus = pWindow->focusWidget();
  return pFocus ? pFocus : pWindow;
}

CQtUiBackend& QtUiTest::Backend() {
  // Made once and kept to the end of the process: Qt allows one application.
  static CQtUiBackend* s_pBackend = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int s_argc = 1;
    static char s_szName[] = "test_uiqt";
    static char* s_argv[] = {s_szName, nullptr};
    auto* pBackend = new CQtUiBackend(s_argc, s_argv);
    RegisterProgramResources();
    return pBackend;
  }();
  return *s_pBackend;
}

void QtUiTest::SetUp() {
  SetUiBackend(&Backend());
  Backend().SetShownHook([this](QWidget* pWindow, CDialog* pDlg) {
    if (m_actions.empty()) {
      ADD_FAILURE() << "a window showed with no action for it: "
                    << pWindow->windowTitle().toStdString();
      if (pDlg) {
        pDlg->EndDialog(IDCANCEL);
      } else if (auto* pDialog = qobject_cast<QDialog*>(pWindow)) {
        pDialog->reject();
      }
      return;
    }
    Action action = std::move(m_actions.front());
    m_actions.pop_front();
    action(pWindow, pDlg);
  });
}

void QtUiTest::TearDown() {
  EXPECT_TRUE(m_actions.empty()) << m_actions.size() << " window(s) never showed";
  Backend().SetShownHook(nullptr);
  SetUiBackend(nullptr);
}

// Under LeakSanitizer: fontconfig keeps a cache it never frees; the leak
// is the font library's, not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
