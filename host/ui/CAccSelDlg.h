#pragma once
// The data-set selection dialog of the regular edition: lists the data sets
// of the management database (name, data ID, fiscal year, management form).
// DoModal returns IDOK when a data set was chosen (it is then the data set
// the data access reads, see LedgerSel_InitClass) or IDCANCEL (2).

#include <vector>

#include "CDialog.h"
#include "CListCtrl.h"

inline constexpr UINT IDD_LEDGER_ACCSEL = 30100;
inline constexpr UINT IDD_LEDGER_MEMBSEL = 30101;
inline constexpr int IDC_LEDGER_SEL_LIST = 30110;

class CAccSelDlg : public CDialog {
 public:
  explicit CAccSelDlg(CWnd* pParentWnd = nullptr);
  ~CAccSelDlg() override;

  // The chosen data set's folder (ending in "/") into a 260-byte buffer;
  // empty before a choice.
  void GetSelectedDataPath(char* pszBuffer);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override;
  // A double-clicked row is chosen as OK chooses the selected one.
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 protected:
  CAccSelDlg(UINT nIDTemplate, CWnd* pParentWnd);
  // Fills the list from the management database; FALSE when it cannot be
  // read (the dialog then says so and ends cancelled).
  BOOL FillList();
  // The row to select at start (-1: the first).
  virtual int InitialRow() const { return -1; }
  // Makes row nRow the data set the data access reads; FALSE on failure.
  BOOL ChooseRow(int nRow);

  CListCtrl m_list;
  CString m_strSelectedPath;
  std::vector<CString> m_arPaths;  // the listed data sets' folders, by row
};
