#include "SystemError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {

CString SystemErrorText(int nError) {
  switch (nError) {
    case 0:
      return "原因は不明です。";
    case ENOSPC:
    case EDQUOT:
      return "ディスクの空き領域が不足しています。";
    case EFBIG:
      return "ファイルが大きすぎます。";
    case ENOENT:
      return "指定されたパスが見つかりません。";
    case ENOTDIR:
      return "パスの途中にフォルダーではないものがあります。";
    case EISDIR:
      return "同じ名前のフォルダーがあります。";
    case EACCES:
    case EPERM:
      return "アクセスが拒否されました。";
    case EROFS:
      return "書き込み禁止のドライブです。";
    case ENAMETOOLONG:
      return "ファイル名が長すぎます。";
    case EIO:
      return "入出力エラーが発生しました。";
    case ERROR_NOT_A_FILE:
      return "同じ名前でファイルではないもの（デバイスなど）があります。";
    case EEXIST:
      return "同じ名前のファイルがあります。";
    case EINVAL:
    case EILSEQ:
      return "ファイル名に使用できない文字が含まれています。";
    default: {
      // The error's name is ASCII whatever the locale; its description may not be.
      const char* pszName = ::strerrorname_np(nError);
      char szText[96];
      std::snprintf(szText, sizeof szText, "システムエラー %d (%s)", nError,
                    pszName ? pszName : "?");
      return szText;
    }
  }
}

}  // namespace platform
