#include "UiStartup.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "CHeadlessBackend.h"
#include "ProgramResources.h"
#ifdef RX16_HAVE_QT_BACKEND
#include "QtUiBackendEntry.h"
#endif

namespace {

std::unique_ptr<CUiBackend> g_pInstalled;

std::string Env(const char* pszName) {
  const char* pszValue = std::getenv(pszName);
  return pszValue ? pszValue : "";
}

bool DisplayAvailable() {
  return !Env("DISPLAY").empty() || !Env("WAYLAND_DISPLAY").empty() ||
         !Env("QT_QPA_PLATFORM").empty();
}

[[noreturn]] void StartFailure(CTranscript& transcript, const CString& strWhy) {
  transcript.Event({"error", strWhy});
  std::fflush(nullptr);
  std::_Exit(CHeadlessBackend::EXIT_SCRIPT_ERROR);
}

std::unique_ptr<CUiBackend> MakeHeadless(UiStartResult& result) {
  auto pHeadless = std::make_unique<CHeadlessBackend>();
  CTranscript& transcript = pHeadless->Transcript();
  transcript.UseStderr();
  const std::string strTranscript = Env("RX16_UI_TRANSCRIPT");
  if (!strTranscript.empty() && !transcript.OpenFile(strTranscript)) {
    StartFailure(transcript, "cannot write the transcript named by RX16_UI_TRANSCRIPT");
  }
  const std::string strScript = Env("RX16_UI_SCRIPT");
  if (strScript.empty()) {
    std::fprintf(stderr,
                 "RX16_UI_SCRIPT is not set: a headless run needs a script, so every dialog is "
                 "cancelled\n");
    result.bScripted = FALSE;
  } else {
    CHeadlessScript script;
    CString strError;
    if (!script.LoadFile(strScript, strError)) StartFailure(transcript, strError);
    pHeadless->SetScript(script.Steps());
    result.bScripted = TRUE;
  }
  result.kind = UiBackendKind::Headless;
  return pHeadless;
}

}  // namespace

UiStartResult InstallUiBackend(int& argc, char** argv) {
  RegisterProgramResources();
  UiStartResult result;
  const std::string strChoice = Env("RX16_UI");
  const bool bWantQt = strChoice == "qt" || (strChoice.empty() && DisplayAvailable());
  if (strChoice != "" && strChoice != "qt" && strChoice != "headless") {
    std::fprintf(stderr, "RX16_UI=%s is neither qt nor headless: running headless\n",
                 strChoice.c_str());
  }
  std::unique_ptr<CUiBackend> pBackend;
  if (bWantQt) {
#ifdef RX16_HAVE_QT_BACKEND
    pBackend = CreateQtUiBackend(argc, argv);
    if (pBackend) result.kind = UiBackendKind::Qt;
#else
    static_cast<void>(argc);
    static_cast<void>(argv);
#endif
    if (!pBackend) std::fprintf(stderr, "the Qt user interface cannot start: running headless\n");
  }
  if (!pBackend) pBackend = MakeHeadless(result);
  SetUiBackend(pBackend.get());
  g_pInstalled = std::move(pBackend);
  return result;
}

void UninstallUiBackend() {
  SetUiBackend(nullptr);
  g_pInstalled.reset();
}
