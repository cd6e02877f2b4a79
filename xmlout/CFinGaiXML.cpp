#include "CFinGaiXML.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "CFinGaiFigures.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CReplaceFile.h"
#include "CValueMgr.h"
#include "CXMLEdit.h"
#include "Cp932.h"
#include "DialogTemplate.h"
#include "CHostObjects.h"
#include "FailureTexts.h"
#include "FullWidthName.h"

namespace {

// Element names, in the order they are written.
enum ElementName {
  EN_GYOUMUPREFIX,
  EN_VERSION,
  EN_FUNCTIONID,
  EN_CONNECTEDPROGRAMVER,
  EN_PROGRAMNAME,
  EN_PROGRAMVER,
  EN_KOMONSAKINAME,
  EN_JIGYOUNENDOFROM,
  EN_JIGYOUNENDOTO,
  EN_SYUYOUKAMOKU,
  EN_TUKIBETUURIAGEDAKA,
  EN_COUNT
};
constexpr const char* kElementNames[EN_COUNT] = {
    "GYOUMUPREFIX",  "VERSION",      "FUNCTIONID",        "CONNECTEDPROGRAMVER",
    "PROGRAMNAME",   "PROGRAMVER",   "KOMONSAKINAME",     "JIGYOUNENDOFROM",
    "JIGYOUNENDOTO", "SYUYOUKAMOKU", "TUKIBETUURIAGEDAKA"};
constexpr const char* kReport = "REPORT";
constexpr const char* kSystem = "SYSTEM";
constexpr const char* kBasic = "BASIC";
constexpr const char* kData = "DATA";
constexpr const char* kMonthRow = "TUKIBETU_";

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";
constexpr const char* kDefaultProgramVer = "10.00.00";

constexpr UINT IDS_GYOUMUPREFIX = 100;
constexpr UINT IDS_VERSION = 101;
constexpr UINT IDS_CONNECTEDPROGRAMVER = 103;

// Sizes of the texts the figures, names and values are formatted into.
constexpr std::size_t kTextSize = 256;
constexpr std::size_t kMonthlyNameSize = 51;

constexpr const char* kSupportKeys[] = {"[=製品名=]", "[=製品ﾊﾞｰｼﾞｮﾝ=]"};

constexpr const char* kMsgWriteFailed = "中間ファイルの出力に失敗しました。";
constexpr const char* kMsgSupportRead = "サポート情報ファイルを読み込めません。";
constexpr const char* kMsgBadValue = "の値に出力できない文字が含まれています。";

// What the XML builder can carry in a text: CP932 without control bytes
// other than tab, CR and LF.
bool IsWritableText(std::string_view text) {
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if ((b < 0x20 && b != '\t' && b != '\n' && b != '\r') || b == 0x7F) return false;
  }
  std::string utf8;
  return cp932::ToUtf8(text, utf8);
}

// Cuts a text to what the writer's 256-byte text holds, never inside a
// double-byte character.
CString FitText(std::string_view text) {
  return CString(text.substr(0, cp932::CutLength(text, kTextSize - 1)));
}

// A string of the program's string table; empty when it is not there.
CString LoadResString(UINT nID) {
  CString strText;
  AfxLoadString(nID, strText);
  return strText;
}

CString FormatFigure(double dFigure) {
  if (dFigure == 0.0) return CString();
  char szText[kTextSize];
  std::snprintf(szText, sizeof szText, "%.00f", dFigure);
  return szText;
}

CString FormatNumber(const char* szFormat, int nValue) {
  char szText[kTextSize];
  std::snprintf(szText, sizeof szText, szFormat, nValue);
  return szText;
}

CString FormatDate(int nYear, int nMonth, int nDay) {
  char szText[kTextSize];
  std::snprintf(szText, sizeof szText, "%04d%02d%02d", nYear, nMonth, nDay);
  return szText;
}

// The line calls of one file: the first failing call ends the writing and
// keeps what the system said about it.
class LineWriter {
 public:
  explicit LineWriter(CXMLEdit& edit) : m_edit(edit) {}
  bool Open(LPCSTR szTag, int nLevel) {
    return m_bOk && Check(szTag, m_edit.TopMakeRoot(m_szWork, Clear(szTag), nLevel, nullptr,
                                                    nullptr, nullptr, nullptr));
  }
  bool Line(LPCSTR szTag, const CString& strText, int nLevel) {
    return m_bOk && Check(szTag, m_edit.LineMakeTag(m_szWork, Clear(szTag), strText.c_str(), nLevel,
                                                    nullptr, nullptr, nullptr, nullptr));
  }
  bool Close(LPCSTR szTag, int nLevel) {
    return m_bOk && Check(szTag, m_edit.EndMakeRoot(m_szWork, Clear(szTag), nLevel));
  }
  bool Ok() const { return m_bOk; }
  int Error() const { return m_nError; }
  // The element whose line failed without a system error: its name or text
  // cannot stand in the file.
  const CString& FailedTag() const { return m_strFailedTag; }

 private:
  LPCSTR Clear(LPCSTR szTag) {
    errno = 0;
    return szTag;
  }
  bool Check(LPCSTR szTag, int nResult) {
    if (nResult != 0) return true;
    m_bOk = false;
    m_nError = errno;
    if (m_nError == 0) m_strFailedTag = szTag;
    return false;
  }

  CXMLEdit& m_edit;
  char m_szWork[kTextSize] = {};
  bool m_bOk = true;
  int m_nError = 0;
  CString m_strFailedTag;
};

std::string_view TagOf(const tag_DATA& data) {
  return std::string_view(data.szTag, strnlen(data.szTag, TAG_DATA_TAG_SIZE));
}

void WriteSystem(LineWriter& out, short nFunctionNo, CFinGaiXML& xml) {
  out.Open(kSystem, 1);
  out.Line(kElementNames[EN_GYOUMUPREFIX], LoadResString(IDS_GYOUMUPREFIX), 2);
  out.Line(kElementNames[EN_VERSION], LoadResString(IDS_VERSION), 2);
  out.Line(kElementNames[EN_FUNCTIONID], FormatNumber("%d", nFunctionNo), 2);
  out.Line(kElementNames[EN_CONNECTEDPROGRAMVER], LoadResString(IDS_CONNECTEDPROGRAMVER), 2);
  // A value the file cannot carry counts as missing.
  CString strName = FitText(xml.GetSupportInfo(0));
  if (strName.empty() || !IsWritableText(strName)) {
    strName = FitText(CValueMgr::Instance()->GetName());
  }
  out.Line(kElementNames[EN_PROGRAMNAME], strName, 2);
  CString strVer = FitText(xml.GetSupportInfo(1));
  if (strVer.empty() || !IsWritableText(strVer)) strVer = kDefaultProgramVer;
  out.Line(kElementNames[EN_PROGRAMVER], strVer, 2);
  out.Close(kSystem, 1);
}

void WriteBasic(LineWriter& out, const S_KANRI& kanri) {
  out.Open(kBasic, 1);
  const std::string_view strJigyo(kanri.szJigyoName,
                                  strnlen(kanri.szJigyoName, sizeof kanri.szJigyoName));
  out.Line(kElementNames[EN_KOMONSAKINAME], FullWidthName(strJigyo), 2);
  out.Line(kElementNames[EN_JIGYOUNENDOFROM],
           FormatDate(kanri.nStartYear, kanri.nStartMonth, kanri.nStartDay), 2);
  out.Line(kElementNames[EN_JIGYOUNENDOTO],
           FormatDate(kanri.nEndYear, kanri.nEndMonth, kanri.nEndDay), 2);
  out.Close(kBasic, 1);
}

void WriteData(LineWriter& out, const _SG_CONDITION& cond, const CArray<tag_DATA, tag_DATA>& arData,
               const CFinGaiFigures& figures) {
  out.Open(kData, 1);
  out.Open(kElementNames[EN_SYUYOUKAMOKU], 3);
  for (const CFinGaiFigures::MainFigure& figure : figures.m_arMain) {
    const std::string_view strTag = TagOf(arData[figure.nIndex]);
    if (strTag.empty()) continue;
    out.Line(CString(strTag).c_str(), FormatFigure(figure.dThousands), 4);
  }
  out.Close(kElementNames[EN_SYUYOUKAMOKU], 3);

  out.Open(kElementNames[EN_TUKIBETUURIAGEDAKA], 3);
  for (int i = 0; i < CFinGaiFigures::MONTHS; ++i) {
    char szName[kMonthlyNameSize];
    std::snprintf(szName, sizeof szName, "%s%02d", kMonthRow, i + 1);
    out.Line(szName, FormatNumber("%d", CFinGaiFigures::MonthOfRow(cond, i)), 4);
    for (const CFinGaiFigures::MonthlyColumn& column : figures.m_arMonthly) {
      std::snprintf(szName, sizeof szName, "%s%02d", CString(TagOf(arData[column.nIndex])).c_str(),
                    i + 1);
      out.Line(szName, FormatFigure(column.dMonth[i]), 4);
    }
  }
  out.Close(kElementNames[EN_TUKIBETUURIAGEDAKA], 3);
  out.Close(kData, 1);
}

}  // namespace

CFinGaiXML::CFinGaiXML(HWND hWnd) : m_hWnd(hWnd) {}

CFinGaiXML::~CFinGaiXML() = default;

BOOL CFinGaiXML::Fail(const CFailure& failure) {
  m_failure = failure;
  return FALSE;
}

std::unique_ptr<CXMLEdit> CFinGaiXML::Prepare() {
  m_pKanri.reset(new (std::nothrow) S_KANRI());
  if (!m_pKanri) {
    Fail(CFailure(FINGAI_MSG_NO_MEMORY));
    return nullptr;
  }
  if (g_pJetAccess->ReadKanri(m_pKanri.get()) != 0) {
    m_pKanri.reset();
    Fail(CFailure(FINGAI_MSG_KANRI_READ));
    return nullptr;
  }
  std::unique_ptr<CXMLEdit> pEdit(new (std::nothrow) CXMLEdit());
  if (!pEdit) {
    Fail(CFailure(FINGAI_MSG_NO_MEMORY));
    return nullptr;
  }
  // The program's name and version go into the file: without them there is
  // no file, rather than one with the built-in defaults.
  errno = 0;
  if (!LoadSupportInfo()) {
    Fail(CFailure(kMsgSupportRead, "SUPPORT.INF", errno));
    return nullptr;
  }
  return pEdit;
}

BOOL CFinGaiXML::Write(_SG_CONDITION cond, const CArray<tag_DATA, tag_DATA>& arData,
                       short nFunctionNo) {
  m_failure = CFailure();
  const std::unique_ptr<CXMLEdit> pEdit = Prepare();
  if (!pEdit) return FALSE;
  CFinGaiFigures figures;
  figures.Compute(arData);

  // The report goes to a file beside the target, which takes the target's
  // place only once it is complete: a failed run leaves an earlier report as
  // it was.
  const CString strPath(cond.szOutPath, strnlen(cond.szOutPath, sizeof cond.szOutPath));
  CReplaceFile target;
  if (target.Open(strPath.c_str()) != 0) {
    return Fail(CFailure(kMsgWriteFailed, strPath, target.LastError()));
  }
  errno = 0;
  bool bOk = pEdit->Init(m_file, target.TempPath().c_str()) == 0;
  if (bOk) bOk = pEdit->FileWrite(kDeclaration) != 0;
  int nError = bOk ? 0 : errno;
  CString strFailedTag;
  if (bOk) {
    LineWriter out(*pEdit);
    out.Open(kReport, 0);
    WriteSystem(out, nFunctionNo, *this);
    WriteBasic(out, *m_pKanri);
    WriteData(out, cond, arData, figures);
    out.Close(kReport, 0);
    bOk = out.Ok();
    nError = out.Error();
    strFailedTag = out.FailedTag();
  }
  errno = 0;
  if (pEdit->Finish() != 0 && bOk) {
    bOk = false;
    nError = errno;
  }
  if (bOk && target.Commit() != 0) {
    bOk = false;
    nError = target.LastError();
  }
  if (bOk) return TRUE;
  target.Discard();
  if (strFailedTag.empty()) return Fail(CFailure(kMsgWriteFailed, strPath, nError));
  return Fail(CFailure(CString(kMsgWriteFailed) + "\n" + strFailedTag + kMsgBadValue +
                       "\nファイル：" + strPath));
}

bool CFinGaiXML::LoadSupportInfo() {
  if (m_hSupport) return true;
  m_hSupport.reset(new (std::nothrow) char[SUPPORT_SIZE + 1]);
  if (!m_hSupport) {
    errno = ENOMEM;
    return false;
  }
  m_pSupport = m_hSupport.get();
  std::memset(m_pSupport, 0xFF, SUPPORT_SIZE);
  m_pSupport[SUPPORT_SIZE] = '\0';
  std::size_t nRead = 0;
  std::FILE* pFile = std::fopen("SUPPORT.INF", "rb");
  bool bRead = pFile != nullptr;
  if (bRead) {
    nRead = std::fread(m_pSupport, 1, SUPPORT_SIZE, pFile);
    bRead = std::ferror(pFile) == 0;
    const int nError = errno;
    std::fclose(pFile);
    errno = nError;
  }
  if (!bRead) {
    const int nError = errno;
    m_hSupport.reset();
    m_pSupport = nullptr;
    errno = nError;
    return false;
  }
  PrepareSupportInfo(nRead);
  return true;
}

LPCSTR CFinGaiXML::GetSupportInfo(short nSelect) {
  if (!LoadSupportInfo() || nSelect < 0 || nSelect > 1) return "";
  // The whole buffer is searched, past the NULs that end the lines.
  const std::string_view strKey = kSupportKeys[nSelect];
  const std::size_t nAt = std::string_view(m_pSupport, SUPPORT_SIZE).find(strKey);
  return nAt == std::string_view::npos ? "" : m_pSupport + nAt + strKey.size();
}

void CFinGaiXML::PrepareSupportInfo(std::size_t nRead) {
  // A last line without a line end stops where the data does.
  if (nRead < SUPPORT_SIZE) m_pSupport[nRead] = '\0';
  // Past the bytes read the buffer holds no line end and no end-of-file mark.
  for (std::size_t i = 0; i < nRead; ++i) {
    if (m_pSupport[i] == '\r' && i + 1 < SUPPORT_SIZE && m_pSupport[i + 1] == '\n') {
      m_pSupport[i] = '\0';
      m_pSupport[++i] = '\0';
    } else if (m_pSupport[i] == '\x1A') {
      m_pSupport[i] = '\0';
    }
  }
}
