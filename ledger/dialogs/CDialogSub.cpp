#include "CDialogSub.h"

#include "CPage.h"

CDialogSub::CDialogSub(CJetAccess* pJetAccess) : m_pJetAccess(pJetAccess) {}

CDialogSub::~CDialogSub() = default;

int CDialogSub::DialogKeyDown(UINT nVirtKey) {
  if (m_pPage) {
    if (nVirtKey == VK_RETURN && !m_pPage->CheckInputSimpleData()) return 0;
    if (nVirtKey == VK_ESCAPE && !m_pPage->CheckEscKey()) return 0;
  }
  return CDlgSb::DialogKeyDown(nVirtKey);
}
