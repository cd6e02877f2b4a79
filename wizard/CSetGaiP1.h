#pragma once
// Wizard page 集計条件: the company, its fiscal period, the last month of the
// aggregation span and the XML output file. The month and path checks run
// when the sheet is about to finish; cancelling offers to save what was
// entered.

#include <memory>

#include "CSetGaiPage.h"
#include "S_ENV.h"
#include "S_KANRI.h"

class CSetGaiP1 : public CSetGaiPage {
 public:
  inline static constexpr int IDC_JIGYO_NAME = 1001;
  inline static constexpr int IDC_KAIKEI_KIKAN = 1002;
  inline static constexpr int IDC_TAX = 1006;
  inline static constexpr int IDC_TO_MONTH = 1007;
  inline static constexpr int IDC_OUT_PATH = 1008;
  inline static constexpr int IDC_BROWSE = 1009;
  inline static constexpr int IDC_FROM_MONTH = 1010;
  inline static constexpr int IDC_OUT_GROUP = 1143;

  CSetGaiP1();
  ~CSetGaiP1() override;

  // Set by the settings sheet before the sheet is shown.
  CString m_strEnvFile;
  CString m_strEnvFolder;
  CString m_strFixedOut;
  int m_bFixedOut = 0;
  CString m_strSavedOut;
  CString m_strMemberEnv;
  // The settings were to be saved on cancel and could not be.
  bool m_bSaveFailed = false;
  // The books' conditions were read and shown in full.
  bool m_bConditionsShown = false;

  // Page state.
  CString m_strFromMonth;
  CString m_strToMonth;
  int m_bTaxIncluded = 0;
  short m_nFromMonth = 0;
  short m_nToMonth = 0;
  int m_nStartYm = 0;
  int m_nEndYm = 0;
  char m_szOutPath[MAX_PATH] = {};
  char m_szDefaultName[MAX_PATH] = {};
  std::unique_ptr<S_ENV> m_pEnv;

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnCancel() override;
  BOOL OnSetActive() override;
  int OnPrevOKCheck() override;

  void OnClicked(UINT nID) override;
  void OnEditKillFocus(UINT nID) override;

  void ShowConditions();
  void MakeDefaultName();
  // Proposes the path of 1008 in the save-file dialog and shows the chosen
  // one there (also left in m_szOutPath). 0 when a file was chosen, -1 when
  // the dialog was cancelled or failed.
  int BrowseOutputFile();
  int CheckMonths();
  int CheckOutputPath();
  int ConfirmOverwrite();

 private:
  // Reads the books' management record into pKanri and the environment
  // record into m_pEnv; the warning for the first that fails, else nullptr.
  LPCSTR ReadRecords(std::unique_ptr<S_KANRI>& pKanri);
  void Warn(LPCSTR pszText);
  // Message, then the sheet shows this page with the focus on nCtrlId.
  int Reject(LPCSTR pszText, short nCtrlId);
  // Fills m_pCondition from the fields as entered, without checking them.
  void StoreEntered(BOOL bWithPath);
  void OnTaxClicked();
};

// Sets the look-in label of the save-file dialog.
UINT_PTR SaveFileHook(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
