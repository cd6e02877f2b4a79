// The link component: one run per process, no main window.

#include <cstdio>

#include "ArgvText.h"
#include "CCommandLineModes.h"
#include "CFinGaiApp.h"
#include "UiStartup.h"

int main(int argc, char** argv) {
  // A host launch begins with the window number, never with "--".
  if (CCommandLineModes::IsMode(argc, argv)) return CCommandLineModes::Run(argc, argv);
  CString strCmdLine;
  if (!platform::CommandLineFromArgs(argc, argv, strCmdLine)) {
    // Running on without the launch parameters would report to nobody.
    std::fprintf(stderr, "QT10ToRX16_G: the command line has text with no CP932 form\n");
    return 0;
  }
  InstallUiBackend(argc, argv);
  int nExitCode = 0;
  {
    CFinGaiApp app;
    app.m_strCmdLine = strCmdLine;
    app.InitInstance();
    nExitCode = app.ExitInstance();
  }
  UninstallUiBackend();
  return nExitCode;
}
