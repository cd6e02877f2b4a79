#include "CSetGaiSht.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "CDataSheet.h"
#include "CJetAccess.h"
#include "CSetGaiFile.h"
#include "CSetGaiP1.h"
#include "CSetGaiP2.h"
#include "CSetGaiP3.h"
#include "CUtyFile.h"
#include "CValueMgr.h"
#include "SetGaiGlobals.h"
#include "SetGaiMessages.h"

namespace {

constexpr const char* kSheetTitle = "事業概況書 - 集計条件";

}  // namespace

CSetGaiSht::CSetGaiSht(CArray<S_KANKAMOKU, S_KANKAMOKU>* pKamoku,
                       CArray<_SG_MATCH, _SG_MATCH>* pMatch,
                       CArray<_SG_INIT_BODY, _SG_INIT_BODY>* pInitBody)
    : m_pKamoku(pKamoku), m_pMatch(pMatch), m_pInitBody(pInitBody) {}

CSetGaiSht::~CSetGaiSht() {
  m_pKamoku = nullptr;
  m_pMatch = nullptr;
  m_pInitBody = nullptr;
}

int CSetGaiSht::DispSheet(CWnd* pParent) {
  // The pages outlive the sheet that points at them.
  CSetGaiP1 page1;
  CSetGaiP2 page2;
  CSetGaiP3 page3;
  CDataSheet sheet(kSheetTitle, pParent, 0);
  m_hOwnerWnd = pParent ? pParent->GetSafeHwnd() : nullptr;
  sheet.m_nBtnType = 2;

  const auto warn = [this](LPCSTR pszText) {
    FinGaiWarning(m_hOwnerWnd, pszText);
    return 0;
  };
  m_pEnv.reset(new (std::nothrow) S_ENV{});
  m_pKanri.reset(new (std::nothrow) S_KANRI{});
  if (!m_pEnv || !m_pKanri) return warn(SETGAI_MSG_NO_MEMORY_SHORT);
  m_pKanri2.reset(new (std::nothrow) S_KANRI2{});
  if (!m_pKanri2) return 0;

  if (g_pJetAccess->ReadEnv(m_pEnv.get()) != 0) return warn(SETGAI_MSG_ENV_READ);
  if (g_pJetAccess->ReadKanri(m_pKanri.get()) != 0) return warn(FINGAI_MSG_KANRI_READ);
  if (g_pJetAccess->ReadKanri2(m_pKanri2.get()) != 0) {
    return warn("管理２ﾌｧｲﾙの読み込みに失敗しました。");
  }

  const BOOL bCoop = CValueMgr::Instance()->GetNo() >= 10;
  if (bCoop) {
    // Without its folder the member file would land under its bare name in
    // the current folder, where loading takes it for another's settings.
    CUtyFile uty;
    if (!uty.GetSpFolderPath(CUtyFile::SPFOLDER_KUMIAI, m_szMemberEnv, MAX_PATH)) {
      return warn(SETGAI_MSG_MEMBER_FOLDER_UNKNOWN);
    }
    if (!uty.CheckFolderExist(m_szMemberEnv)) {
      errno = 0;
      if (!uty.CreateFolder(m_szMemberEnv, 0, nullptr, 0)) {
        FinGaiFileWarning(m_hOwnerWnd, SETGAI_MSG_MEMBER_FOLDER_CREATE, m_szMemberEnv, errno);
        return 0;
      }
    }
    const std::size_t nLen = std::strlen(m_szMemberEnv);
    if (nLen + std::strlen(CSetGaiFile::MemberEnvFileName()) >= MAX_PATH) {
      FinGaiFileWarning(m_hOwnerWnd, SETGAI_MSG_MEMBER_FOLDER_CREATE, m_szMemberEnv, ENAMETOOLONG);
      return 0;
    }
    std::strcat(m_szMemberEnv, CSetGaiFile::MemberEnvFileName());
  }

  CSetGaiFile files(m_hOwnerWnd, bCoop);
  files.SetHostRecords(*m_pKanri, *m_pKanri2);
  files.m_strMemberEnv = m_szMemberEnv;
  if (!files.LoadSettings(m_strDataPath, m_cond, *m_pMatch, *m_pInitBody)) return 0;
  m_strSavedOut = m_cond.szOutPath;

  page1.m_strEnvFile = CSetGaiFile::EnvFileName(bCoop);
  page1.m_strEnvFolder = m_strDataPath;
  page1.m_strMemberEnv = m_szMemberEnv;
  page1.m_pCondition = &m_cond;
  page1.m_strSavedOut = m_strSavedOut;
  page1.m_pMatch = m_pMatch;
  page1.m_pInitBody = m_pInitBody;
  page1.m_bFixedOut = m_strLinkParam.empty() ? 0 : 1;
  if (page1.m_bFixedOut) page1.m_strFixedOut = m_strLinkParam;

  page2.m_pCondition = &m_cond;
  page2.m_pKanri = m_pKanri.get();
  page2.m_pTipTexts = m_strTipText.data();
  page2.m_pKamoku = m_pKamoku;
  page2.m_pMatch = m_pMatch;
  page2.m_pInitBody = m_pInitBody;

  page3.m_pCondition = &m_cond;
  page3.m_pTipTexts = m_strTipText.data();
  page3.m_pKamoku = m_pKamoku;
  page3.m_pMatch = m_pMatch;
  page3.m_pInitBody = m_pInitBody;

  sheet.AddPage(&page1);
  sheet.AddPage(&page2);
  sheet.AddPage(&page3);
  const INT_PTR nResult = sheet.DoModal();
  // A cancel whose save of the settings failed (its message shown) is a failure.
  m_bCancelled = nResult == IDCANCEL && !page1.m_bSaveFailed ? TRUE : FALSE;
  if (nResult == IDOK) {
    return files.SaveSettings(m_strDataPath, CSetGaiFile::EnvFileName(bCoop), m_cond,
                              !m_strLinkParam.empty(), m_strSavedOut, *m_pMatch);
  }
  // A sheet that could not be shown was never confirmed.
  return nResult == IDCANCEL || nResult == -1 ? 0 : 1;
}
