#include "CDenModify.h"

CDenModify::CDenModify(CJetAccess* pJetAccess, CKaikei* pKaikei)
    : m_pJetAccess(pJetAccess), m_pKaikei(pKaikei) {}
