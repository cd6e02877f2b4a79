#include "_CG_INIT_BODY.h"

const char G_INIT_BODY_NAME[] = "G_INIT_BODY";

const _STAFormat G_INIT_BODY_FORMAT[G_INIT_BODY_FORMAT_COUNT] = {
    {"概況書科目番号", 2, 0, 0, 2, FT_SIGNED, 1}, {"概況書科目名", 30, 0, 2, 31, FT_TEXT, 0},
    {"貸借区分", 1, 0, 33, 1, FT_UNSIGNED, 1},    {"区分", 1, 0, 34, 1, FT_UNSIGNED, 1},
    {"科目性格", 255, 0, 35, 256, FT_TEXT, 0},    {"計算式", 255, 0, 291, 256, FT_TEXT, 0},
    {"タグ", 50, 0, 547, 51, FT_TEXT, 0},
};

_CG_INIT_BODY::_CG_INIT_BODY()
    : _CTextAccessor(G_INIT_BODY_NAME, G_INIT_BODY_FORMAT, G_INIT_BODY_FORMAT_COUNT, &m_rec) {}

_CG_INIT_BODY::~_CG_INIT_BODY() = default;
