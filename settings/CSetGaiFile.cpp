#include "CSetGaiFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

#include "CReplaceFile.h"
#include "Cp932.h"
#include "FolderOps.h"
#include "LocalClock.h"
#include "WinFile.h"
#include "_CG_CONDITION.h"
#include "_CG_INIT_BODY.h"
#include "_CG_MATCH.h"
#include "_CTextFile.h"

namespace {

const char MSG_ENV_CREATE[] = "集計条件ファイルの作成に失敗しました。";
const char MSG_ENV_SAVE[] = "集計条件ファイルの保存に失敗しました。";
const char MSG_INIT_READ[] = "共通初期データファイルを読み込めません。";
const char MSG_ENV_SET_ASIDE[] = "壊れた集計条件ファイルの名前を変更できませんでした。";

// Copies text into a fixed field: at most size - 1 bytes, not ending inside a
// double-byte character, the rest of the field zero.
void PutText(char* pField, std::size_t nSize, std::string_view text) {
  const std::size_t nLength = cp932::CutLength(text, nSize - 1);
  std::memset(pField, 0, nSize);
  std::memcpy(pField, text.data(), nLength);
}

std::string_view FieldText(const char* pField, std::size_t nSize) {
  return std::string_view(pField, strnlen(pField, nSize));
}

// atoi on a piece of a line: leading blanks, a sign, digits; 0 without digits.
int ToInt(std::string_view text) { return std::atoi(std::string(text).c_str()); }

CString MemberKey(const _SG_CONDITION& cond) {
  return CString(FieldText(cond.szDataId, sizeof cond.szDataId)) + ":";
}

// A missing file, a folder or an unreadable file all read as nothing.
bool ReadWholeFile(const CString& strPath, std::string& data) {
  return platform::ReadRegularFile(strPath, data);
}

// A path as the user can find it: relative names are in the current folder.
CString FullPath(const CString& strPath) {
  if (!strPath.empty() && strPath[0] == '/') return strPath;
  char szFolder[MAX_PATH] = {};
  const DWORD nLength = GetCurrentDirectoryA(MAX_PATH, szFolder);
  if (nLength == 0 || nLength >= MAX_PATH) return strPath;
  const CString strFolder = szFolder;
  return strFolder.back() == '/' ? strFolder + strPath : strFolder + "/" + strPath;
}

}  // namespace

CSetGaiFile::CSetGaiFile(HWND hOwnerWnd, BOOL bCooperative)
    : m_hOwnerWnd(hOwnerWnd), m_bCooperative(bCooperative), m_szDataId{} {}

void CSetGaiFile::SetHostRecords(const S_KANRI& kanri, const S_KANRI2& kanri2) {
  PutText(m_szDataId, sizeof m_szDataId, FieldText(kanri2.szDataID, sizeof kanri2.szDataID));
  m_strAltFolder = CString(FieldText(kanri.szAltFolder, sizeof kanri.szAltFolder));
}

LPCSTR CSetGaiFile::EnvFileName(BOOL bCooperative) {
  return bCooperative ? "KP10ToRX16_G.env" : "QT10ToRX16_G.env";
}

LPCSTR CSetGaiFile::InitFileName(BOOL bCooperative) {
  return bCooperative ? "KP10ToRX16_G_common_init.dat" : "QT10ToRX16_G_common_init.dat";
}

LPCSTR CSetGaiFile::MemberEnvFileName() { return "KP10ToRX16_G.env"; }

BOOL CSetGaiFile::IsStorableText(LPCSTR pszText) {
  return pszText != nullptr && std::strpbrk(pszText, "\"\r\n") == nullptr ? TRUE : FALSE;
}

int CSetGaiFile::FileFailure(LPCSTR pszWhat, const CString& strPath, int nError) const {
  m_failure.Then(CFailure(pszWhat, FullPath(strPath), nError));
  return 0;
}

int CSetGaiFile::LineFailure(LPCSTR pszWhat, const CString& strPath, int nLine) const {
  m_failure.Then(CFailure(
      CString(pszWhat) + "\nファイル：" + FullPath(strPath) + "\n" + std::to_string(nLine) +
      "行目を読めません。形式が正しくないか、ファイルがそこで終わっています。"));
  return 0;
}

int CSetGaiFile::RefDataFailure(const CString& strEnvPath) const {
  m_failure.Then(CFailure(CString("MakeRefDataエラー\nファイル：") + FullPath(strEnvPath)));
  return 0;
}

CString CSetGaiFile::InitFilePath() const { return m_strInitFolder + InitFileName(m_bCooperative); }

int CSetGaiFile::LoadSettings(const CString& strDataPath, _SG_CONDITION& cond,
                              CArray<_SG_MATCH, _SG_MATCH>& arMatch,
                              CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
                              BOOL* pbDamaged) const {
  m_failure = CFailure();
  if (pbDamaged) *pbDamaged = FALSE;
  const CString strEnvPath = strDataPath + EnvFileName(m_bCooperative);
  // A folder or anything else in place of a settings file counts as missing.
  if (!platform::FileExists(strEnvPath)) {
    const CString strAltPath = m_strAltFolder + EnvFileName(m_bCooperative);
    if (platform::FileExists(strAltPath)) {
      // A failed copy leaves no file behind; the load below then reports it.
      CopyFileA(strAltPath.c_str(), strEnvPath.c_str(), FALSE);
    } else if (!MakeDefaults(strEnvPath, cond)) {
      return 0;
    }
  }
  if (MakeRefData(strEnvPath, cond, arMatch, arInitBody, pbDamaged)) return 1;
  return RefDataFailure(strEnvPath);
}

int CSetGaiFile::StartOver(const CString& strDataPath, _SG_CONDITION& cond,
                           CArray<_SG_MATCH, _SG_MATCH>& arMatch,
                           CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody) const {
  m_failure = CFailure();
  const CString strEnvPath = strDataPath + EnvFileName(m_bCooperative);
  if (!SetAsideDamaged(strEnvPath) || !MakeDefaults(strEnvPath, cond)) return 0;
  if (!MakeRefData(strEnvPath, cond, arMatch, arInitBody)) return RefDataFailure(strEnvPath);
  return 1;
}

int CSetGaiFile::MakeDefaults(const CString& strEnvPath, _SG_CONDITION& cond) const {
  std::memset(&cond, 0, sizeof cond);
  std::memcpy(cond.szDataId, m_szDataId, sizeof cond.szDataId);
  return MakeInit(strEnvPath, cond);
}

int CSetGaiFile::SetAsideDamaged(const CString& strEnvPath) const {
  std::tm now{};
  if (!platform::GetCurrentLocalTime(now)) return FileFailure(MSG_ENV_SET_ASIDE, strEnvPath, 0);
  char szSuffix[80];
  std::snprintf(szSuffix, sizeof szSuffix, ".damaged-%04d%02d%02d-%02d%02d%02d", now.tm_year + 1900,
                now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min, now.tm_sec);
  if (!MoveFileA(strEnvPath.c_str(), (strEnvPath + szSuffix).c_str())) {
    return FileFailure(MSG_ENV_SET_ASIDE, strEnvPath, errno);
  }
  return 1;
}

int CSetGaiFile::MakeInit(const CString& strEnvPath, const _SG_CONDITION& cond) const {
  m_failure = CFailure();
  _SG_CONDITION rec = cond;
  rec.szDataId[sizeof rec.szDataId - 1] = '\0';
  rec.szOutPath[sizeof rec.szOutPath - 1] = '\0';
  rec.nZeiShori = 1;
  if (!IsStorableText(rec.szDataId) || !IsStorableText(rec.szOutPath)) {
    return FileFailure(MSG_ENV_CREATE, strEnvPath, EINVAL);
  }

  // The default matches: the initial-data file's lines up to its terminator,
  // opened once the condition line is written.
  _CTextFile init;
  _CG_MATCH line;
  line.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  int nLine = 0;
  const auto nextDefault = [&](_SG_MATCH& next) {
    if (nLine++ == 0) {
      errno = 0;
      if (init.Open(InitFilePath().c_str(), _CTextFile::TF_READ) != 0) {
        FileFailure(MSG_INIT_READ, InitFilePath(), errno);
        return -1;
      }
      init.Attach(&line);
    }
    std::memset(&line.m_rec, 0, sizeof line.m_rec);
    // Only a complete line ends the list: a short line is a format error even
    // when its first field is negative.
    if (line.Read() != 0) {
      LineFailure("エラーmakeinit", InitFilePath(), nLine);
      return -1;
    }
    if (line.m_rec.nGaiNo < 0) {
      init.Close();
      return 0;
    }
    next = line.m_rec;
    return 1;
  };
  return WriteEnvFile(strEnvPath, MSG_ENV_CREATE, rec, nextDefault);
}

int CSetGaiFile::WriteEnvFile(const CString& strEnvPath, LPCSTR pszWhat, const _SG_CONDITION& cond,
                              const std::function<int(_SG_MATCH& rec)>& nextMatch) const {
  CReplaceFile env;
  if (env.Open(strEnvPath.c_str()) != 0) return FileFailure(pszWhat, strEnvPath, env.LastError());
  _CTextFile out;
  errno = 0;
  if (out.Open(env.TempPath().c_str(), _CTextFile::TF_WRITE | _CTextFile::TF_TRUNCATE) != 0) {
    return FileFailure(pszWhat, strEnvPath, errno);
  }
  _CG_CONDITION condLine;
  condLine.m_rec = cond;
  condLine.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_DOUBLE);
  out.Attach(&condLine);
  if (condLine.Write() != 0) return FileFailure(pszWhat, strEnvPath, errno);

  _CG_MATCH match;
  match.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  for (int nNext; (nNext = nextMatch(match.m_rec)) != 0;) {
    if (nNext < 0) return 0;
    out.Attach(&match);
    errno = 0;
    if (match.Write() != 0) return FileFailure(pszWhat, strEnvPath, errno);
  }
  errno = 0;
  if (out.Close() != 0) return FileFailure(pszWhat, strEnvPath, errno);
  if (env.Commit() != 0) return FileFailure(pszWhat, strEnvPath, env.LastError());
  return 1;
}

int CSetGaiFile::MakeRefData(const CString& strEnvPath, _SG_CONDITION& cond,
                             CArray<_SG_MATCH, _SG_MATCH>& arMatch,
                             CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
                             BOOL* pbDamaged) const {
  m_failure = CFailure();
  if (pbDamaged) *pbDamaged = FALSE;
  _CTextFile file;
  if (file.Open(strEnvPath.c_str(), _CTextFile::TF_READ) != 0) return 0;

  _CG_CONDITION condLine;
  condLine.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_DOUBLE);
  file.Attach(&condLine);
  std::memset(&condLine.m_rec, 0, sizeof condLine.m_rec);
  if (condLine.Read() != 0) {
    if (pbDamaged) *pbDamaged = TRUE;
    return LineFailure("エラーCon", strEnvPath, 1);
  }
  if (m_bCooperative) {
    // The member file holds this edition's conditions; the line only has to be well-formed.
    std::memset(&cond, 0, sizeof cond);
    std::memcpy(cond.szDataId, m_szDataId, sizeof cond.szDataId);
    ReadMemberCondition(cond);
  } else {
    cond = condLine.m_rec;
    // Settings copied from another data set take on this one's identity.
    std::memcpy(cond.szDataId, m_szDataId, sizeof cond.szDataId);
  }

  _CG_MATCH match;
  match.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  file.Attach(&match);
  arMatch.clear();
  for (int nLine = 2;; ++nLine) {
    std::memset(&match.m_rec, 0, sizeof match.m_rec);
    const long nResult = match.Read();
    // Appended before the result is looked at: end of file leaves the sentinel.
    arMatch.push_back(match.m_rec);
    if (nResult == 1) break;
    if (nResult == 2) {
      if (pbDamaged) *pbDamaged = TRUE;
      return LineFailure("エラーmatch", strEnvPath, nLine);
    }
  }
  file.Close();

  return ReadInitFile(nullptr, arInitBody);
}

int CSetGaiFile::ReadSettings(const CString& strDataPath, _SG_CONDITION& cond,
                              CArray<_SG_MATCH, _SG_MATCH>& arMatch,
                              CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
                              CString& strSource) const {
  m_failure = CFailure();
  for (const CString& strPath :
       {strDataPath + EnvFileName(m_bCooperative), m_strAltFolder + EnvFileName(m_bCooperative)}) {
    if (!PathFileExistsA(strPath.c_str())) continue;
    strSource = strPath;
    if (!MakeRefData(strPath, cond, arMatch, arInitBody)) return RefDataFailure(strPath);
    return 1;
  }
  // What a first run would create, kept in memory.
  strSource = InitFilePath();
  std::memset(&cond, 0, sizeof cond);
  std::memcpy(cond.szDataId, m_szDataId, sizeof cond.szDataId);
  if (m_bCooperative) {
    ReadMemberCondition(cond);
  } else {
    cond.nZeiShori = 1;
  }
  return ReadInitFile(&arMatch, arInitBody);
}

int CSetGaiFile::ReadInitFile(CArray<_SG_MATCH, _SG_MATCH>* pDefaults,
                              CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody) const {
  m_failure = CFailure();
  _CTextFile file;
  _CG_MATCH match;
  match.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  if (file.Open(InitFilePath().c_str(), _CTextFile::TF_READ) != 0) return 0;
  file.Attach(&match);
  if (pDefaults) pDefaults->clear();
  int nLine = 1;
  for (;; ++nLine) {
    std::memset(&match.m_rec, 0, sizeof match.m_rec);
    if (match.Read() != 0) return LineFailure("エラーinit", InitFilePath(), nLine);
    if (match.m_rec.nGaiNo < 0) break;
    if (pDefaults) pDefaults->push_back(match.m_rec);
  }
  if (pDefaults) pDefaults->push_back(_SG_MATCH{});

  _CG_INIT_BODY body;
  body.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  file.Attach(&body);
  arInitBody.clear();
  for (++nLine;; ++nLine) {
    std::memset(&body.m_rec, 0, sizeof body.m_rec);
    const long nResult = body.Read();
    arInitBody.push_back(body.m_rec);
    if (nResult == 1) break;
    if (nResult == 2) return LineFailure("エラーInit", InitFilePath(), nLine);
  }
  file.Close();

  // The pages and the engine address an item by its number - 1.
  bool bComplete = arInitBody.size() > static_cast<std::size_t>(SG_ITEM_COUNT);
  for (int i = 0; bComplete && i < SG_ITEM_COUNT; ++i) {
    bComplete = arInitBody[i].nGaiNo == i + 1;
  }
  if (!bComplete) {
    m_failure.Then(CFailure(CString("エラーInit\nファイル：") + FullPath(InitFilePath()) +
                            "\n項目の定義が1から" + std::to_string(SG_ITEM_COUNT) +
                            "まで順にそろっていません。"));
    return 0;
  }
  return 1;
}

int CSetGaiFile::SaveSettings(const CString& strFolder, const CString& strEnvFile,
                              const _SG_CONDITION& cond, BOOL bFixedOut, const CString& strSavedOut,
                              const CArray<_SG_MATCH, _SG_MATCH>& arMatch) const {
  m_failure = CFailure();
  _SG_CONDITION rec = cond;
  rec.szDataId[sizeof rec.szDataId - 1] = '\0';
  rec.szOutPath[sizeof rec.szOutPath - 1] = '\0';
  // A path given by the launcher is for one run only; a path that could not
  // be read back keeps the one saved before.
  if (bFixedOut || !IsStorableText(rec.szOutPath)) {
    PutText(rec.szOutPath, sizeof rec.szOutPath,
            IsStorableText(strSavedOut.c_str()) ? strSavedOut : CString());
  }
  if (!IsStorableText(rec.szDataId)) return 0;

  // Every element but the last, which is the sentinel.
  std::size_t i = 0;
  const auto nextMatch = [&](_SG_MATCH& next) {
    if (i + 1 >= arMatch.size()) return 0;
    next = arMatch[i++];
    return 1;
  };
  if (!WriteEnvFile(strFolder + strEnvFile, MSG_ENV_SAVE, rec, nextMatch)) return 0;
  if (m_bCooperative) WriteMemberCondition(rec);
  return 1;
}

int CSetGaiFile::ReadMemberCondition(_SG_CONDITION& cond) const {
  std::string data;
  if (m_strMemberEnv.empty() || !ReadWholeFile(m_strMemberEnv, data)) return 0;
  const CString strKey = MemberKey(cond);

  std::size_t nStart = 0;
  for (std::size_t nEnd; (nEnd = data.find('\n', nStart)) != std::string::npos; nStart = nEnd + 1) {
    std::string_view line(data.data() + nStart, nEnd - nStart);
    if (!line.starts_with(strKey)) continue;
    std::string_view value = line.substr(strKey.size());
    if (value.ends_with('\r')) value.remove_suffix(1);
    // The first four "/" end the numbers; the path is all that follows, so
    // a path with "/" in it reads back whole.
    std::size_t nSlash[4];
    std::size_t nFrom = 0;
    bool bComplete = true;
    for (std::size_t& n : nSlash) {
      n = value.find('/', nFrom);
      if (n == std::string_view::npos) {
        bComplete = false;
        break;
      }
      nFrom = n + 1;
    }
    if (!bComplete) continue;
    cond.nKikanFrom = static_cast<std::int16_t>(ToInt(value.substr(0, nSlash[0])));
    cond.nKikanTo =
        static_cast<std::int16_t>(ToInt(value.substr(nSlash[0] + 1, nSlash[1] - nSlash[0] - 1)));
    cond.nZeiShori =
        static_cast<std::uint8_t>(ToInt(value.substr(nSlash[1] + 1, nSlash[2] - nSlash[1] - 1)));
    cond.nJigyoSyubetu =
        static_cast<std::uint8_t>(ToInt(value.substr(nSlash[2] + 1, nSlash[3] - nSlash[2] - 1)));
    PutText(cond.szOutPath, sizeof cond.szOutPath, value.substr(nSlash[3] + 1));
    return 1;
  }
  return 0;
}

int CSetGaiFile::WriteMemberCondition(const _SG_CONDITION& cond) const {
  if (m_strMemberEnv.empty()) return 0;
  const std::string_view path = FieldText(cond.szOutPath, sizeof cond.szOutPath);
  if (!IsStorableText(CString(path).c_str())) return 0;
  const CString strKey = MemberKey(cond);
  char szNumbers[64];
  std::snprintf(szNumbers, sizeof szNumbers, "%d/%d/%u/%u/", cond.nKikanFrom, cond.nKikanTo,
                static_cast<unsigned>(cond.nZeiShori), static_cast<unsigned>(cond.nJigyoSyubetu));
  const CString strLine = strKey + szNumbers + CString(path) + "\n";

  std::string data;
  if (PathFileExistsA(m_strMemberEnv.c_str()) && !ReadWholeFile(m_strMemberEnv, data)) return 0;

  // Every line of this data set goes, so the new one at the end is the one
  // found; the other members' lines stay as they are.
  std::string kept;
  std::size_t nStart = 0;
  while (nStart < data.size()) {
    std::size_t nEnd = data.find('\n', nStart);
    nEnd = nEnd == std::string::npos ? data.size() : nEnd + 1;
    std::string_view line(data.data() + nStart, nEnd - nStart);
    if (!line.starts_with(strKey)) kept += line;
    nStart = nEnd;
  }
  // A last line edited by hand without its LF must not swallow the new line.
  if (!kept.empty() && kept.back() != '\n') kept += '\n';
  kept += strLine;
  return CReplaceFile::WriteBytes(m_strMemberEnv.c_str(), kept) == 0 ? 1 : 0;
}
