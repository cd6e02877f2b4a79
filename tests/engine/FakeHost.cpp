#include "FakeHost.h"

#include <cmath>
#include <cstring>

#include "CJetAccess.h"
#include "CKaikei.h"
#include "CValueMgr.h"
#include "CXMLEdit.h"
#include "CHostObjects.h"

CJetAccess* g_pJetAccess = nullptr;
CKaikei* g_pKaikei = nullptr;

namespace fake {

Host& State() {
  static Host host;
  return host;
}

void Reset() {
  State() = Host{};
  S_KANRI& kanri = State().kanri;
  std::strcpy(kanri.szJigyoName, "みどり農産");
  kanri.nStartYear = 2016;
  kanri.nStartMonth = 4;
  kanri.nStartDay = 1;
  kanri.nEndYear = 2017;
  kanri.nEndMonth = 3;
  kanri.nEndDay = 31;
}

void AddAccount(short nCode, BYTE nSide, const std::array<double, 14>& amounts) {
  S_KANKAMOKU kamoku{};
  kamoku.nKamokuCode = nCode;
  kamoku.nKamokuNo = 100000 + nCode;
  kamoku.byTaisyaku = nSide;
  State().arKamoku.push_back(kamoku);
  State().arAmounts.push_back(amounts);
}

std::vector<std::string> XmlLines() {
  std::vector<std::string> lines;
  for (const XmlCall& call : State().arXml) {
    lines.push_back(std::string(1, call.cKind) + " " + std::to_string(call.nLevel) + " " +
                    call.strTag + "=" + call.strText);
  }
  return lines;
}

namespace {

int Record(char cKind, LPCSTR szTag, LPCSTR szText, int nLevel) {
  Host& host = State();
  const bool bFail = static_cast<int>(host.arXml.size()) == host.nFailXmlCall;
  host.arXml.push_back({cKind, szTag ? szTag : "", szText ? szText : "", nLevel});
  return bFail ? 0 : 1;
}

}  // namespace
}  // namespace fake

CJetAccess::CJetAccess() = default;
CJetAccess::~CJetAccess() = default;

short CJetAccessRead::ReadKanri(S_KANRI* pKanri) {
  if (fake::State().bFailReadKanri) return 1;
  *pKanri = fake::State().kanri;
  return 0;
}

short CJetAccessCount::GetKanKamokuCount(short* pnCount) {
  if (fake::State().bFailCount) return 1;
  *pnCount = static_cast<short>(fake::State().arKamoku.size() + fake::State().nCountDelta);
  return 0;
}

short CJetAccessRead::ReadKanKamoku(S_KANKAMOKU* pKamoku, short nStart, short nMax, short* pnRead,
                                    short) {
  if (fake::State().bFailReadKamoku) return 1;
  const auto& titles = fake::State().arKamoku;
  short n = 0;
  for (std::size_t i = nStart; i < titles.size() && n < nMax; ++i) pKamoku[n++] = titles[i];
  *pnRead = n;
  return 0;
}

CKaikei::CKaikei(CJetAccess* pJetAccess, CYmd* pYmd, CKumiSen* pKumiSen)
    : m_pJetAccess(pJetAccess), m_pYmd(pYmd), m_pKumiSen(pKumiSen) {}
CKaikei::~CKaikei() = default;

short CKaikei::TukiKanZanCal(short nMode, short nOption1, short nOption2, TUKIKAN* pTukiKan,
                             HWND hWnd) {
  fake::Host& host = fake::State();
  ++host.nTukiKanCalls;
  if (host.bFailTukiKan || nMode != 1 || nOption1 != 0 || nOption2 != 0 || hWnd != nullptr) {
    return 1;
  }
  for (std::size_t i = 0; pTukiKan[i].nKamokuNo != 0; ++i) {
    if (pTukiKan[i].nKamokuCode != host.arKamoku.at(i).nKamokuCode) return 1;
    std::memcpy(pTukiKan[i].dKingaku, host.arAmounts[i].data(), sizeof pTukiKan[i].dKingaku);
  }
  return 0;
}

short CKaikei::NaibuTuki(short nMonth, short) {
  if (nMonth < 1 || nMonth > 12) return 0;
  return static_cast<short>((nMonth - fake::State().kanri.nStartMonth + 12) % 12 + 1);
}

double CKaikei::SuuConv(short nKind, short nUnit, double dAmount) {
  return nKind == 1 && nUnit == 2 ? std::trunc(dAmount / 1000.0) : dAmount;
}

CValueMgr* CValueMgr::Instance() {
  static CValueMgr* pInstance = new CValueMgr();
  return pInstance;
}

LPCSTR CValueMgr::GetName() { return "ハルモア１０"; }

CXMLEdit::CXMLEdit() = default;
CXMLEdit::~CXMLEdit() = default;

short CXMLEdit::Init(CFile*, LPCSTR szPath) { return fake::Record('I', "", szPath, 0) ? 0 : 1; }

int CXMLEdit::FileWrite(LPCSTR szText) { return fake::Record('W', "", szText, 0); }

int CXMLEdit::TopMakeRoot(char* pWork, LPCSTR szTag, int nLevel, LPCSTR szAttr1, LPCSTR szValue1,
                          LPCSTR szAttr2, LPCSTR szValue2) {
  if (!pWork || szAttr1 || szValue1 || szAttr2 || szValue2) return 0;
  return fake::Record('O', szTag, "", nLevel);
}

int CXMLEdit::LineMakeTag(char* pWork, LPCSTR szTag, LPCSTR szText, int nLevel, LPCSTR szAttr1,
                          LPCSTR szValue1, LPCSTR szAttr2, LPCSTR szValue2) {
  if (!pWork || szAttr1 || szValue1 || szAttr2 || szValue2) return 0;
  return fake::Record('L', szTag, szText, nLevel);
}

int CXMLEdit::EndMakeRoot(char* pWork, LPCSTR szTag, int nLevel) {
  if (!pWork) return 0;
  return fake::Record('C', szTag, "", nLevel);
}

short CXMLEdit::Finish() { return static_cast<short>(fake::Record('F', "", "", 0) ? 0 : 1); }
