#pragma once
// Failure texts that the aggregation, the file writer, the wizard and the
// application object all use.

inline constexpr const char* FINGAI_MSG_NO_MEMORY = "ﾒﾓﾘが不足しています。";
inline constexpr const char* FINGAI_MSG_KANRI_READ = "管理ﾌｧｲﾙの読み込みに失敗しました。";
