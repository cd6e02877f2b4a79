#pragma once
// Texts of the application's own message boxes. Each is shown with the
// program's caption and an OK button.

inline constexpr const char* APP_MSG_BAD_COMMAND_LINE =
    "起動パラメータに使用できない文字が含まれているため、起動できません。";
inline constexpr const char* APP_MSG_UNEXPECTED =
    "予期しないエラーが発生したため、処理を中止します。";

inline constexpr const char* APP_MSG_STOPPED = "内訳概況書の集計を中止します。";
inline constexpr const char* APP_MSG_KOJIN_DATA =
    "選択されたデータは、経営形態が『個人』です。\n\n『個人』データは選択できません。";
inline constexpr const char* APP_MSG_KOJIN_MEMBER =
    "選択された組合員は、経営形態が『個人』です。\n\n『個人』の組合員は選択できません。";
inline constexpr const char* APP_MSG_KAMOKU_COUNT = "勘定科目数の取得に失敗しました。";
inline constexpr const char* APP_MSG_KAMOKU_READ = "科目リードエラー";
inline constexpr const char* APP_MSG_KAMOKU_FAILED = "勘定科目の読込みに失敗しました。";
inline constexpr const char* APP_MSG_COMPLETED = "事業概況書データの集計結果を正常に出力しました。";

inline constexpr const char* APP_PROGRESS_TITLE = "集計中";
inline constexpr const char* APP_PROGRESS_TEXT = "集計中です。お待ちください....";
