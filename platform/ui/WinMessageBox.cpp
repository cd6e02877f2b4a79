#include "WinMessageBox.h"

#include <cstdio>
#include <utility>

#include "Cp932.h"

namespace {

MessageBoxHandler& Handler() {
  static MessageBoxHandler handler;
  return handler;
}

}  // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  return std::exchange(Handler(), std::move(handler));
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  const CString textStr = text ? text : "";
  const CString captionStr = caption ? caption : "";
  if (Handler()) return Handler()(owner, textStr, captionStr, type);
  std::string utf8Caption;
  std::string utf8Text;
  cp932::ToUtf8(captionStr, utf8Caption);
  cp932::ToUtf8(textStr, utf8Text);
  std::fprintf(stderr, "[%s] %s\n", utf8Caption.c_str(), utf8Text.c_str());
  const UINT buttons = type & MB_TYPEMASK;
  return buttons == MB_OK ? IDOK : IDCANCEL;
}
