// uiqt_screens OUTDIR INSTALLATION
// Takes the screenshots of the program's dialogs over the books of an
// installation made by "QT10.EXE init". Needs a display (xvfb-run) or
// QT_QPA_PLATFORM=offscreen.

#include <unistd.h>

#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "CHostObjects.h"
#include "CQtUiBackend.h"
#include "CScreenTour.h"
#include "ProgramResources.h"
#include "QtUiBackendEntry.h"

CJetAccess* g_pJetAccess = nullptr;
CKaikei* g_pKaikei = nullptr;
CConv* g_pConv = nullptr;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s OUTDIR INSTALLATION\n", argv[0]);
    return 2;
  }
  const std::filesystem::path outDir = std::filesystem::absolute(argv[1]);
  const std::filesystem::path installation = std::filesystem::absolute(argv[2]);
  std::error_code error;
  std::filesystem::create_directories(outDir, error);
  std::filesystem::create_directories(installation / "docs", error);
  // The installation is the program folder; documents and the per-user
  // settings stay inside it, so the tour leaves nothing behind elsewhere.
  ::setenv("QT10_PROGRAM_DIR", installation.c_str(), 1);
  ::setenv("XDG_DOCUMENTS_DIR", (installation / "docs").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (installation / "config").c_str(), 1);
  if (::chdir(installation.c_str()) != 0) {
    std::fprintf(stderr, "%s: cannot enter\n", installation.c_str());
    return 2;
  }

  int nQtArgc = 1;
  std::unique_ptr<CUiBackend> pBackend = CreateQtUiBackend(nQtArgc, argv);
  auto* pQt = dynamic_cast<CQtUiBackend*>(pBackend.get());
  if (!pQt) {
    std::fprintf(stderr, "no display: run under xvfb-run or with QT_QPA_PLATFORM=offscreen\n");
    return 2;
  }
  SetUiBackend(pQt);
  RegisterProgramResources();
  CScreenTour tour(*pQt, QString::fromStdString(outDir.string()));
  const int nFailures = tour.Run();
  SetUiBackend(nullptr);
  if (nFailures) std::fprintf(stderr, "%d problem(s) during the tour\n", nFailures);
  return nFailures ? 1 : 0;
}
