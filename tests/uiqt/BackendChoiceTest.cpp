// The start-up choice installs this backend when the Qt interface is asked
// for, and message boxes then reach it.

#include <QAbstractButton>
#include <QMessageBox>
#include <cstdlib>

#include "QtTestSupport.h"
#include "UiStartup.h"

namespace {

using BackendChoiceTest = QtUiTest;

TEST_F(BackendChoiceTest, AskingForQtInstallsTheQtBackend) {
  const char* pszOld = std::getenv("RX16_UI");
  const std::string strOld = pszOld ? pszOld : "";
  ::setenv("RX16_UI", "qt", 1);
  int argc = 1;
  char szName[] = "test_uiqt";
  char* argv[] = {szName, nullptr};
  const UiStartResult result = InstallUiBackend(argc, argv);
  EXPECT_EQ(result.kind, UiBackendKind::Qt);
  auto* pInstalled = dynamic_cast<CQtUiBackend*>(&UiBackend());
  ASSERT_NE(pInstalled, nullptr);
  EXPECT_NE(pInstalled, &Backend());
  bool bShown = false;
  pInstalled->SetShownHook([&bShown](QWidget* pWindow, CDialog*) {
    bShown = true;
    qobject_cast<QMessageBox*>(pWindow)->button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_OK | MB_ICONWARNING), IDOK);
  EXPECT_TRUE(bShown);
  UninstallUiBackend();
  if (pszOld) {
    ::setenv("RX16_UI", strOld.c_str(), 1);
  } else {
    ::unsetenv("RX16_UI");
  }
}

}  // namespace
