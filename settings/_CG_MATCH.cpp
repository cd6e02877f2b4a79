#include "_CG_MATCH.h"

const char G_MATCH_NAME[] = "G_MATCH";

const _STAFormat G_MATCH_FORMAT[G_MATCH_FORMAT_COUNT] = {
    {"概況書科目番号", 2, 0, 0, 2, FT_SIGNED, 1},
    {"簿記科目コード", 4, 0, 2, 2, FT_SIGNED, 1},
    {"貸借区分", 1, 0, 4, 1, FT_UNSIGNED, 1},
};

_CG_MATCH::_CG_MATCH()
    : _CTextAccessor(G_MATCH_NAME, G_MATCH_FORMAT, G_MATCH_FORMAT_COUNT, &m_rec) {}

_CG_MATCH::~_CG_MATCH() = default;
