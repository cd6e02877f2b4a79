#include "CUiBackend.h"

#include <cstdio>

#include "CDialog.h"
#include "Cp932.h"

namespace {

// No backend installed: nobody can act, so every dialog is cancelled.
class CFallbackBackend : public CUiBackend {
 public:
  INT_PTR RunModal(CDialog& dlg) override {
    std::string strTitle;
    cp932::ToUtf8(dlg.GetTitle(), strTitle);
    std::fprintf(stderr, "no user interface: dialog \"%s\" cancelled\n", strTitle.c_str());
    dlg.AbortModal();
    return dlg.GetModalResult();
  }
  int MessageBox(HWND hOwner, const CString& strText, const CString& strCaption,
                 UINT nType) override {
    return MessageBoxA(hOwner, strText.c_str(), strCaption.c_str(), nType);
  }
  BOOL GetSaveFileName(SaveFileRequest&) override { return FALSE; }
  void ProgressOpen(CWnd&) override {}
  void ProgressTitle(CWnd&, const CString&) override {}
  void ProgressMessage(CWnd&, const CString&) override {}
  void ProgressScale(CWnd&, int) override {}
  void ProgressClose(CWnd&) override {}
};

CFallbackBackend& Fallback() {
  static CFallbackBackend fallback;
  return fallback;
}

CUiBackend* g_pBackend = nullptr;

}  // namespace

void CUiBackend::OnPageActivated(CPropertySheet&, CPropertyPage&) {}
void CUiBackend::OnFocusChanged(CWnd&, BOOL) {}
void CUiBackend::OnWindowChanged(CWnd&) {}
void CUiBackend::OnWindowDestroyed(CWnd&) {}
void CUiBackend::OnEditSelection(CEdit&) {}
void CUiBackend::OnForeground(CWnd&) {}
void CUiBackend::OnPost(HWND, UINT, WPARAM, LPARAM) {}

CUiBackend& UiBackend() { return g_pBackend ? *g_pBackend : Fallback(); }

CUiBackend* SetUiBackend(CUiBackend* pBackend) {
  CUiBackend* pPrevious = g_pBackend;
  g_pBackend = pBackend;
  if (pBackend) {
    SetMessageBoxHandler(
        [](HWND hOwner, const CString& strText, const CString& strCaption, UINT nType) {
          return UiBackend().MessageBox(hOwner, strText, strCaption, nType);
        });
  } else {
    SetMessageBoxHandler(nullptr);
  }
  return pPrevious;
}

void UiNotifyPost(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  UiBackend().OnPost(hWnd, message, wParam, lParam);
}
