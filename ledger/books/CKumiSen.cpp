#include "CKumiSen.h"

CKumiSen::CKumiSen(CJetAccess* pJetAccess, short nMode)
    : m_pJetAccess(pJetAccess), m_nMode(nMode) {}
