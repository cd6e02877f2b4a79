#include "CHostObjects.h"

#include "CConv.h"
#include "CDenModify.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CKumiSen.h"
#include "CYmd.h"

CJetAccess* g_pJetAccess = nullptr;
CConv* g_pConv = nullptr;
CYmd* g_pYmd = nullptr;
CKumiSen* g_pKumiSen = nullptr;
CKaikei* g_pKaikei = nullptr;
CDenModify* g_pDenModify = nullptr;

namespace {

template <class T>
bool Publish(std::unique_ptr<T>& pOwned, T*& pGlobal, T* pObject) {
  if (pObject == nullptr) return false;
  pOwned.reset(pObject);
  pGlobal = pObject;
  return true;
}

// The pointer is cleared before its object goes, so nothing reaches a
// deleted object through it.
template <class T>
void Delete(std::unique_ptr<T>& pOwned, T*& pGlobal) {
  if (!pOwned) return;
  if (pGlobal == pOwned.get()) pGlobal = nullptr;
  pOwned.reset();
}

}  // namespace

CHostObjects::CHostObjects() = default;

CHostObjects::~CHostObjects() { Release(); }

bool CHostObjects::Hold(CJetAccess* pJetAccess) {
  return Publish(m_pJetAccess, g_pJetAccess, pJetAccess);
}
bool CHostObjects::Hold(CConv* pConv) { return Publish(m_pConv, g_pConv, pConv); }
bool CHostObjects::Hold(CYmd* pYmd) { return Publish(m_pYmd, g_pYmd, pYmd); }
bool CHostObjects::Hold(CKumiSen* pKumiSen) { return Publish(m_pKumiSen, g_pKumiSen, pKumiSen); }
bool CHostObjects::Hold(CKaikei* pKaikei) { return Publish(m_pKaikei, g_pKaikei, pKaikei); }
bool CHostObjects::Hold(CDenModify* pDenModify) {
  return Publish(m_pDenModify, g_pDenModify, pDenModify);
}

void CHostObjects::Release() {
  if (m_bOpen && m_pJetAccess) m_pJetAccess->Term();
  m_bOpen = false;
  Delete(m_pJetAccess, g_pJetAccess);
  Delete(m_pConv, g_pConv);
  Delete(m_pYmd, g_pYmd);
  Delete(m_pKaikei, g_pKaikei);
  Delete(m_pDenModify, g_pDenModify);
  Delete(m_pKumiSen, g_pKumiSen);
}
