#include "CValueMgr.h"

#include "CInstallation.h"

namespace {
CValueMgr* g_pValueMgr = nullptr;
}

CValueMgr* CValueMgr::Instance() {
  if (g_pValueMgr == nullptr) g_pValueMgr = new CValueMgr();
  return g_pValueMgr;
}

BOOL CValueMgr::Set(LPCSTR szName, short nIndex) {
  if (nIndex != 0 || szName == nullptr) return FALSE;
  m_strName = szName;
  return TRUE;
}

short CValueMgr::GetNo() {
  // Asked afresh each time: the program does not cache the edition either.
  CInstallation install;
  return install.Load() ? install.GetEdition() : CInstallation::EDITION_REGULAR;
}

short CValueMgr::GetOSType() { return OSTYPE_POSIX; }

LPCSTR CValueMgr::GetName() {
  if (m_strName.empty()) {
    CInstallation install;
    if (install.Load()) return (m_strFallback = install.GetProductName()).c_str();
  }
  return m_strName.c_str();
}

void CValueMgr::Release() {
  if (g_pValueMgr == this) g_pValueMgr = nullptr;
  delete this;
}
