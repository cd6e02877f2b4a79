#pragma once
// The wizard pages' key helper: a CDlgSb that consults the page it is
// handed to (CPage::SetDialogSubClass) before Enter moves on
// (CheckInputSimpleData) and before Esc cancels (CheckEscKey).

#include "CDlgSb.h"

class CJetAccess;
class CPage;

class CDialogSub : public virtual CDlgSb {
 public:
  explicit CDialogSub(CJetAccess* pJetAccess);
  ~CDialogSub() override;

  int DialogKeyDown(UINT nVirtKey) override;

  // Set by CPage::SetDialogSubClass.
  void SetPage(CPage* pPage) { m_pPage = pPage; }
  CJetAccess* GetJetAccess() const { return m_pJetAccess; }

 private:
  CJetAccess* m_pJetAccess;
  CPage* m_pPage = nullptr;
};
