#pragma once
// The settings files of one data set:
// - the environment file in the data set's folder: one G_CONDITION line, then
//   the G_MATCH lines of the match list;
// - the common initial-data file, read only: the default match list, a
//   terminator line with a negative item number, then the 43 item definitions;
// - in the cooperative edition, the member environment file: one line
//   "DATAID:from/to/tax/kind/outputpath" LF per data set.
// Every operation returns non-zero for success and 0 for failure, when
// GetFailure() says what failed (the file and the system's reason); nothing
// here shows a message. The caller shows it, with m_hOwnerWnd as owner.
//
// Typical use by the sheet:
//   CSetGaiFile files(hOwner, CValueMgr::GetNo() >= 10);
//   files.SetHostRecords(*pKanri, *pKanri2);
//   files.m_strMemberEnv = szMemberEnv;             // cooperative edition only
//   if (!files.LoadSettings(strDataPath, cond, arMatch, arInitBody, &bDamaged))
//     ShowFailure(files.m_hOwnerWnd, files.GetFailure());   // then maybe StartOver
//   ... wizard ...
//   files.SaveSettings(strDataPath, CSetGaiFile::EnvFileName(bCoop), cond,
//                      !strLinkParam.empty(), strSavedOut, arMatch);

#include <cstdint>
#include <functional>

#include "CFailure.h"
#include "S_KANRI.h"
#include "S_KANRI2.h"
#include "SettingsRecords.h"
#include "WinTypes.h"

class CSetGaiFile {
 public:
  CSetGaiFile(HWND hOwnerWnd, BOOL bCooperative);

  HWND m_hOwnerWnd;     // owner of the messages its failures are shown in; may be none
  BOOL m_bCooperative;  // the host's cooperative edition (CValueMgr::GetNo() >= 10)
  char m_szDataId[41];  // データID of the chosen data set (S_KANRI2)
  // Folder (with its trailing separator) whose environment file is taken over
  // when the data set has none (S_KANRI); empty: the current directory.
  CString m_strAltFolder;
  // Prefix of the common initial-data file name; empty: the current
  // directory, where the program finds it when installed.
  CString m_strInitFolder;
  // Member environment file path; used in the cooperative edition only.
  CString m_strMemberEnv;

  // Takes the data ID and the folder of a previous environment file from the
  // host's records.
  void SetHostRecords(const S_KANRI& kanri, const S_KANRI2& kanri2);

  // "QT10ToRX16_G.env" or "KP10ToRX16_G.env".
  static LPCSTR EnvFileName(BOOL bCooperative);
  // "QT10ToRX16_G_common_init.dat" or "KP10ToRX16_G_common_init.dat".
  static LPCSTR InitFileName(BOOL bCooperative);
  // "KP10ToRX16_G.env", appended to the host's settings folder.
  static LPCSTR MemberEnvFileName();

  // FALSE when the text cannot stand in a settings line and be read back: a
  // double quotation mark ends the quoted field, CR or LF ends the line. The
  // wizard refuses an output path that fails this before it is stored.
  static BOOL IsStorableText(LPCSTR pszText);

  // Makes sure the environment file strDataPath + EnvFileName exists (taken
  // over from m_strAltFolder, or created from the defaults), then loads it and
  // the item definitions. The match list and the definitions each end with an
  // all-zero sentinel record. *pbDamaged (when given) tells whether the
  // failure lay in the lines of the environment file itself, which StartOver
  // can mend.
  int LoadSettings(const CString& strDataPath, _SG_CONDITION& cond,
                   CArray<_SG_MATCH, _SG_MATCH>& arMatch,
                   CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
                   BOOL* pbDamaged = nullptr) const;
  // After LoadSettings failed on a damaged environment file: keeps that file
  // as NAME.damaged-YYYYMMDD-HHMMSS (local time) and loads as on a first run.
  int StartOver(const CString& strDataPath, _SG_CONDITION& cond,
                CArray<_SG_MATCH, _SG_MATCH>& arMatch,
                CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody) const;
  // Loads the settings as LoadSettings would, creating and changing no file:
  // the environment file of strDataPath, else the one of m_strAltFolder,
  // else in memory what a first run would create from the common
  // initial-data file. strSource names the file the conditions came from.
  int ReadSettings(const CString& strDataPath, _SG_CONDITION& cond,
                   CArray<_SG_MATCH, _SG_MATCH>& arMatch,
                   CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody, CString& strSource) const;
  // The item definitions of the common initial-data file, and with
  // pDefaults its default match list ending in the sentinel.
  int ReadInitFile(CArray<_SG_MATCH, _SG_MATCH>* pDefaults,
                   CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody) const;
  // Creates the environment file at strEnvPath from cond (税処理 written as 1)
  // and the default match list. On failure no file is left at strEnvPath
  // and the failure names the file and the reason.
  int MakeInit(const CString& strEnvPath, const _SG_CONDITION& cond) const;
  // Reads the environment file and the item definitions of the common
  // initial-data file. The data ID always becomes m_szDataId; in the
  // cooperative edition the other condition fields come from the member file.
  // *pbDamaged (when given) tells whether the failure lay in the lines of the
  // environment file itself.
  int MakeRefData(const CString& strEnvPath, _SG_CONDITION& cond,
                  CArray<_SG_MATCH, _SG_MATCH>& arMatch,
                  CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
                  BOOL* pbDamaged = nullptr) const;
  // Rewrites strFolder + strEnvFile from cond and every match but the last
  // (the sentinel). With bFixedOut, or when the entered path is not storable,
  // the stored path is strSavedOut (the path as loaded). In the cooperative
  // edition the member line is updated after the environment file. On
  // failure the previous file is left as it was and the failure names the
  // file and the reason.
  int SaveSettings(const CString& strFolder, const CString& strEnvFile, const _SG_CONDITION& cond,
                   BOOL bFixedOut, const CString& strSavedOut,
                   const CArray<_SG_MATCH, _SG_MATCH>& arMatch) const;
  // Fills period, tax, business kind and output path of cond from the line of
  // m_strMemberEnv keyed by cond's data ID. 1 found, 0 not (cond unchanged).
  int ReadMemberCondition(_SG_CONDITION& cond) const;
  // Stores cond's line at the end of m_strMemberEnv, replacing its old line;
  // the other lines are kept. 1 stored, 0 not (the file is unchanged).
  int WriteMemberCondition(const _SG_CONDITION& cond) const;

  // What the last operation that returned 0 failed on; no messages when it
  // failed without one (a data ID that cannot be stored).
  const CFailure& GetFailure() const { return m_failure; }

 private:
  // Adds to the failure what failed with the file's full path and the
  // system's reason; 0.
  int FileFailure(LPCSTR pszWhat, const CString& strPath, int nError) const;
  // Adds what failed with the file's full path and the line that is not in
  // its format; 0.
  int LineFailure(LPCSTR pszWhat, const CString& strPath, int nLine) const;
  // Adds that the environment file strEnvPath could not be loaded; 0.
  int RefDataFailure(const CString& strEnvPath) const;
  CString InitFilePath() const;
  // cond as on a first run, and the environment file made from it.
  int MakeDefaults(const CString& strEnvPath, _SG_CONDITION& cond) const;
  // Renames the damaged file aside.
  int SetAsideDamaged(const CString& strEnvPath) const;
  // Replaces strEnvPath with cond's line and the match lines nextMatch gives
  // (1: rec filled, 0: no more, -1: failed, the failure added); pszWhat names
  // a failure to write. On failure the previous file stays as it was.
  int WriteEnvFile(const CString& strEnvPath, LPCSTR pszWhat, const _SG_CONDITION& cond,
                   const std::function<int(_SG_MATCH& rec)>& nextMatch) const;

  mutable CFailure m_failure;
};
