#pragma once
// The Explorer-style save-file dialog with a hook. The hook gets
// WM_INITDIALOG with a handle of the dialog; CDM_SETCONTROLTEXT sent to that
// handle (or to its parent, as on Windows) sets the text of one of the
// dialog's controls, 1091 being the look-in label. The backend then shows
// the dialog with those texts.

#include <map>
#include <utility>
#include <vector>

#include "UiDefs.h"

using LPOFNHOOKPROC = UINT_PTR (*)(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_ENABLEHOOK = 0x00000020;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;

inline constexpr UINT CDM_FIRST = WM_USER + 100;
inline constexpr UINT CDM_SETCONTROLTEXT = CDM_FIRST + 0x0004;
// The look-in label of the save-file dialog.
inline constexpr int stc4 = 1091;

inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;
inline constexpr DWORD CDERR_INITIALIZATION = 0x0002;

struct OPENFILENAMEA {
  DWORD lStructSize;
  HWND hwndOwner;
  HANDLE hInstance;
  LPCSTR lpstrFilter;  // pairs of zero-terminated texts, ended by an empty one
  LPSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;  // 1-based
  LPSTR lpstrFile;     // proposal in, chosen path out
  DWORD nMaxFile;
  LPSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCSTR lpstrInitialDir;
  LPCSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
};

// What the backend presents and what it hands back.
struct SaveFileRequest {
  HWND hOwner = nullptr;
  CString strTitle;
  std::vector<std::pair<CString, CString>> arFilters;  // display text, pattern
  int nFilterIndex = 1;                                // 1-based
  CString strProposal;
  CString strInitialDir;
  std::map<int, CString> controlTexts;  // set by the hook, by control id
  DWORD dwFlags = 0;
  CString strResult;  // the chosen path when the backend returns TRUE
};

// FALSE when the user cancelled or the dialog failed (CommDlgExtendedError
// tells which: 0 for a cancel). A chosen path that does not fit lpstrFile
// fails with FNERR_BUFFERTOOSMALL rather than being cut.
BOOL GetSaveFileNameA(OPENFILENAMEA* pOfn);
DWORD CommDlgExtendedError();

// Sends a message to a window of ours or to the save dialog being set up.
LRESULT SendMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
HWND GetParent(HWND hWnd);
