#include "SaveFileDialog.h"

#include <cstring>

#include "CUiBackend.h"
#include "CWnd.h"

namespace {

DWORD g_dwLastError = 0;
SaveFileRequest* g_pSetup = nullptr;  // the save dialog whose hook is running
char g_saveDialog;                    // its handle
char g_saveChild;                     // the handle the hook gets

HWND SaveDialogHandle() { return reinterpret_cast<HWND>(&g_saveDialog); }
HWND SaveChildHandle() { return reinterpret_cast<HWND>(&g_saveChild); }

}  // namespace

BOOL GetSaveFileNameA(OPENFILENAMEA* pOfn) {
  if (!pOfn || !pOfn->lpstrFile || pOfn->nMaxFile == 0) {
    g_dwLastError = CDERR_INITIALIZATION;
    return FALSE;
  }
  SaveFileRequest request;
  request.hOwner = pOfn->hwndOwner;
  request.strTitle = pOfn->lpstrTitle ? pOfn->lpstrTitle : "";
  request.dwFlags = pOfn->Flags;
  request.nFilterIndex = static_cast<int>(pOfn->nFilterIndex);
  request.strInitialDir = pOfn->lpstrInitialDir ? pOfn->lpstrInitialDir : "";
  request.strProposal.assign(pOfn->lpstrFile, strnlen(pOfn->lpstrFile, pOfn->nMaxFile));
  for (LPCSTR p = pOfn->lpstrFilter; p && *p;) {
    CString strDisplay = p;
    p += strDisplay.size() + 1;
    // A display text without its pattern ends the list.
    if (!*p) break;
    CString strPattern = p;
    p += strPattern.size() + 1;
    request.arFilters.emplace_back(std::move(strDisplay), std::move(strPattern));
  }
  if ((pOfn->Flags & OFN_ENABLEHOOK) && pOfn->lpfnHook) {
    g_pSetup = &request;
    pOfn->lpfnHook(SaveChildHandle(), WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(pOfn));
    g_pSetup = nullptr;
  }
  g_dwLastError = 0;
  if (!UiBackend().GetSaveFileName(request)) return FALSE;
  if (request.strResult.size() + 1 > pOfn->nMaxFile) {
    g_dwLastError = FNERR_BUFFERTOOSMALL;
    return FALSE;
  }
  std::memcpy(pOfn->lpstrFile, request.strResult.c_str(), request.strResult.size() + 1);
  const std::size_t nSlash = request.strResult.rfind('/');
  const std::size_t nName = nSlash == CString::npos ? 0 : nSlash + 1;
  const std::size_t nDot = request.strResult.rfind('.');
  pOfn->nFileOffset = static_cast<WORD>(nName);
  pOfn->nFileExtension = static_cast<WORD>(
      nDot != CString::npos && nDot >= nName ? nDot + 1 : request.strResult.size());
  pOfn->nFilterIndex = static_cast<DWORD>(request.nFilterIndex);
  if (pOfn->lpstrFileTitle && pOfn->nMaxFileTitle > 0) {
    const CString strName = request.strResult.substr(nName);
    const std::size_t nCopy = std::min<std::size_t>(strName.size(), pOfn->nMaxFileTitle - 1);
    std::memcpy(pOfn->lpstrFileTitle, strName.data(), nCopy);
    pOfn->lpstrFileTitle[nCopy] = '\0';
  }
  return TRUE;
}

DWORD CommDlgExtendedError() { return g_dwLastError; }

LRESULT SendMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hWnd == SaveDialogHandle() || hWnd == SaveChildHandle()) {
    if (!g_pSetup) return 0;
    if (message == CDM_SETCONTROLTEXT) {
      const auto* pszText = reinterpret_cast<LPCSTR>(lParam);
      g_pSetup->controlTexts[static_cast<int>(wParam)] = pszText ? pszText : "";
      return 1;
    }
    return 0;
  }
  CWnd* pWnd = CWnd::FromHandle(hWnd);
  return pWnd ? pWnd->SendMessage(message, wParam, lParam) : 0;
}

HWND GetParent(HWND hWnd) {
  if (hWnd == SaveChildHandle()) return SaveDialogHandle();
  if (hWnd == SaveDialogHandle()) return nullptr;
  CWnd* pWnd = CWnd::FromHandle(hWnd);
  CWnd* pParent = pWnd ? pWnd->GetParent() : nullptr;
  return pParent ? pParent->GetSafeHwnd() : nullptr;
}
