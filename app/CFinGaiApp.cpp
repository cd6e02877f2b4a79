#include "CFinGaiApp.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

#include "CAccSelDlg.h"
#include "CFinGaiSum.h"
#include "CJetAccess.h"
#include "CMembSelDlg.h"
#include "CScaleDlg.h"
#include "CSemaFile.h"
#include "CSetGaiSht.h"
#include "CUiBackend.h"
#include "CValueMgr.h"
#include "Cp932.h"
#include "FailureTexts.h"
#include "FinGaiAppMessages.h"
#include "ShowFailure.h"
#include "StartUpMessages.h"
#include "WinHostWindow.h"

namespace {

// Closes the progress window before the run's last message.
void CloseProgress(std::unique_ptr<CScaleDlg>& pScale) {
  if (!pScale) return;
  pScale->Term();
  pScale->DestroyWindow();
  pScale.reset();
}

}  // namespace

CFinGaiApp::CFinGaiApp() = default;

CFinGaiApp::~CFinGaiApp() {
  if (m_bLinked == 1) {
    ::SetForegroundWindow(m_hHostWnd);
    ::EnableWindow(m_hHostWnd, TRUE);
    const auto wParam = static_cast<WPARAM>(static_cast<std::intptr_t>(m_nFunctionNo));
    ::PostMessageA(m_hHostWnd, m_nHostMsg, wParam, m_nResult);
    UiNotifyPost(m_hHostWnd, m_nHostMsg, wParam, m_nResult);
  }
  // The data access ends and the host objects go in their fixed order.
  m_startUp.CloseBooks();
  m_arKamoku.clear();
  m_arMatch.clear();
  m_arInitBody.clear();
  CValueMgr::Instance()->Release();
}

int CFinGaiApp::ExitInstance() {
  m_startUp.ReleaseGuards();
  return 0;
}

BOOL CFinGaiApp::InitInstance() {
  if (!StartUp()) return FALSE;

  std::unique_ptr<CSemaFile> pSema(new (std::nothrow) CSemaFile);
  if (!pSema) {
    Stop(STARTUP_MSG_NO_MEMORY_CLOSE_OTHERS, MB_ICONWARNING);
    return FALSE;
  }
  char szDataPath[MAX_PATH] = {};
  if (SelectData(*pSema, szDataPath)) RunSequence(pSema, szDataPath);
  pSema.reset();
  return FALSE;
}

BOOL CFinGaiApp::StartUp() {
  if (ParseCommandLine(m_strCmdLine.c_str())) Link();
  return Checked(m_startUp.Start());
}

void CFinGaiApp::Link() {
  m_bLinked = 1;
  ::EnableWindow(m_hHostWnd, FALSE);
  m_pParentWnd = CWnd::FromHandle(m_hHostWnd);
}

void CFinGaiApp::RefuseCommandLine(LPCSTR pszRawLine) {
  CStartUp::RegisterProduct();
  // Of a launch only the three numbers are needed to answer the host, and
  // they are ASCII; the path after them is what could not be converted.
  const CString strLine = pszRawLine == nullptr ? CString() : CString(pszRawLine);
  std::size_t nComma = CString::npos;
  for (int i = 0; i < 3; ++i) {
    nComma = strLine.find(',', nComma + 1);
    if (nComma == CString::npos) break;
  }
  if (nComma != CString::npos && ParseCommandLine(strLine.substr(0, nComma + 1).c_str())) Link();
  Stop(APP_MSG_BAD_COMMAND_LINE, MB_ICONWARNING);
}

void CFinGaiApp::RunGuarded(const std::function<void()>& run) {
  try {
    run();
  } catch (const std::exception& e) {
    CString strWhat;
    OnUnexpectedFailure(cp932::FromUtf8(e.what(), strWhat) ? strWhat.c_str() : nullptr);
  } catch (...) {
    OnUnexpectedFailure(nullptr);
  }
}

void CFinGaiApp::OnUnexpectedFailure(LPCSTR pszWhat) {
  CString strText = APP_MSG_UNEXPECTED;
  if (pszWhat != nullptr && *pszWhat != '\0') strText += CString("\n\n") + pszWhat;
  Stop(strText.c_str(), MB_ICONWARNING);
}

BOOL CFinGaiApp::ParseCommandLine(LPCSTR pszCmdLine) {
  if (pszCmdLine == nullptr || *pszCmdLine == '\0') return FALSE;
  // Cutting a longer line could turn it into another window or path.
  if (std::strlen(pszCmdLine) > static_cast<std::size_t>(CMDLINE_MAX)) return FALSE;
  char szLine[MAX_PATH] = {};
  std::strcpy(szLine, pszCmdLine);

  char* pField = szLine;
  char* pComma = std::strchr(pField, ',');
  if (!pComma) return FALSE;
  *pComma = '\0';
  m_hHostWnd = reinterpret_cast<HWND>(static_cast<std::intptr_t>(std::atol(pField)));

  pField = pComma + 1;
  pComma = std::strchr(pField, ',');
  if (!pComma) return FALSE;
  *pComma = '\0';
  m_nHostMsg = static_cast<UINT>(std::atol(pField));

  pField = pComma + 1;
  pComma = std::strchr(pField, ',');
  if (!pComma) return FALSE;
  *pComma = '\0';
  m_nFunctionNo = static_cast<short>(std::atoi(pField));

  if (pComma[1] != '\0') m_strLinkParam = pComma + 1;
  return TRUE;
}

BOOL CFinGaiApp::CheckMemory() { return Checked(m_startUp.CheckMemory()); }

BOOL CFinGaiApp::CheckHostExe() { return Checked(m_startUp.CheckHostExe()); }

BOOL CFinGaiApp::CheckProgramLevel() { return Checked(m_startUp.CheckProgramLevel()); }

BOOL CFinGaiApp::Checked(bool bPassed) {
  if (bPassed) return TRUE;
  return Stop(m_startUp.Failure().pszText, m_startUp.Failure().nIcon);
}

BOOL CFinGaiApp::SelectData(CSemaFile& sema, char* szDataPath) {
  std::unique_ptr<S_ENV> pSavedEnv;
  for (;;) {
    CAccSelDlg accSel(m_pParentWnd);
    CMembSelDlg membSel(m_pParentWnd);
    const bool bCooperative = CStartUp::IsCooperative();
    INT_PTR nChoice;
    if (!bCooperative) {
      nChoice = accSel.DoModal();
      accSel.GetSelectedDataPath(szDataPath);
    } else {
      membSel.m_pSemaFile = &sema;
      membSel.SetEnvInfo(pSavedEnv.get());
      nChoice = membSel.DoModal();
      membSel.GetSelectedDataPath(szDataPath);
    }
    if (nChoice == IDCANCEL) {
      if (!m_bLinked) Message(APP_MSG_STOPPED, MB_ICONWARNING);
      m_nResult = RESULT_CANCELLED;
      return FALSE;
    }
    const KanriCheck check = CheckKanri();
    // A management record that cannot be read leaves nothing sound to
    // aggregate: the run ends as an error rather than going on.
    if (check == KanriCheck::ReadFailed) {
      m_nResult = RESULT_ERROR;
      return FALSE;
    }
    if (check == KanriCheck::Accepted) break;

    Message(bCooperative ? APP_MSG_KOJIN_MEMBER : APP_MSG_KOJIN_DATA, MB_ICONWARNING);
    m_startUp.ReopenAccess();
    if (bCooperative) {
      if (!pSavedEnv) pSavedEnv.reset(new (std::nothrow) S_ENV{});
      if (pSavedEnv) membSel.GetSelectedEnvInfo(pSavedEnv.get());
    }
  }
  pSavedEnv.reset();

  if (!ReadKamoku()) {
    Message(APP_MSG_KAMOKU_FAILED, MB_ICONWARNING);
    m_nResult = RESULT_ERROR;
    return FALSE;
  }
  return TRUE;
}

CFinGaiApp::KanriCheck CFinGaiApp::CheckKanri() {
  std::unique_ptr<S_KANRI> pKanri(new (std::nothrow) S_KANRI{});
  if (!pKanri) {
    Message(FINGAI_MSG_NO_MEMORY, MB_ICONWARNING);
    return KanriCheck::ReadFailed;
  }
  if (g_pJetAccess->ReadKanri(pKanri.get()) != 0) {
    Message(FINGAI_MSG_KANRI_READ, MB_ICONWARNING);
    return KanriCheck::ReadFailed;
  }
  return pKanri->nKeiei == KEIEI_KOJIN ? KanriCheck::Kojin : KanriCheck::Accepted;
}

BOOL CFinGaiApp::ReadKamoku() {
  if (g_pJetAccess->GetKanKamokuCount(&m_nKamokuCount) != 0 || m_nKamokuCount < 0) {
    Message(APP_MSG_KAMOKU_COUNT, MB_ICONWARNING);
    return FALSE;
  }
  std::unique_ptr<S_KANKAMOKU[]> pBlock(new (std::nothrow) S_KANKAMOKU[m_nKamokuCount]{});
  if (!pBlock) {
    Message(FINGAI_MSG_NO_MEMORY, MB_ICONWARNING);
    return FALSE;
  }
  short nRead = 0;
  if (g_pJetAccess->ReadKanKamoku(pBlock.get(), 0, m_nKamokuCount, &nRead, 0) != 0) {
    pBlock.reset();
    Message(APP_MSG_KAMOKU_READ, MB_ICONWARNING);
    return FALSE;
  }
  m_arKamoku.insert(m_arKamoku.end(), pBlock.get(), pBlock.get() + m_nKamokuCount);
  return TRUE;
}

void CFinGaiApp::RunSequence(std::unique_ptr<CSemaFile>& pSema, const char* szDataPath) {
  CSetGaiSht sheet(&m_arKamoku, &m_arMatch, &m_arInitBody);
  std::unique_ptr<CFinGaiSum> pSum;
  sheet.m_strDataPath = szDataPath;
  sheet.m_strLinkParam = m_strLinkParam;
  if (!sheet.DispSheet(m_pParentWnd)) {
    if (!m_bLinked) Message(APP_MSG_STOPPED, MB_ICONWARNING);
    // Only the user's own cancel is a cancellation; a wizard that could not
    // load or save the settings failed.
    m_nResult = sheet.m_bCancelled ? RESULT_CANCELLED : RESULT_ERROR;
    pSema.reset();
    return;
  }
  const _SG_CONDITION cond = sheet.m_cond;

  std::unique_ptr<CScaleDlg> pScale(new (std::nothrow) CScaleDlg(CWnd::FromHandle(m_hHostWnd)));
  if (!pScale) {
    Stop(FINGAI_MSG_NO_MEMORY, MB_ICONWARNING);
    pSema.reset();
    return;
  }
  pScale->Init(2, 1);
  pScale->Create();
  pScale->SetWindowText(APP_PROGRESS_TITLE);
  pScale->DispMessage(APP_PROGRESS_TEXT);
  pScale->SetForegroundWindow();
  pScale->DispScale(30);

  pSum.reset(new (std::nothrow) CFinGaiSum(m_hHostWnd));
  if (!pSum) {
    CloseProgress(pScale);
    Stop(FINGAI_MSG_NO_MEMORY, MB_ICONWARNING);
  } else if (!pSum->Init(cond, &m_arKamoku, &m_arMatch, &m_arInitBody, m_nFunctionNo)) {
    ShowFailure(pSum->m_hWnd, pSum->GetFailure());
    CloseProgress(pScale);
    if (!m_bLinked) Message(APP_MSG_STOPPED, MB_ICONWARNING);
    m_nResult = RESULT_ERROR;
  } else {
    pScale->DispScale(50);
    if (!pSum->Run(m_hHostWnd)) {
      ShowFailure(pSum->m_hWnd, pSum->GetFailure());
      CloseProgress(pScale);
      if (!m_bLinked) Message(APP_MSG_STOPPED, MB_ICONWARNING);
      m_nResult = RESULT_ERROR;
    } else {
      pScale->DispScale(100);
      CloseProgress(pScale);
      if (!m_bLinked) Message(APP_MSG_COMPLETED, MB_ICONINFORMATION);
    }
  }
  pSema.reset();
  pSum.reset();
}

void CFinGaiApp::Message(LPCSTR pszText, UINT nIcon) {
  MessageBoxA(m_hHostWnd, pszText, FINGAI_CAPTION, MB_OK | nIcon);
}

BOOL CFinGaiApp::Stop(LPCSTR pszText, UINT nIcon) {
  Message(pszText, nIcon);
  m_nResult = RESULT_ERROR;
  return FALSE;
}
