#include "CHeadlessBackend.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "CButton.h"
#include "CListCtrl.h"
#include "CPropertySheet.h"
#include "CToolTipCtrl.h"
#include "CUiInput.h"
#include "Cp932.h"

namespace {

CString Num(long long n) { return std::to_string(n); }

const char* IconName(UINT nType) {
  switch (nType & MB_ICONMASK) {
    case MB_ICONHAND:
      return "stop";
    case MB_ICONQUESTION:
      return "question";
    case MB_ICONWARNING:
      return "warning";
    case MB_ICONINFORMATION:
      return "information";
    case MB_ICONEXCLAMATION:
      return "exclamation";
    default:
      return "none";
  }
}

const char* AnswerName(int nId) {
  switch (nId) {
    case IDOK:
      return "ok";
    case IDYES:
      return "yes";
    case IDNO:
      return "no";
    default:
      return "cancel";
  }
}

// Where needle starts in text at a character boundary, or npos: a plain
// byte search could match the trail byte of one character and the lead byte
// of the next.
std::size_t FindText(const CString& strText, const CString& strNeedle) {
  if (strNeedle.empty()) return 0;
  for (std::size_t i = 0; i + strNeedle.size() <= strText.size();) {
    if (strText.compare(i, strNeedle.size(), strNeedle) == 0) return i;
    i += cp932::CharLength(strText, i);
  }
  return CString::npos;
}

}  // namespace

CHeadlessBackend::CHeadlessBackend() = default;

CHeadlessBackend::~CHeadlessBackend() = default;

void CHeadlessBackend::SetScript(std::vector<ScriptStep> arSteps) {
  m_arSteps = std::move(arSteps);
  m_nNext = 0;
  // Leading exec steps of a new script wait for its first dialog.
  m_bAppeared = FALSE;
}

void CHeadlessBackend::Appear() {
  if (m_bAppeared) return;
  m_bAppeared = TRUE;
  RunExecSteps();
}

void CHeadlessBackend::RunExecSteps() {
  while (HasStep() && PeekStep().verb == StepVerb::Exec) {
    const ScriptStep& step = m_arSteps[m_nNext++];
    std::fflush(nullptr);
    // The command's own outcome is its business; the script goes on.
    const int nStatus = std::system(step.strArg.c_str());
    static_cast<void>(nStatus);
  }
}

void CHeadlessBackend::Fail(const CString& strWhy) {
  m_transcript.Event({"error", strWhy});
  // Whoever watches the terminal learns why the run stopped, too.
  if (!m_transcript.WritesToStderr()) {
    std::fprintf(stderr, "headless script error: %s\n", CTranscript::Escape(strWhy).c_str());
  }
  std::fflush(nullptr);
  std::_Exit(EXIT_SCRIPT_ERROR);
}

void CHeadlessBackend::FailStep(const ScriptStep& step, const CString& strWhy) {
  Fail("script line " + Num(step.nLine) + " (" + step.strSource + "): " + strWhy);
}

INT_PTR CHeadlessBackend::RunModal(CDialog& dlg) {
  Appear();
  const CString strName = dlg.GetUiName();
  m_transcript.Event({"open", strName, dlg.GetTitle()});
  if (!HasStep() && !m_callback) {
    m_transcript.Event({"unscripted", strName});
    dlg.AbortModal();
  } else if (dlg.BeginModalSession() && m_callback) {
    m_callback(dlg);
  }
  while (!dlg.IsEnding()) {
    if (!HasStep()) {
      m_transcript.Event({"unscripted", strName});
      dlg.AbortModal();
      break;
    }
    const ScriptStep& step = m_arSteps[m_nNext++];
    PerformStep(dlg, step);
    RunExecSteps();
  }
  const int nResult = dlg.GetModalResult();
  m_transcript.Event({"close", strName, nResult == IDOK ? "ok" : "cancel"});
  return nResult;
}

CListCtrl& CHeadlessBackend::FindList(CDialog& dlg, const ScriptStep& step, BOOL bCheckBoxes) {
  for (CWnd* pChild : dlg.GetInputDialog()->GetChildren()) {
    auto* pList = dynamic_cast<CListCtrl*>(pChild);
    if (!pList || pList->GetKind() != ControlKind::ListView) continue;
    if (bCheckBoxes && !(pList->GetExtendedStyle() & LVS_EX_CHECKBOXES)) continue;
    return *pList;
  }
  FailStep(step,
           bCheckBoxes ? "the dialog has no list with check boxes" : "the dialog has no list");
}

int CHeadlessBackend::FindRow(CListCtrl& list, const ScriptStep& step) {
  if (!step.bByText) {
    if (step.nNumber < 0 || step.nNumber >= list.GetItemCount()) {
      FailStep(step, "row " + Num(step.nNumber) + " does not exist (" + Num(list.GetItemCount()) +
                         " rows)");
    }
    return step.nNumber;
  }
  for (int i = 0; i < list.GetItemCount(); ++i) {
    const CString strFirst = list.GetItemText(i, 0);
    if (step.verb == StepVerb::Choose ? FindText(strFirst, step.strArg) != CString::npos
                                      : strFirst == step.strArg) {
      return i;
    }
  }
  FailStep(step, "no row matches");
}

void CHeadlessBackend::CheckActivePage(CDialog& dlg, const ScriptStep& step) {
  auto* pSheet = dynamic_cast<CPropertySheet*>(&dlg);
  if (!pSheet) FailStep(step, "the dialog on top is " + dlg.GetUiName());
  CPropertyPage* pPage = pSheet->GetActivePage();
  const UINT nActive = pPage ? pPage->GetTemplateID() : 0;
  if (nActive != static_cast<UINT>(step.nNumber)) {
    FailStep(step, "the active page is " + Num(nActive));
  }
}

void CHeadlessBackend::ChooseRow(CDialog& dlg, const ScriptStep& step) {
  const CString strName = dlg.GetUiName();
  if (strName != "select" && strName != "member-select") {
    FailStep(step, "the dialog on top is " + strName);
  }
  CListCtrl& list = FindList(dlg, step, FALSE);
  const int nRow = FindRow(list, step);
  if (!CUiInput::SelectRow(list, nRow)) FailStep(step, "the list is disabled or hidden");
  CWnd* pOk = dlg.GetDlgItem(IDOK);
  if (!pOk || !CUiInput::Click(*pOk)) FailStep(step, "the OK button cannot be pressed");
}

void CHeadlessBackend::PressCancel(CDialog& dlg, const ScriptStep& step) {
  CWnd* pCancel = dlg.GetDlgItem(IDCANCEL);
  if (!pCancel) FailStep(step, "the dialog has no cancel button");
  if (!CUiInput::Click(*pCancel)) FailStep(step, "the cancel button is disabled or hidden");
}

CWnd& CHeadlessBackend::StepControl(CDialog& dlg, const ScriptStep& step) {
  CWnd* pControl = CUiInput::FindControl(dlg, step.nNumber);
  if (!pControl) FailStep(step, "no control " + Num(step.nNumber));
  return *pControl;
}

void CHeadlessBackend::TypeInto(CDialog& dlg, const ScriptStep& step) {
  CWnd& edit = StepControl(dlg, step);
  if (edit.GetKind() != ControlKind::Edit) FailStep(step, "control is not an edit");
  if (!CUiInput::TypeText(edit, step.strArg)) {
    FailStep(step, "control is disabled, hidden or read-only");
  }
}

void CHeadlessBackend::ClickControl(CDialog& dlg, const ScriptStep& step) {
  CWnd& control = StepControl(dlg, step);
  const ControlKind kind = control.GetKind();
  if (kind != ControlKind::PushButton && kind != ControlKind::CheckBox) {
    FailStep(step, "control is not a button or check box");
  }
  if (!CUiInput::Click(control)) FailStep(step, "control is disabled or hidden");
}

void CHeadlessBackend::PerformStep(CDialog& dlg, const ScriptStep& step) {
  const CString strName = dlg.GetUiName();
  switch (step.verb) {
    case StepVerb::Expect:
      if (step.strArg != strName) FailStep(step, "the dialog on top is " + strName);
      return;
    case StepVerb::ExpectPage:
      CheckActivePage(dlg, step);
      return;
    case StepVerb::Choose:
      ChooseRow(dlg, step);
      return;
    case StepVerb::Cancel:
      PressCancel(dlg, step);
      return;
    case StepVerb::Set:
      TypeInto(dlg, step);
      return;
    case StepVerb::Click:
      ClickControl(dlg, step);
      return;
    case StepVerb::Key:
      if (!CUiInput::PressKey(dlg, static_cast<UINT>(step.nNumber))) {
        FailStep(step, "the dialog is disabled");
      }
      return;
    case StepVerb::Tick:
    case StepVerb::Untick: {
      CListCtrl& list = FindList(dlg, step, TRUE);
      const int nRow = FindRow(list, step);
      if (!CUiInput::SetRowCheck(list, nRow, step.verb == StepVerb::Tick)) {
        FailStep(step, "the list is disabled or hidden");
      }
      return;
    }
    case StepVerb::File:
    case StepVerb::FileCancel:
      FailStep(step, "no save dialog is open; the dialog on top is " + strName);
    case StepVerb::Answer:
      FailStep(step, "no message box is open; the dialog on top is " + strName);
    case StepVerb::Dump:
      Dump(dlg);
      return;
    case StepVerb::Exec:
      std::fflush(nullptr);
      {
        // The script goes on whatever the command's status.
        const int nStatus = std::system(step.strArg.c_str());
        static_cast<void>(nStatus);
      }
      return;
  }
}

int CHeadlessBackend::MessageBox(HWND, const CString& strText, const CString& strCaption,
                                 UINT nType) {
  Appear();
  const UINT nButtons = nType & MB_TYPEMASK;
  CString strButtons;
  std::vector<int> arAllowed;
  switch (nButtons) {
    case MB_OK:
      strButtons = "ok";
      arAllowed = {IDOK};
      break;
    case MB_OKCANCEL:
      strButtons = "okcancel";
      arAllowed = {IDOK, IDCANCEL};
      break;
    case MB_YESNO:
      strButtons = "yesno";
      arAllowed = {IDYES, IDNO};
      break;
    case MB_YESNOCANCEL:
      strButtons = "yesnocancel";
      arAllowed = {IDYES, IDNO, IDCANCEL};
      break;
    default:
      Fail("message box with buttons the script cannot answer (type " + Num(nButtons) +
           "): " + strText);
  }
  int nAnswer = IDOK;
  BOOL bConsumed = FALSE;
  const BOOL bNextIsAnswer = HasStep() && PeekStep().verb == StepVerb::Answer;
  // A plain OK box takes an answer step only when it answers ok: any other
  // answer waits for the question it was written for.
  if (bNextIsAnswer && !(nButtons == MB_OK && PeekStep().nNumber != IDOK)) {
    const ScriptStep& step = m_arSteps[m_nNext++];
    bConsumed = TRUE;
    if (std::find(arAllowed.begin(), arAllowed.end(), step.nNumber) == arAllowed.end()) {
      FailStep(step, CString("the message box has the buttons ") + strButtons + ": " + strText);
    }
    if (step.bHasText && FindText(strText, step.strArg) == CString::npos) {
      FailStep(step, "the message box says: " + strText);
    }
    nAnswer = step.nNumber;
  } else if (nButtons != MB_OK) {
    Fail("question with no answer: " + strCaption + ": " + strText);
  }
  m_transcript.Event(
      {"msgbox", IconName(nType), strCaption, strText, strButtons, AnswerName(nAnswer)});
  if (bConsumed) RunExecSteps();
  return nAnswer;
}

BOOL CHeadlessBackend::GetSaveFileName(SaveFileRequest& request) {
  Appear();
  m_transcript.Event({"open", "save", request.strTitle});
  while (HasStep()) {
    const ScriptStep& step = m_arSteps[m_nNext++];
    switch (step.verb) {
      case StepVerb::Expect:
        if (step.strArg != "save") FailStep(step, "the dialog on top is save");
        break;
      case StepVerb::Dump: {
        auto it = request.controlTexts.find(stc4);
        m_transcript.Event({"control", Num(stc4), "static", "1", "1", "0",
                            it == request.controlTexts.end() ? CString() : it->second});
        for (const auto& [id, text] : request.controlTexts) {
          if (id != stc4) m_transcript.Event({"control", Num(id), "static", "1", "1", "0", text});
        }
        // The file-name field holds the proposal.
        m_transcript.Event({"control", "1148", "edit", "1", "1", "0", request.strProposal});
        break;
      }
      case StepVerb::File:
        request.strResult = step.strArg;
        m_transcript.Event({"close", "save", "ok"});
        RunExecSteps();
        return TRUE;
      case StepVerb::FileCancel:
        m_transcript.Event({"close", "save", "cancel"});
        RunExecSteps();
        return FALSE;
      default:
        FailStep(step, "the dialog on top is save");
    }
    RunExecSteps();
  }
  m_transcript.Event({"unscripted", "save"});
  m_transcript.Event({"close", "save", "cancel"});
  return FALSE;
}

void CHeadlessBackend::ProgressOpen(CWnd& wnd) { m_progress.insert(&wnd); }

void CHeadlessBackend::ProgressTitle(CWnd& wnd, const CString& strTitle) {
  if (m_progress.count(&wnd)) m_transcript.Event({"progress", "title", strTitle});
}

void CHeadlessBackend::ProgressMessage(CWnd& wnd, const CString& strText) {
  if (m_progress.count(&wnd)) m_transcript.Event({"progress", "message", strText});
}

void CHeadlessBackend::ProgressScale(CWnd& wnd, int nPercent) {
  if (m_progress.count(&wnd)) m_transcript.Event({"progress", "scale", Num(nPercent)});
}

void CHeadlessBackend::ProgressClose(CWnd& wnd) {
  if (m_progress.erase(&wnd)) m_transcript.Event({"progress", "close"});
}

void CHeadlessBackend::OnPageActivated(CPropertySheet&, CPropertyPage& page) {
  m_transcript.Event({"page", Num(page.GetTemplateID())});
}

void CHeadlessBackend::OnFocusChanged(CWnd& wnd, BOOL bByProgram) {
  if (bByProgram) m_transcript.Event({"focus", Num(wnd.GetDlgCtrlID())});
}

void CHeadlessBackend::OnPost(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  m_transcript.Event({"post", Num(static_cast<long long>(reinterpret_cast<std::intptr_t>(hWnd))),
                      Num(message), Num(static_cast<long long>(static_cast<std::intptr_t>(wParam))),
                      Num(static_cast<long long>(lParam))});
}

void CHeadlessBackend::Dump(CDialog& dlg) {
  DumpWindow(dlg);
  CDialog* pInput = dlg.GetInputDialog();
  if (pInput != &dlg) DumpWindow(*pInput);
}

void CHeadlessBackend::DumpWindow(CWnd& wnd) {
  std::vector<const CToolTipCtrl*> arTips;
  for (CWnd* pChild : wnd.GetChildren()) {
    const ControlKind kind = pChild->GetKind();
    if (kind == ControlKind::Page) continue;
    if (kind == ControlKind::ToolTip) {
      if (auto* pTip = dynamic_cast<const CToolTipCtrl*>(pChild)) arTips.push_back(pTip);
      continue;
    }
    const auto* pButton = dynamic_cast<const CButton*>(pChild);
    const int nCheck = pButton ? pButton->GetCheck() : 0;
    m_transcript.Event({"control", Num(pChild->GetDlgCtrlID()), ControlKindName(kind),
                        Num(pChild->IsWindowEnabled() ? 1 : 0),
                        Num((pChild->GetStyle() & WS_VISIBLE) ? 1 : 0), Num(nCheck),
                        pChild->GetText()});
    if (const auto* pList = dynamic_cast<const CListCtrl*>(pChild)) {
      const int nColumns = std::max(pList->GetColumnCount(), 1);
      for (int i = 0; i < pList->GetItemCount(); ++i) {
        std::vector<CString> fields{
            "row", Num(pList->GetDlgCtrlID()), Num(i), Num(pList->GetCheck(i) ? 1 : 0),
            Num(static_cast<long long>(static_cast<std::intptr_t>(pList->GetItemData(i))))};
        for (int c = 0; c < nColumns; ++c) fields.push_back(pList->GetItemText(i, c));
        m_transcript.Event(fields);
      }
    }
  }
  for (const CToolTipCtrl* pTip : arTips) {
    if (!pTip->IsActive()) continue;
    for (const ToolTipTool& tool : pTip->GetTools()) {
      m_transcript.Event({"tip", Num(tool.pWnd->GetDlgCtrlID()), tool.strText});
    }
  }
}
