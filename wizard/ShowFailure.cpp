#include "ShowFailure.h"

#include "WinMessageBox.h"

void ShowFailure(HWND hOwner, const CFailure& failure) {
  for (const CString& strText : failure.Texts()) {
    MessageBoxA(hOwner, strText.c_str(), FINGAI_CAPTION, MB_OK | MB_ICONWARNING);
  }
}
