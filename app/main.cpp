// The link component: one run per process, no main window.

#include "ArgvText.h"
#include "CCommandLineModes.h"
#include "CFinGaiApp.h"
#include "UiStartup.h"

namespace {

// The arguments as they came, joined as the command line is.
CString RawCommandLine(int argc, char** argv) {
  CString strLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) strLine += ' ';
    strLine += argv[i];
  }
  return strLine;
}

}  // namespace

int main(int argc, char** argv) {
  // A host launch begins with the window number; anything else but no
  // argument at all is an option, or a mistake refused before any run.
  if (CCommandLineModes::IsMode(argc, argv)) return CCommandLineModes::Run(argc, argv);
  CString strCmdLine;
  const bool bConverted = platform::CommandLineFromArgs(argc, argv, strCmdLine);
  InstallUiBackend(argc, argv);
  int nExitCode = 0;
  {
    CFinGaiApp app;
    app.RunGuarded([&] {
      if (bConverted) {
        app.m_strCmdLine = strCmdLine;
        app.InitInstance();
      } else {
        app.RefuseCommandLine(RawCommandLine(argc, argv).c_str());
      }
    });
    nExitCode = app.ExitInstance();
  }
  UninstallUiBackend();
  return nExitCode;
}
