#include "CFinGaiSum.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "CFinGaiXML.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CHostObjects.h"
#include "FailureTexts.h"
#include "S_KANRI.h"

namespace {

// Host total accounts named by formula keywords, in the order they are tried.
struct KeywordAccount {
  std::string_view strKeyword;
  short nCode;
};
constexpr KeywordAccount kKeywords[] = {
    {"URIAGE", CKaikei::CODE_URIAGE},
    {"GENKA", CKaikei::CODE_GENKA},
    {"URISOURIEKI", CKaikei::CODE_URISOURIEKI},
    {"EIGYOSONEKI", CKaikei::CODE_EIGYOSONEKI},
    {"ZEIBIKIMAE", CKaikei::CODE_ZEIBIKIMAE},
    {"SHISAN", CKaikei::CODE_SHISAN},
    {"HUSAI", CKaikei::CODE_HUSAI},
    {"SHIHON", CKaikei::CODE_SHIHON},
};

// "Σ" in the settings files' code page.
constexpr std::string_view kSigma = "\x83\xB0";

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The text of a fixed field, which may lack its terminator in a damaged record.
template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
  return std::string_view(field, strnlen(field, N));
}

// Reads a number the way the C runtime's atoi does (leading blanks, a sign,
// digits, anything after them ignored), saturating instead of overflowing.
int AtoiLike(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool bNegative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) bNegative = text[i++] == '-';
  long long nValue = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    nValue =
        std::min<long long>(nValue * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
  }
  if (bNegative) nValue = -nValue;
  return static_cast<int>(std::clamp<long long>(nValue, INT_MIN, INT_MAX));
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

CFinGaiSum::CFinGaiSum(HWND hWnd) : m_hWnd(hWnd) {}

CFinGaiSum::~CFinGaiSum() = default;

BOOL CFinGaiSum::Fail(LPCSTR pszText) {
  m_failure = CFailure(pszText);
  return FALSE;
}

BOOL CFinGaiSum::Init(_SG_CONDITION cond, CArray<S_KANKAMOKU, S_KANKAMOKU>* pKamokuArray,
                      CArray<_SG_MATCH, _SG_MATCH>* pMatchArray,
                      CArray<_SG_INIT_BODY, _SG_INIT_BODY>* pInitBodyArray, short nFunctionNo) {
  m_cond = cond;
  m_pKamokuArray = pKamokuArray;
  m_pMatchArray = pMatchArray;
  m_pInitBodyArray = pInitBodyArray;
  m_nFunctionNo = nFunctionNo;

  std::unique_ptr<S_KANRI> pKanri(new (std::nothrow) S_KANRI());
  if (!pKanri) return Fail(FINGAI_MSG_NO_MEMORY);
  if (g_pJetAccess->ReadKanri(pKanri.get()) != 0) return Fail(FINGAI_MSG_KANRI_READ);
  m_nStartMonth = m_cond.nKikanFrom;
  m_nEndMonth = m_cond.nKikanTo;

  // A year of twelve month periods also covers the settlement period and
  // carries its opening balances in its first month already.
  const int nStart = pKanri->nStartMonth;
  const int nEnd = pKanri->nEndMonth;
  m_bFullYear = FALSE;
  if ((nStart == 1 && nEnd == 12) || (nStart != 1 && nEnd == nStart - 1) ||
      (nStart == nEnd && pKanri->nStartDay != 1)) {
    m_bFullYear = TRUE;
  }
  return TRUE;
}

BOOL CFinGaiSum::Run(HWND hWnd) {
  std::unique_ptr<CFinGaiXML> pXml(new (std::nothrow) CFinGaiXML(hWnd));
  if (!pXml) return Fail(FINGAI_MSG_NO_MEMORY);
  // A failed aggregation writes nothing: a partial report would take the
  // place of an earlier good one.
  if (!SumAccounts()) return FALSE;
  if (pXml->Write(m_cond, m_arData, m_nFunctionNo)) return TRUE;
  m_failure = pXml->GetFailure();
  return FALSE;
}

BOOL CFinGaiSum::SumAccounts() {
  short nCount = 0;
  if (g_pJetAccess->GetKanKamokuCount(&nCount) != 0)
    return Fail("勘定科目数の取得に失敗しました。");
  nCount = std::max<short>(nCount, 0);
  std::unique_ptr<S_KANKAMOKU[]> pKamoku(new (std::nothrow) S_KANKAMOKU[nCount]());
  if (!pKamoku) return Fail(FINGAI_MSG_NO_MEMORY);
  short nRead = 0;
  if (g_pJetAccess->ReadKanKamoku(pKamoku.get(), 0, nCount, &nRead, 0) != 0)
    return Fail("科目リードエラー");

  m_hTukiKan.reset();
  m_pTukiKan = nullptr;
  m_nTukiCount = 0;
  nRead = std::clamp<short>(nRead, 0, nCount);
  m_hTukiKan.reset(new (std::nothrow) TUKIKAN[nRead + 1]());
  if (!m_hTukiKan) return Fail(FINGAI_MSG_NO_MEMORY);
  m_pTukiKan = m_hTukiKan.get();
  m_nTukiCount = nRead;
  for (short i = 0; i < m_nTukiCount; ++i) {
    m_pTukiKan[i].nKamokuCode = pKamoku[i].nKamokuCode;
    m_pTukiKan[i].nKamokuNo = pKamoku[i].nKamokuNo;
  }
  m_pTukiKan[m_nTukiCount].nKamokuNo = 0;
  pKamoku.reset();

  if (g_pKaikei->TukiKanZanCal(1, 0, 0, m_pTukiKan, nullptr) != 0)
    return Fail("科目残高の集計失敗");

  if (m_pInitBodyArray != nullptr) {
    for (const _SG_INIT_BODY& body : *m_pInitBodyArray) {
      tag_DATA data{};
      ComputeItem(body, data);
      m_arData.push_back(data);
    }
  }
  return TRUE;
}

void CFinGaiSum::ComputeItem(const _SG_INIT_BODY& body, tag_DATA& data) {
  data.nItemNo = body.nGaiNo;
  data.nKubun = body.nKubun;
  const std::string_view strTag = FieldText(body.szTag);
  const std::size_t nTag = std::min<std::size_t>(strTag.size(), TAG_DATA_TAG_SIZE - 1);
  std::memcpy(data.szTag, strTag.data(), nTag);
  data.szTag[nTag] = '\0';

  if (IsAccountItem(body)) {
    if (m_pMatchArray == nullptr) return;
    for (const _SG_MATCH& match : *m_pMatchArray) {
      if (match.nGaiNo == body.nGaiNo) AddAccount(match, data, body.nTaisyaku);
    }
    return;
  }
  CalcFormula(body, data);
}

BOOL CFinGaiSum::AddAccount(const _SG_MATCH& match, tag_DATA& data, BYTE nSide) const {
  const int nFrom = g_pKaikei->NaibuTuki(m_nStartMonth, 1);
  const int nTo = g_pKaikei->NaibuTuki(m_nEndMonth, 1);
  int nSlots = nTo >= nFrom ? nTo - nFrom + 1 : nTo - nFrom + 13;
  // Twelve months also take in the settlement period, in the last slot.
  if (nSlots == 12) nSlots = 13;
  nSlots = std::min(nSlots, TAG_DATA_SLOTS);

  if (m_pTukiKan == nullptr) return TRUE;
  const TUKIKAN* pEntry = nullptr;
  for (short i = 0; i < m_nTukiCount; ++i) {
    if (m_pTukiKan[i].nKamokuCode == match.nBokiCode) {
      pEntry = &m_pTukiKan[i];
      break;
    }
  }
  if (pEntry == nullptr) return TRUE;

  const double dSign = match.nTaisyaku == nSide ? 1.0 : -1.0;
  constexpr int kLastElement = 13;
  for (int k = 0; k < nSlots; ++k) {
    // A period ending before it begins would run past the settlement period.
    const int nElement = nFrom + k;
    if (nElement < 0 || nElement > kLastElement) continue;
    data.dAmount[k] += dSign * pEntry->dKingaku[nElement];
  }
  if (!m_bFullYear) data.dAmount[0] += dSign * pEntry->dKingaku[0];
  return TRUE;
}

bool CFinGaiSum::IsAccountItem(const _SG_INIT_BODY& body) {
  const std::string_view strSeikaku = FieldText(body.szSeikaku);
  return AtoiLike(strSeikaku) != 0 || strSeikaku == "ALL";
}

short CFinGaiSum::FormulaTotalAccount(const _SG_INIT_BODY& body) {
  const std::string_view strFormula = Trim(FieldText(body.szKeisan));
  for (const KeywordAccount& keyword : kKeywords) {
    if (strFormula.starts_with(keyword.strKeyword)) return keyword.nCode;
  }
  return 0;
}

bool CFinGaiSum::CalcFormula(const _SG_INIT_BODY& body, tag_DATA& data) {
  const std::string_view strFormula = Trim(FieldText(body.szKeisan));
  for (const KeywordAccount& keyword : kKeywords) {
    if (strFormula.starts_with(keyword.strKeyword)) {
      _SG_MATCH match{};
      match.nGaiNo = body.nGaiNo;
      match.nBokiCode = keyword.nCode;
      match.nTaisyaku = body.nTaisyaku;
      AddAccount(match, data, body.nTaisyaku);
    }
  }
  if (strFormula.starts_with(kSigma)) AddRange(std::string(strFormula).c_str(), data);
  return true;
}

void CFinGaiSum::AddRange(const char* szFormula, tag_DATA& data) {
  const char* pRange = std::strchr(szFormula, '(');
  pRange = pRange != nullptr ? pRange + 1 : szFormula;
  unsigned short nFirst = 0;
  int nLast = 0;
  std::string strScratch;
  for (; *pRange != '\0'; ++pRange) {
    if (*pRange == ':') {
      nFirst = static_cast<unsigned short>(AtoiLike(strScratch));
      strScratch.clear();
    } else if (*pRange == ')') {
      nLast = AtoiLike(strScratch);
      break;
    } else {
      strScratch += *pRange;
    }
  }
  const short nCount = static_cast<short>(nLast - nFirst + 1);
  // At least the first position counts, also for a range given backwards.
  const int nPositions = std::max<int>(nCount, 1);
  // Only items computed before this one can be read; the rest of the range
  // names nothing and adds nothing.
  const int nLo = std::max<int>(nFirst, 1);
  const int nHi = std::min<int>(nFirst + nPositions - 1, static_cast<int>(m_arData.size()));
  for (int nPos = nLo; nPos <= nHi; ++nPos) {
    const tag_DATA& source = m_arData[nPos - 1];
    for (int k = 0; k < TAG_DATA_SLOTS; ++k) data.dAmount[k] += source.dAmount[k];
  }
}
