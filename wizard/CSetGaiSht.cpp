#include "CSetGaiSht.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "CDataSheet.h"
#include "CHostObjects.h"
#include "CJetAccess.h"
#include "CSetGaiFile.h"
#include "CSetGaiP1.h"
#include "CSetGaiP2.h"
#include "CSetGaiP3.h"
#include "CUtyFile.h"
#include "CValueMgr.h"
#include "SetGaiMessages.h"
#include "WinMessageBox.h"

namespace {

constexpr const char* kSheetTitle = "事業概況書 - 集計条件";
constexpr const char* kMsgEnvDamaged =
    "この集計データの集計条件ファイルが壊れています。\n"
    "集計条件を初期データからやり直しますか？\n\n"
    "壊れたファイルは名前を変えて残します。";

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

  const BOOL bCoop = CValueMgr::Instance()->GetNo() >= 10;
  if (!ReadHostRecords() || (bCoop && !PrepareMemberFile())) return 0;
  CSetGaiFile files(m_hOwnerWnd, bCoop);
  files.SetHostRecords(*m_pKanri, *m_pKanri2);
  files.m_strMemberEnv = m_szMemberEnv;
  if (!LoadSettings(files)) return 0;
  m_strSavedOut = m_cond.szOutPath;

  SetUpPages(page1, page2, page3);
  page1.m_strEnvFile = CSetGaiFile::EnvFileName(bCoop);
  sheet.AddPage(&page1);
  sheet.AddPage(&page2);
  sheet.AddPage(&page3);
  const INT_PTR nResult = sheet.DoModal();
  // A cancel whose save of the settings failed (its message shown) is a failure.
  m_bCancelled = nResult == IDCANCEL && !page1.m_bSaveFailed ? TRUE : FALSE;
  if (nResult == IDOK) {
    if (files.SaveSettings(m_strDataPath, CSetGaiFile::EnvFileName(bCoop), m_cond,
                           !m_strLinkParam.empty(), m_strSavedOut, *m_pMatch)) {
      return 1;
    }
    ShowFailure(m_hOwnerWnd, files.GetFailure());
    return 0;
  }
  // A sheet that could not be shown was never confirmed.
  return nResult == IDCANCEL || nResult == -1 ? 0 : 1;
}

BOOL CSetGaiSht::Warn(LPCSTR pszText) const {
  ShowFailure(m_hOwnerWnd, CFailure(pszText));
  return FALSE;
}

BOOL CSetGaiSht::ReadHostRecords() {
  m_pEnv.reset(new (std::nothrow) S_ENV{});
  m_pKanri.reset(new (std::nothrow) S_KANRI{});
  if (!m_pEnv || !m_pKanri) return Warn(SETGAI_MSG_NO_MEMORY_SHORT);
  m_pKanri2.reset(new (std::nothrow) S_KANRI2{});
  if (!m_pKanri2) return FALSE;

  if (g_pJetAccess->ReadEnv(m_pEnv.get()) != 0) return Warn(SETGAI_MSG_ENV_READ);
  if (g_pJetAccess->ReadKanri(m_pKanri.get()) != 0) return Warn(FINGAI_MSG_KANRI_READ);
  if (g_pJetAccess->ReadKanri2(m_pKanri2.get()) != 0) {
    return Warn("管理２ﾌｧｲﾙの読み込みに失敗しました。");
  }
  return TRUE;
}

BOOL CSetGaiSht::PrepareMemberFile() {
  // Without its folder the member file would land under its bare name in
  // the current folder, where loading takes it for another's settings.
  CUtyFile uty;
  if (!uty.GetSpFolderPath(CUtyFile::SPFOLDER_KUMIAI, m_szMemberEnv, MAX_PATH)) {
    return Warn(SETGAI_MSG_MEMBER_FOLDER_UNKNOWN);
  }
  if (!uty.CheckFolderExist(m_szMemberEnv)) {
    errno = 0;
    if (!uty.CreateFolder(m_szMemberEnv, 0, nullptr, 0)) {
      ShowFailure(m_hOwnerWnd, CFailure(SETGAI_MSG_MEMBER_FOLDER_CREATE, m_szMemberEnv, errno));
      return FALSE;
    }
  }
  const std::size_t nLen = std::strlen(m_szMemberEnv);
  if (nLen + std::strlen(CSetGaiFile::MemberEnvFileName()) >= MAX_PATH) {
    ShowFailure(m_hOwnerWnd,
                CFailure(SETGAI_MSG_MEMBER_FOLDER_CREATE, m_szMemberEnv, ENAMETOOLONG));
    return FALSE;
  }
  std::strcat(m_szMemberEnv, CSetGaiFile::MemberEnvFileName());
  return TRUE;
}

BOOL CSetGaiSht::LoadSettings(const CSetGaiFile& files) {
  BOOL bDamaged = FALSE;
  if (files.LoadSettings(m_strDataPath, m_cond, *m_pMatch, *m_pInitBody, &bDamaged)) return TRUE;
  ShowFailure(m_hOwnerWnd, files.GetFailure());
  // A damaged file would block its data set for good: offer to start over,
  // keeping the damaged file for whoever wants to look at it.
  if (!bDamaged || MessageBoxA(m_hOwnerWnd, kMsgEnvDamaged, FINGAI_CAPTION,
                               MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
    return FALSE;
  }
  if (files.StartOver(m_strDataPath, m_cond, *m_pMatch, *m_pInitBody)) return TRUE;
  ShowFailure(m_hOwnerWnd, files.GetFailure());
  return FALSE;
}

void CSetGaiSht::SetUpPages(CSetGaiP1& page1, CSetGaiP2& page2, CSetGaiP3& page3) {
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
}
