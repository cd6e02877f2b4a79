#pragma once
// The settings wizard of one run: reads the host records it needs, loads
// (or on the first run creates) the data set's settings, shows the three
// pages and saves the settings when the wizard finishes.
//
// Use: construct with the application's arrays, set m_strDataPath and
// m_strLinkParam, call DispSheet; after a non-zero result copy m_cond.

#include <array>
#include <memory>

#include "CWnd.h"
#include "S_ENV.h"
#include "S_KANKAMOKU.h"
#include "S_KANRI.h"
#include "S_KANRI2.h"
#include "SettingsRecords.h"

class CSetGaiFile;
class CSetGaiP1;
class CSetGaiP2;
class CSetGaiP3;

class CSetGaiSht {
 public:
  CSetGaiSht(CArray<S_KANKAMOKU, S_KANKAMOKU>* pKamoku, CArray<_SG_MATCH, _SG_MATCH>* pMatch,
             CArray<_SG_INIT_BODY, _SG_INIT_BODY>* pInitBody);
  ~CSetGaiSht();
  CSetGaiSht(const CSetGaiSht&) = delete;
  CSetGaiSht& operator=(const CSetGaiSht&) = delete;

  CArray<S_KANKAMOKU, S_KANKAMOKU>* m_pKamoku;
  CArray<_SG_MATCH, _SG_MATCH>* m_pMatch;
  CArray<_SG_INIT_BODY, _SG_INIT_BODY>* m_pInitBody;
  CString m_strDataPath;  // the data set's folder, ending in "/"
  _SG_CONDITION m_cond{};
  CString m_strLinkParam;  // output path fixed by the launcher, empty when none
  std::array<CString, SG_ITEM_COUNT> m_strTipText;
  HWND m_hOwnerWnd = nullptr;
  std::unique_ptr<S_ENV> m_pEnv;
  std::unique_ptr<S_KANRI> m_pKanri;
  std::unique_ptr<S_KANRI2> m_pKanri2;
  CString m_strSavedOut;  // 中間ファイル出力先 as loaded
  char m_szMemberEnv[MAX_PATH] = {};
  // Set when DispSheet returned 0 because the user cancelled the wizard;
  // clear when it failed.
  BOOL m_bCancelled = FALSE;

  // Non-zero when the run goes on with the settings now in m_cond and the
  // arrays; 0 when the wizard was cancelled or the settings could not be
  // read or saved.
  int DispSheet(CWnd* pParent);

 private:
  // The steps of DispSheet; each shows what failed and returns FALSE then.
  BOOL Warn(LPCSTR pszText) const;
  BOOL ReadHostRecords();
  // The member environment file's path in m_szMemberEnv, its folder created.
  BOOL PrepareMemberFile();
  // Loads the settings; a damaged environment file may be started over from
  // the defaults when the user says so.
  BOOL LoadSettings(const CSetGaiFile& files);
  void SetUpPages(CSetGaiP1& page1, CSetGaiP2& page2, CSetGaiP3& page3);
};
