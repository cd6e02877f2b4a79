#pragma once
// Texts the wizard shows. Every message box of the wizard carries the
// program's caption.

#include "FailureTexts.h"
#include "ShowFailure.h"

inline constexpr const char* SETGAI_MSG_NO_MEMORY_SHORT = "メモリ不足";
inline constexpr const char* SETGAI_MSG_SUBCLASS = "ダイアログのサブクラス化に失敗しました。";
inline constexpr const char* SETGAI_MSG_ENV_READ = "環境ﾌｧｲﾙの読み込みに失敗しました。";
inline constexpr const char* SETGAI_MSG_MONTH_INPUT = "月度の入力に誤りがあります｡";
inline constexpr const char* SETGAI_MSG_MONTH_RANGE = "設定された月度は会計期間内に存在しません。";
inline constexpr const char* SETGAI_MSG_PATH_EMPTY = "ﾌｧｲﾙ名を指定してください。";
inline constexpr const char* SETGAI_MSG_FOLDER_BAD = "ﾌｫﾙﾀﾞｰの入力に誤りがあります。";
inline constexpr const char* SETGAI_MSG_DRIVE_NOT_READY =
    "ﾄﾞﾗｲﾌﾞの準備ができていません。\nﾃﾞｨｽｸを挿入して処理をやり直してください。";
inline constexpr const char* SETGAI_MSG_FOLDER_MISSING = "存在しないﾌｫﾙﾀﾞｰが指定されました。";
inline constexpr const char* SETGAI_MSG_FILE_NAME = "ファイル名を指定して下さい。";
inline constexpr const char* SETGAI_MSG_OVERWRITE =
    "同名のファイルが存在します。 上書きしてもよろしいですか？";
inline constexpr const char* SETGAI_MSG_SAVE_ON_CANCEL = "入力した情報を保存して終了しますか？";

inline constexpr const char* SETGAI_MSG_MEMBER_FOLDER_UNKNOWN =
    "組合員別の集計条件を保存するフォルダーが取得できません。\n"
    "ホームフォルダーの名前に使用できない文字が含まれていないか確認してください。";
inline constexpr const char* SETGAI_MSG_MEMBER_FOLDER_CREATE =
    "組合員別の集計条件を保存するフォルダーが作成できません。";

inline constexpr const char* SETGAI_SAVE_TITLE = "保存ファイルを指定";
inline constexpr const char* SETGAI_SAVE_LOOK_IN = "ファイルの場所(&I)";
