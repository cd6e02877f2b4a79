#include "CSetGaiP1.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "CButton.h"
#include "CConv.h"
#include "CDataExchange.h"
#include "CEdit.h"
#include "CHostObjects.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CSetGaiFile.h"
#include "CUtyFile.h"
#include "CValueMgr.h"
#include "Cp932.h"
#include "DefaultOutputName.h"
#include "DirOpe.h"
#include "FolderOps.h"
#include "OsPath.h"
#include "ProgramResources.h"
#include "S_KANRI.h"
#include "SaveFileDialog.h"
#include "SetGaiMessages.h"
#include "WinFile.h"

namespace {

// The path field holds at most this many bytes, as the record's field does.
constexpr std::size_t kMaxOutPath = 255;
// The save dialog's file buffer.
constexpr DWORD kFileBuffer = 256;

// Copies src into dst (nSize bytes) without splitting a double-byte character.
void CopyCut(char* dst, std::size_t nSize, const CString& src) {
  const std::size_t n = cp932::CutLength(src, nSize - 1);
  std::memcpy(dst, src.data(), n);
  dst[n] = '\0';
}

BOOL IsBlank(const CString& str) { return str.find_first_not_of(' ') == CString::npos; }

// Whether the byte at nIndex is the second byte of a double-byte character.
BOOL IsTrailByte(const CString& str, std::size_t nIndex) {
  std::size_t i = 0;
  while (i < nIndex) i += cp932::CharLength(str, i);
  return i != nIndex;
}

// The folder part of a path: up to its last separator, else its first
// character.
CString FolderPart(const CString& strPath) {
  for (std::size_t i = strPath.size(); i-- > 0;) {
    if (strPath[i] == '/' && !IsTrailByte(strPath, i)) return strPath.substr(0, i + 1);
  }
  return strPath.substr(0, cp932::CharLength(strPath, 0));
}

BOOL HasXmlExtension(const CString& strPath) {
  for (std::size_t i = 0; i + 4 <= strPath.size(); ++i) {
    if (strPath[i] != '.') continue;
    CString ext = strPath.substr(i + 1, 3);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "xml") return TRUE;
  }
  return FALSE;
}

}  // namespace

CSetGaiP1::CSetGaiP1() : CSetGaiPage(IDD_SETGAI_P1) {}

CSetGaiP1::~CSetGaiP1() = default;

void CSetGaiP1::Warn(LPCSTR pszText) {
  MessageBoxA(m_hWnd, pszText, FINGAI_CAPTION, MB_OK | MB_ICONWARNING);
}

int CSetGaiP1::Reject(LPCSTR pszText, short nCtrlId) {
  if (pszText) Warn(pszText);
  if (CDataSheet* pSheet = Sheet()) pSheet->SetPage(this, nCtrlId, -1);
  return 0;
}

void CSetGaiP1::DoDataExchange(CDataExchange* pDX) {
  CPage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_FROM_MONTH, m_strFromMonth);
  DDX_Text(pDX, IDC_TO_MONTH, m_strToMonth);
  DDX_Check(pDX, IDC_TAX, m_bTaxIncluded);
}

BOOL CSetGaiP1::OnInitDialog() {
  CPage::OnInitDialog();
  if (!CreateDialogSub()) return FALSE;
  // The months are digits: "１２" typed with the input method on is 12.
  for (int nID : {IDC_FROM_MONTH, IDC_TO_MONTH}) {
    if (auto* pEdit = dynamic_cast<CEdit*>(GetDlgItem(nID))) {
      pEdit->LimitText(2);
      pEdit->SetDigitsField(TRUE);
    }
  }
  if (auto* pEdit = dynamic_cast<CEdit*>(GetDlgItem(IDC_OUT_PATH))) {
    pEdit->LimitText(static_cast<int>(kMaxOutPath));
  }
  if (m_pDialogSub->Init(this, IDD_SETGAI_P1, WM_FKEYNOTIFY, 0, 0, 0, 1, 0) == 0) {
    CPage::OnCancel();
    return FALSE;
  }
  MakeDefaultName();

  if (m_bFixedOut == 1) {
    for (int nID : {IDC_OUT_GROUP, IDC_BROWSE, IDC_OUT_PATH}) {
      if (CWnd* pWnd = GetDlgItem(nID)) pWnd->EnableWindow(FALSE);
    }
    SetDlgItemText(IDC_OUT_PATH, m_strFixedOut.c_str());
  } else {
    CString strPath = m_pCondition ? CString(m_pCondition->szOutPath) : CString();
    if (strPath.empty()) {
      CUtyFile uty;
      if (!uty.GetSpecialFolderPath(CUtyFile::FOLDER_DOCUMENTS, m_szOutPath, MAX_PATH)) {
        if (GetTempPathA(MAX_PATH, m_szOutPath) >= static_cast<DWORD>(MAX_PATH)) {
          m_szOutPath[0] = '\0';
        }
        uty.AddBackSlash(m_szOutPath, MAX_PATH);
      }
      strPath = CString(m_szOutPath) + m_szDefaultName;
    }
    SetDlgItemText(IDC_OUT_PATH, strPath.c_str());
  }

  if (CDataSheet* pSheet = Sheet()) {
    if (CWnd* pButton = pSheet->GetDlgItem(IDC_SHEET_BTN10299)) pButton->EnableWindow(FALSE);
  }
  ShowConditions();
  UpdateData(FALSE);
  return TRUE;
}

LPCSTR CSetGaiP1::ReadRecords(std::unique_ptr<S_KANRI>& pKanri) {
  pKanri.reset(new (std::nothrow) S_KANRI{});
  if (!pKanri) return FINGAI_MSG_NO_MEMORY;
  if (g_pJetAccess->ReadKanri(pKanri.get()) != 0) return FINGAI_MSG_KANRI_READ;
  m_pEnv.reset(new (std::nothrow) S_ENV{});
  if (!m_pEnv) return FINGAI_MSG_NO_MEMORY;
  if (g_pJetAccess->ReadEnv(m_pEnv.get()) != 0) return SETGAI_MSG_ENV_READ;
  return nullptr;
}

void CSetGaiP1::ShowConditions() {
  std::unique_ptr<S_KANRI> pKanri;
  if (LPCSTR pszFailure = ReadRecords(pKanri)) {
    Warn(pszFailure);
    return;
  }
  SetDlgItemText(IDC_JIGYO_NAME, pKanri->szJigyoName);
  char szBuf[64];
  std::snprintf(szBuf, sizeof szBuf, "%04d/%02d/%02d～%04d/%02d/%02d", pKanri->nStartYear,
                pKanri->nStartMonth, pKanri->nStartDay, pKanri->nEndYear, pKanri->nEndMonth,
                pKanri->nEndDay);
  SetDlgItemText(IDC_KAIKEI_KIKAN, szBuf);

  m_nFromMonth = g_pKaikei->GatudoGet(pKanri->nStartMonth, pKanri->nStartDay);
  // 0: the fiscal year could not be read from the books.
  if (m_nFromMonth == 0) {
    Warn(FINGAI_MSG_KANRI_READ);
    return;
  }
  m_strFromMonth = std::to_string(m_nFromMonth);
  SetDlgItemText(IDC_FROM_MONTH, m_strFromMonth.c_str());
  if (CWnd* pFrom = GetDlgItem(IDC_FROM_MONTH)) pFrom->EnableWindow(FALSE);

  m_nToMonth = m_pCondition ? m_pCondition->nKikanTo : 0;
  if (m_nToMonth == 0) m_nToMonth = g_pKaikei->GatudoGet(pKanri->nEndMonth, pKanri->nEndDay);
  m_strToMonth = std::to_string(m_nToMonth);
  SetDlgItemText(IDC_TO_MONTH, m_strToMonth.c_str());

  m_nStartYm = (pKanri->nStartYear * 100 + pKanri->nStartMonth) * 100;
  m_nEndYm = (pKanri->nEndYear * 100 + pKanri->nEndMonth) * 100;
  m_bTaxIncluded = m_pCondition && m_pCondition->nZeiShori != 0 ? 1 : 0;
  m_bConditionsShown = true;
  UpdateData(FALSE);
}

void CSetGaiP1::MakeDefaultName() {
  S_KANRI kanri{};
  g_pJetAccess->ReadKanri(&kanri);
  CopyCut(m_szDefaultName, sizeof m_szDefaultName, DefaultOutputName(kanri));
}

BOOL CSetGaiP1::OnSetActive() {
  if (CDataSheet* pSheet = Sheet()) {
    pSheet->OwnerBtnEnable(IDC_SHEET_BACK, FALSE);
    pSheet->OwnerBtnEnable(IDC_SHEET_NEXT, TRUE);
  }
  return CPage::OnSetActive();
}

void CSetGaiP1::OnClicked(UINT nID) {
  if (nID == IDC_BROWSE) {
    BrowseOutputFile();
  } else if (nID == IDC_TAX) {
    OnTaxClicked();
  } else {
    CPage::OnClicked(nID);
  }
}

void CSetGaiP1::OnTaxClicked() {
  const int bChecked = IsDlgButtonChecked(IDC_TAX) == BST_CHECKED ? 1 : 0;
  if (m_pCondition) m_pCondition->nZeiShori = static_cast<std::uint8_t>(bChecked);
  m_bTaxIncluded = bChecked;
  UpdateData(FALSE);
}

void CSetGaiP1::OnEditKillFocus(UINT nID) {
  if (nID == IDC_TO_MONTH) UpdateData(TRUE);
  CPage::OnEditKillFocus(nID);
}

UINT_PTR SaveFileHook(HWND hDlg, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return 0;
  SendMessageA(GetParent(hDlg), CDM_SETCONTROLTEXT, stc4,
               reinterpret_cast<LPARAM>(SETGAI_SAVE_LOOK_IN));
  return TRUE;
}

int CSetGaiP1::BrowseOutputFile() {
  UpdateData(TRUE);
  GetDlgItemText(IDC_OUT_PATH, m_szOutPath, static_cast<int>(kMaxOutPath) + 1);
  const CString strPath = m_szOutPath;

  CString strProposal;
  DWORD nFilter = 1;
  if (strPath.empty() || strPath.back() == '.') {
    strProposal = m_szDefaultName;
  } else if (strPath.back() == '/') {
    strProposal = strPath + m_szDefaultName;
  } else {
    strProposal = strPath;
    if (!HasXmlExtension(strPath)) nFilter = 2;
  }
  char szFile[kFileBuffer];
  CopyCut(szFile, sizeof szFile, strProposal);

  static const char kFilter[] = "中間ファイル(*.xml)\0*.xml\0全てのファイル(*.*)\0*.*\0";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = m_hWnd;
  ofn.lpstrFilter = kFilter;
  ofn.nFilterIndex = nFilter;
  ofn.lpstrFile = szFile;
  ofn.nMaxFile = kFileBuffer;
  ofn.lpstrTitle = SETGAI_SAVE_TITLE;
  ofn.Flags = OFN_EXPLORER | OFN_CREATEPROMPT | OFN_ENABLEHOOK | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  ofn.lpfnHook = SaveFileHook;
  if (!GetSaveFileNameA(&ofn)) return -1;

  CString strChosen = szFile;
  if (strChosen.find('.') == CString::npos) {
    strChosen += ".xml";
  } else if (strChosen.back() == '.') {
    strChosen += "xml";
  }
  CopyCut(m_szOutPath, sizeof m_szOutPath, strChosen);
  SetDlgItemText(IDC_OUT_PATH, m_szOutPath);
  return 0;
}

void CSetGaiP1::StoreEntered(BOOL bWithPath) {
  if (!m_pCondition) return;
  m_pCondition->nKikanFrom = static_cast<std::int16_t>(std::atoi(m_strFromMonth.c_str()));
  m_pCondition->nKikanTo = static_cast<std::int16_t>(std::atoi(m_strToMonth.c_str()));
  m_pCondition->nZeiShori = IsDlgButtonChecked(IDC_TAX) == BST_CHECKED ? 1 : 0;
  if (bWithPath) {
    CString strPath;
    GetDlgItemText(IDC_OUT_PATH, strPath);
    CopyCut(m_pCondition->szOutPath, sizeof m_pCondition->szOutPath, strPath);
  }
}

int CSetGaiP1::OnPrevOKCheck() {
  UpdateData(TRUE);
  StoreEntered(TRUE);
  CString strPath;
  GetDlgItemText(IDC_OUT_PATH, strPath);
  CopyCut(m_szOutPath, sizeof m_szOutPath, strPath);
  if (!CheckMonths()) return 0;
  if (!CheckOutputPath()) return 0;
  if (m_bFixedOut != 1 && !ConfirmOverwrite()) return 0;
  CPage::OnOK();
  return 1;
}

int CSetGaiP1::CheckMonths() {
  if (!CDlgSub().ValueCheck(m_strFromMonth.c_str(), 1, 12)) {
    return Reject(SETGAI_MSG_MONTH_INPUT, IDC_FROM_MONTH);
  }
  if (!CDlgSub().ValueCheck(m_strToMonth.c_str(), 1, 12)) {
    return Reject(SETGAI_MSG_MONTH_INPUT, IDC_TO_MONTH);
  }
  const int sy = m_nStartYm / 10000;
  const int sm = (m_nStartYm / 100) % 100;
  const int ey = m_nEndYm / 10000;
  const int em = (m_nEndYm / 100) % 100;
  short nFrom = 0;
  short nTo = 0;
  g_pConv->Convert(m_strFromMonth.c_str(), &nFrom);
  g_pConv->Convert(m_strToMonth.c_str(), &nTo);
  // A month before the start month lies in the year after the start year; one
  // after the end month in the year before the end year.
  const int nFromYm = ((nFrom < sm ? sy + 1 : sy) * 100 + nFrom) * 100;
  const int nToYm = ((nTo > em ? ey - 1 : ey) * 100 + nTo) * 100;
  if (nFromYm < m_nStartYm || nToYm > m_nEndYm || nFromYm > nToYm) {
    return Reject(SETGAI_MSG_MONTH_RANGE, IDC_FROM_MONTH);
  }
  m_nFromMonth = nFrom;
  m_nToMonth = nTo;
  return 1;
}

int CSetGaiP1::CheckOutputPath() {
  CString strPath;
  GetDlgItemText(IDC_OUT_PATH, strPath);
  if (IsBlank(strPath)) return Reject(SETGAI_MSG_PATH_EMPTY, IDC_OUT_PATH);
  // The path must fit the settings field whole, must be storable in the
  // settings line (unless the launcher fixed it, as it is never stored) and
  // must name a file the file system can take.
  std::string strOsPath;
  if (strPath.size() > kMaxOutPath ||
      (m_bFixedOut != 1 && !CSetGaiFile::IsStorableText(strPath.c_str())) ||
      !platform::ToOsPath(strPath, strOsPath)) {
    return Reject(SETGAI_MSG_FILE_NAME, IDC_OUT_PATH);
  }

  const CString strFolder = FolderPart(strPath);
  std::unique_ptr<DirOpe> pDir(new (std::nothrow) DirOpe);
  if (!pDir) {
    Warn(FINGAI_MSG_NO_MEMORY);
    return 0;
  }
  const short nDrive = pDir->CheckDrive(strFolder.c_str());
  if (nDrive == -1) return Reject(SETGAI_MSG_FOLDER_BAD, IDC_OUT_PATH);
  if (nDrive == 0) return Reject(SETGAI_MSG_DRIVE_NOT_READY, IDC_OUT_PATH);
  if (!pDir->change(strFolder.c_str())) return Reject(SETGAI_MSG_FOLDER_MISSING, IDC_OUT_PATH);
  pDir.reset();

  const std::size_t nStar = strPath.find('*');
  const std::size_t nSlashDot = strPath.find("/.");
  if (strPath.find('.') == CString::npos || (nStar != CString::npos && nStar > 0) ||
      (nSlashDot != CString::npos && nSlashDot > 0)) {
    return Reject(SETGAI_MSG_FILE_NAME, IDC_OUT_PATH);
  }
  // A folder is no file to write the report into, nor to ask about.
  if (strPath.back() == '/' || platform::FolderExists(strPath)) {
    return Reject(SETGAI_MSG_FILE_NAME, IDC_OUT_PATH);
  }
  return 1;
}

int CSetGaiP1::ConfirmOverwrite() {
  const HFILE hFile = _lopen(m_szOutPath, OF_READ);
  if (hFile == HFILE_ERROR) return 1;
  _lclose(hFile);
  if (m_bFixedOut == 1) return 1;
  if (MessageBoxA(m_hWnd, SETGAI_MSG_OVERWRITE, FINGAI_CAPTION, MB_YESNO | MB_ICONEXCLAMATION) ==
      IDNO) {
    return Reject(nullptr, IDC_OUT_PATH);
  }
  return 1;
}

void CSetGaiP1::OnCancel() {
  if (m_pDialogSub && m_pDialogSub->DialogKeyDown(VK_ESCAPE) == 0) return;
  if (m_bClosing == 1) return;
  if (MessageBoxA(m_hWnd, SETGAI_MSG_SAVE_ON_CANCEL, FINGAI_CAPTION, MB_YESNO | MB_ICONQUESTION) ==
      IDYES) {
    UpdateData(TRUE);
    StoreEntered(m_bFixedOut == 0);
    // Saved as entered: nothing is checked on this way out. Conditions that
    // could not be read (a message said so) are not saved in their place.
    if (!m_bConditionsShown) {
      m_bSaveFailed = true;
    } else if (m_pCondition && m_pMatch) {
      CSetGaiFile files(m_hWnd, CValueMgr::Instance()->GetNo() >= 10);
      files.m_strMemberEnv = m_strMemberEnv;
      m_bSaveFailed = files.SaveSettings(m_strEnvFolder, m_strEnvFile, *m_pCondition, m_bFixedOut,
                                         m_strSavedOut, *m_pMatch) == 0;
      if (m_bSaveFailed) ShowFailure(m_hWnd, files.GetFailure());
    }
  }
  m_bClosing = 1;
  if (CDataSheet* pSheet = Sheet()) pSheet->OwnerCancel();
  CPage::OnCancel();
}
