#pragma once
// The warning every failure of the aggregation and the file writer is shown
// with: one caption, the warning icon, an OK button.

#include "SystemError.h"
#include "WinMessageBox.h"

inline constexpr const char* FINGAI_CAPTION = "内訳概況書のミラベル（概況書）";
inline constexpr const char* FINGAI_MSG_NO_MEMORY = "ﾒﾓﾘが不足しています。";
inline constexpr const char* FINGAI_MSG_KANRI_READ = "管理ﾌｧｲﾙの読み込みに失敗しました。";

inline void FinGaiWarning(HWND hWnd, LPCSTR text) {
  MessageBoxA(hWnd, text, FINGAI_CAPTION, MB_OK | MB_ICONWARNING);
}

// A failure on a file: what failed, the file and the system's reason (errno
// nError), one to a line.
inline void FinGaiFileWarning(HWND hWnd, LPCSTR pszWhat, const CString& strPath, int nError) {
  const CString strText =
      CString(pszWhat) + "\nファイル：" + strPath + "\n原因：" + platform::SystemErrorText(nError);
  FinGaiWarning(hWnd, strText.c_str());
}
