#pragma once
// The headless backend: no windows. Modal dialogs, message boxes and the
// save dialog are driven by a script (CHeadlessScript), or by a test's
// callback acting through CUiInput; what the user would have seen goes to
// the transcript (CTranscript). The rules are those of the project's
// headless contract (docs/headless.md): steps are taken by whatever is on
// top, exec steps run as soon as they are reached, an unscripted dialog is
// cancelled without its handlers, and a step that does not fit ends the
// process with an error event and exit status 3.

#include <functional>
#include <set>
#include <vector>

#include "CHeadlessScript.h"
#include "CTranscript.h"
#include "CUiBackend.h"

class CListCtrl;

class CHeadlessBackend : public CUiBackend {
 public:
  inline static constexpr int EXIT_SCRIPT_ERROR = CTranscript::EXIT_TRANSCRIPT_FAILED;

  CHeadlessBackend();
  ~CHeadlessBackend() override;

  void SetScript(std::vector<ScriptStep> arSteps);
  CTranscript& Transcript() { return m_transcript; }

  // A test's hand on the dialogs: called once for every modal dialog, right
  // after its initialisation and before any script step is taken for it. It
  // acts through CUiInput (and may answer nothing: message boxes still take
  // their answers from the script). When the dialog is still open
  // afterwards, the script goes on with it as usual.
  using DialogCallback = std::function<void(CDialog& dlg)>;
  void SetDialogCallback(DialogCallback callback) { m_callback = std::move(callback); }

  INT_PTR RunModal(CDialog& dlg) override;
  int MessageBox(HWND hOwner, const CString& strText, const CString& strCaption,
                 UINT nType) override;
  BOOL GetSaveFileName(SaveFileRequest& request) override;
  void ProgressOpen(CWnd& wnd) override;
  void ProgressTitle(CWnd& wnd, const CString& strTitle) override;
  void ProgressMessage(CWnd& wnd, const CString& strText) override;
  void ProgressScale(CWnd& wnd, int nPercent) override;
  void ProgressClose(CWnd& wnd) override;
  void OnPageActivated(CPropertySheet& sheet, CPropertyPage& page) override;
  void OnFocusChanged(CWnd& wnd, BOOL bByProgram) override;
  void OnPost(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) override;

  // Writes control, row and tip events for the dialog (a sheet: its own
  // controls, then the active page's).
  void Dump(CDialog& dlg);

 private:
  BOOL HasStep() const { return m_nNext < m_arSteps.size(); }
  const ScriptStep& PeekStep() const { return m_arSteps[m_nNext]; }
  void Appear();
  void RunExecSteps();
  [[noreturn]] void Fail(const CString& strWhy);
  [[noreturn]] void FailStep(const ScriptStep& step, const CString& strWhy);
  void PerformStep(CDialog& dlg, const ScriptStep& step);
  // The steps that act on the dialog on top; each fails the script when it
  // cannot be done.
  void CheckActivePage(CDialog& dlg, const ScriptStep& step);
  void ChooseRow(CDialog& dlg, const ScriptStep& step);
  void PressCancel(CDialog& dlg, const ScriptStep& step);
  // The control the step names by id.
  CWnd& StepControl(CDialog& dlg, const ScriptStep& step);
  void TypeInto(CDialog& dlg, const ScriptStep& step);
  void ClickControl(CDialog& dlg, const ScriptStep& step);
  CListCtrl& FindList(CDialog& dlg, const ScriptStep& step, BOOL bCheckBoxes);
  int FindRow(CListCtrl& list, const ScriptStep& step);
  void DumpWindow(CWnd& wnd);

  CTranscript m_transcript;
  std::vector<ScriptStep> m_arSteps;
  size_t m_nNext = 0;
  BOOL m_bAppeared = FALSE;
  DialogCallback m_callback;
  std::set<CWnd*> m_progress;
};
