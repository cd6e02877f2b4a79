#pragma once
// The dialog 集約科目対応設定: which account titles feed one report item. The
// item's 科目性格 decides the candidates (one account number, a "+" list, a
// "-" range or "ALL"); a check box widens the list to every account. On 設定
// the ticks are folded into the item's working matches. An account ticked
// while the list was widened stays in view when it narrows again, and the
// dialog opens on the first ticked row.

#include "CDialog.h"
#include "CListCtrl.h"
#include "S_KANKAMOKU.h"
#include "SettingsRecords.h"

class CSetGaiDlg : public CDialog {
 public:
  inline static constexpr int IDC_ITEM_NAME = 1014;
  inline static constexpr int IDC_LIST = 1017;
  inline static constexpr int IDC_ALL = 1026;
  inline static constexpr int IDC_SETTING = 1000;

  // Candidate modes.
  inline static constexpr BYTE SPEC_SINGLE = 0;
  inline static constexpr BYTE SPEC_RANGE = 1;
  inline static constexpr BYTE SPEC_LIST = 2;
  inline static constexpr BYTE SPEC_ALL = 3;

  explicit CSetGaiDlg(CWnd* pParent = nullptr);
  ~CSetGaiDlg() override;

  CListCtrl m_list;
  _SG_INIT_BODY m_body{};
  CArray<S_KANKAMOKU, S_KANKAMOKU>* m_pKamoku = nullptr;
  CArray<_SG_MATCH, _SG_MATCH>* m_pWork = nullptr;
  BYTE m_nSpecMode = SPEC_SINGLE;
  CStringArray m_arSpec;
  // Account codes found ticked while this dialog is open.
  CArray<short, short> m_arTicked;

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnInitDialog() override;
  void OnClicked(UINT nID) override;
  BOOL OnHelpInfo(HELPINFO* pHelpInfo) override;

  // Reads 科目性格 into m_nSpecMode and m_arSpec.
  void ParseSpec(const CString& strSpec);
  void FillList();
  void AddRow(int nRow, const S_KANKAMOKU& kamoku, BOOL bChecked);
  int IsMapped(short nCode) const;
  void CollectChecks();
  void InitAllCheck();

 private:
  // How many list rows the account number earns under the mode: the entries
  // equal to it for a single code or a list, else 0 or 1.
  int CandidateCount(std::int32_t nNo, BYTE nMode) const;
  BOOL WasTicked(short nCode) const;
  // Focuses the first ticked row, which the list then brings into view.
  void FocusFirstTicked();
  void OnSetting();
};
