#include "_CG_CONDITION.h"

const char G_CONDITION_NAME[] = "G_CONDITION";

const _STAFormat G_CONDITION_FORMAT[G_CONDITION_FORMAT_COUNT] = {
    {"データID", 40, 0, 0, 41, FT_TEXT, 0},    {"期間（始）", 2, 0, 41, 2, FT_SIGNED, 1},
    {"期間（終）", 2, 0, 43, 2, FT_SIGNED, 1}, {"税処理", 1, 0, 45, 1, FT_UNSIGNED, 1},
    {"事業種別", 1, 0, 46, 1, FT_UNSIGNED, 1}, {"中間ファイル出力先", 255, 0, 47, 256, FT_TEXT, 0},
};

_CG_CONDITION::_CG_CONDITION()
    : _CTextAccessor(G_CONDITION_NAME, G_CONDITION_FORMAT, G_CONDITION_FORMAT_COUNT, &m_rec) {}

_CG_CONDITION::~_CG_CONDITION() = default;
