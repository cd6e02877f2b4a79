#include "CPage.h"

#include "CDialogSub.h"

CPage::CPage(UINT nIDTemplate, UINT nIDCaption) : CPropertyPage(nIDTemplate, nIDCaption) {}

CPage::~CPage() = default;

int CPage::OnPrevOKCheck() { return 1; }
int CPage::CheckEscKey() { return 1; }
int CPage::OnPrevPrevCheck() { return 1; }
int CPage::OnPrevNextCheck() { return 1; }
int CPage::CheckPrevPage(int) { return 1; }
int CPage::CheckNextPage(int) { return 1; }
int CPage::CheckInputSimpleData() { return 1; }

void CPage::SetDialogSubClass(CDialogSub* pSub) {
  m_pDialogSub = pSub;
  if (pSub) pSub->SetPage(this);
}
