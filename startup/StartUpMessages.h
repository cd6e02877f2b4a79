#pragma once
// The texts of the start-up checks (CStartUp), in the order the checks run.
// The application shows each in a message box with its caption; the
// command-line modes write it to standard error on one line.

inline constexpr const char* STARTUP_MSG_SYSTEM_DATE =
    "お使いのパソコンのシステム日付が正しく設定されていません。\n｢ｺﾝﾄﾛｰﾙﾊﾟﾈﾙ｣から｢日付と時刻｣を開い"
    "て、今日の年月日を正しく設定してから、再起動してください。";
inline constexpr const char* STARTUP_MSG_DOUBLE_START = "２重起動はできません。";
inline constexpr const char* STARTUP_MSG_SHARED_MEMORY =
    "共有メモリ確保失敗。\nWindowsを再起動してください。";
inline constexpr const char* STARTUP_MSG_HOST_RUNNING =
    "ハルモアを終了させてから再起動してください。";
inline constexpr const char* STARTUP_MSG_LOW_PAGING =
    "ﾒﾓﾘが不足しています。\n連動ﾌﾟﾛｸﾞﾗﾑを起動できません。\n\n他のｿﾌﾄを終了させるかｽﾜｯﾌﾟﾌｧｲﾙを増"
    "やしてください。\nｽﾜｯﾌﾟﾌｧｲﾙを増やしてもだめな場合\nｽﾜｯﾌﾟﾄﾞﾗｲﾌﾞの空き領域を増やして\nくださ"
    "い。";
inline constexpr const char* STARTUP_MSG_NO_HOST_EXE =
    "ハルモア１０アプリケーションが存在しません。\n動作環境が不正です。";
inline constexpr const char* STARTUP_MSG_REMOVABLE = "交換可能なﾒﾃﾞｨｱからは起動できません。";
inline constexpr const char* STARTUP_MSG_NETWORK = "LANﾄﾞﾗｲﾌﾞからは起動できません。";
inline constexpr const char* STARTUP_MSG_BAD_DRIVE = "起動ﾄﾞﾗｲﾌﾞが不正です。確認してください。";
inline constexpr const char* STARTUP_MSG_NO_MEMORY_CLOSE_OTHERS =
    "ﾒﾓﾘ不足です。同時に起動している他のｱﾌﾟﾘｹｰｼｮﾝを終了してください。";
inline constexpr const char* STARTUP_MSG_LEVEL_NO_INI =
    "動作環境が不正です。\nハルモア１０が正しくインストールされているか確認してください。";
inline constexpr const char* STARTUP_MSG_LEVEL_HOST_OLD =
    "ご利用の連動コンポーネントは、インストールされているハルモア１０では使用できません。\nハルモ"
    "ア１０の最新版を入手してインストールしてからご利用ください。";
inline constexpr const char* STARTUP_MSG_LEVEL_COMPONENT_OLD =
    "ご利用の連動コンポーネントは、インストールされているハルモア１０では使用できません。\n連動コ"
    "ンポーネントの最新版を入手してインストールしてからご利用ください。";
inline constexpr const char* STARTUP_MSG_VERSION_READ =
    "簿記で使用している DLL のﾊﾞｰｼﾞｮﾝの取得に失敗しました。\n";
inline constexpr const char* STARTUP_MSG_VERSION_WRONG = "現在のﾊﾟｿｺﾝの設定では起動できません。\n";
inline constexpr const char* STARTUP_MSG_KANRI_DB_PATH =
    "管理DBファイルのパスが取得できませんでした。";
inline constexpr const char* STARTUP_MSG_NO_SYSTEM_FILE = "システムファイルが存在しません。\n";
inline constexpr const char* STARTUP_MSG_ACCESS_INIT = "ﾌｧｲﾙｱｸｾｽの初期化に失敗しました。\n";
inline constexpr const char* STARTUP_MSG_NO_PROGRAM_FILE =
    "起動に必要なﾌﾟﾛｸﾞﾗﾑﾌｧｲﾙが存在しません。";
