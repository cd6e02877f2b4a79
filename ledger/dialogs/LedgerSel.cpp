#include "LedgerSel.h"

namespace {
CJetAccess* g_pSelJetAccess = nullptr;
CConv* g_pSelConv = nullptr;
}  // namespace

BOOL LedgerSel_InitClass(CJetAccess* pJetAccess, CConv* pConv) {
  if (pJetAccess == nullptr || pConv == nullptr) return FALSE;
  g_pSelJetAccess = pJetAccess;
  g_pSelConv = pConv;
  return TRUE;
}

CJetAccess* LedgerSel_GetJetAccess() { return g_pSelJetAccess; }
CConv* LedgerSel_GetConv() { return g_pSelConv; }
