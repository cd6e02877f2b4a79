#pragma once
// What the two item pages (主要科目 and 月別売上等) share: a button per
// mappable report item, a tooltip on each listing the accounts mapped to it,
// the mapping dialog behind each button, the sheet's buttons on showing and
// the cancel that asks nothing.

#include <span>

#include "CSetGaiPage.h"
#include "CToolTipCtrl.h"
#include "S_KANKAMOKU.h"

class CSetGaiItemPage : public CSetGaiPage {
 public:
  // Control of each report item, entry N - 1 for item N (both pages).
  static const int s_anItemCtrl[SG_ITEM_COUNT];
  // Item number whose control is nCtrlId, 0 when none.
  static int ItemOfControl(int nCtrlId);

  ~CSetGaiItemPage() override;

  // Shared settings, set by the settings sheet before the sheet is shown.
  CString* m_pTipTexts = nullptr;  // SG_ITEM_COUNT strings, element N - 1 for item N
  CArray<S_KANKAMOKU, S_KANKAMOKU>* m_pKamoku = nullptr;

  CToolTipCtrl m_tip;
  CArray<_SG_MATCH, _SG_MATCH> m_arWork;  // one item's matches while its dialog is open
  _SG_INIT_BODY m_body{};                 // definition of the item last edited

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnInitDialog() override;
  void OnCancel() override;
  // Back enabled, next on all but the last page; tips and labels refreshed.
  BOOL OnSetActive() override;
  int OnPrevOKCheck() override;

  void OnClicked(UINT nID) override;

  virtual void SetItemLabels() = 0;
  void CreateTips();
  void RefreshTips();
  // Opens the mapping dialog for definition d; on OK its matches replace the
  // item's block in the match list. 0 when the dialog could not be created.
  int EditItemMapping(_SG_INIT_BODY d);
  // The click on the button of item nItem.
  void OnItemButton(int nItem);

 protected:
  // items: the numbers of the items whose buttons the page carries.
  CSetGaiItemPage(UINT nIDTemplate, std::span<const int> items, BOOL bLastPage);
  // The item's tip text rebuilt from the current matches.
  const CString& BuildTip(int nItem);
  const _SG_INIT_BODY* Definition(int nIndex) const;

 private:
  std::span<const int> m_items;
  BOOL m_bLastPage;
  CString m_strScratch;  // tip text while no shared strings are set
};
