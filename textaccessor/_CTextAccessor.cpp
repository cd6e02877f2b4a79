#include "_CTextAccessor.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <streambuf>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsQuote(char c) { return c == '\'' || c == '"'; }

constexpr std::uint64_t kMaxAmount = std::numeric_limits<std::int64_t>::max();
// Multiplier that brings a fraction of n digits to four.
constexpr std::uint32_t kFractionScale[5] = {10000, 1000, 100, 10, 1};

template <class T>
T Load(const unsigned char* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <class T>
void Store(unsigned char* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

}  // namespace

_CTextAccessor::_CTextAccessor(const char* pszName, const _STAFormat* pFormat, long nFormatCount,
                               void* pRecord)
    : m_pStream(nullptr),
      m_nDelimiter(DELIM_FIXED),
      m_nQuote(QUOTE_NONE),
      m_pRecord(pRecord),
      m_pszName(pszName),
      m_nFormatCount(
          pFormat ? static_cast<std::int32_t>(std::clamp(nFormatCount, 0L, long{MAX_FORMATS})) : 0),
      m_pOrgFormat(pFormat),
      m_nSelectCount(0),
      m_pSelect(nullptr),
      m_cMask{},
      m_bSelectFlag(1),
      m_bSpaceFlag(0),
      m_pFormat(new _STAFormat[m_nFormatCount]) {
  std::copy_n(m_pOrgFormat, m_nFormatCount, m_pFormat);
}

_CTextAccessor::~_CTextAccessor() { delete[] m_pFormat; }

long _CTextAccessor::SetMode(long nDelimiter, long nQuote) {
  if (nDelimiter < DELIM_FIXED || nDelimiter > DELIM_SPACE) return 1;
  if (nQuote < QUOTE_NONE || nQuote > QUOTE_DOUBLE) return 1;
  if (nDelimiter == DELIM_FIXED && nQuote != QUOTE_NONE) return 1;
  m_nDelimiter = static_cast<std::int32_t>(nDelimiter);
  m_nQuote = static_cast<std::int32_t>(nQuote);
  return 0;
}

long _CTextAccessor::Attach(std::iostream* pStream) {
  m_pStream = pStream;
  return 0;
}

long _CTextAccessor::GetFormatCount() { return m_nFormatCount; }

_STAFormat* _CTextAccessor::GetFormat() { return m_pFormat; }

long _CTextAccessor::SetMask(long nIndex, long nValue) {
  if (nIndex < 0 || nIndex >= m_nFormatCount) return -1;
  m_cMask[nIndex] = static_cast<char>(nValue & 0xFF);
  return 0;
}

long _CTextAccessor::GetMask(long nIndex) {
  if (nIndex < 0 || nIndex >= m_nFormatCount) return -1;
  return static_cast<unsigned char>(m_cMask[nIndex]);
}

long _CTextAccessor::RotateFormat(long nFirst, long nTarget, long nCount) {
  // Compared without sums so that no argument can overflow the checks.
  if (nFirst < 0 || nFirst >= m_nFormatCount - 1) return 1;
  if (nCount < 1 || nCount > m_nFormatCount - nFirst) return 1;
  if (nTarget < nFirst || nTarget - nFirst >= nCount) return 1;
  _STAFormat block[MAX_FORMATS];
  for (long i = 0; i < nCount; ++i) {
    block[(nTarget - nFirst + i) % nCount] = m_pFormat[nFirst + i];
  }
  std::copy_n(block, nCount, m_pFormat + nFirst);
  return 0;
}

void _CTextAccessor::ResetRotate() { std::copy_n(m_pOrgFormat, m_nFormatCount, m_pFormat); }

void _CTextAccessor::SetSelectFlag(int bFlag) { m_bSelectFlag = bFlag; }

void _CTextAccessor::SetSpaceFlag(int bFlag) { m_bSpaceFlag = bFlag; }

long _CTextAccessor::SetSelect(const std::int32_t* pSelect, long nCount) {
  if (nCount < 0 || nCount > MAX_FORMATS || (nCount > 0 && !pSelect)) return -1;
  for (long i = 0; i < nCount; ++i) {
    if (pSelect[i] < 0 || pSelect[i] >= m_nFormatCount) return -1;
  }
  m_nSelectCount = static_cast<std::int32_t>(nCount);
  m_pSelect = nCount > 0 ? pSelect : nullptr;
  return 0;
}

long _CTextAccessor::ActiveCount() const {
  return (m_bSelectFlag || m_nSelectCount == 0) ? m_nFormatCount : m_nSelectCount;
}

// -1 for a list entry the caller changed to an index outside the table.
long _CTextAccessor::ActiveIndex(long nPos) const {
  if (m_bSelectFlag || m_nSelectCount == 0) return nPos;
  const long nIndex = m_pSelect[nPos];
  return (nIndex >= 0 && nIndex < m_nFormatCount) ? nIndex : -1;
}

long _CTextAccessor::Read() {
  if (!m_pStream) return 1;
  char szLine[MAX_LINE + 1];
  long nLength = 0;
  if (const long nResult = ReadLine(szLine, nLength); nResult != 0) return nResult;

  const long nActive = ActiveCount();
  for (long i = 0; i < nActive; ++i) {
    if (ActiveIndex(i) < 0) return 2;
  }
  // All fields are found before any is converted, so that a line that does
  // not split leaves the record as it was.
  Field fields[MAX_FORMATS];
  long nFields = nActive;
  long nResult;
  switch (m_nDelimiter) {
    case DELIM_FIXED:
      nResult = SplitFixed(szLine, nLength, fields, nActive);
      break;
    case DELIM_SPACE:
      nResult = SplitSpace(szLine, nLength, fields, nActive, nFields);
      break;
    default:
      nResult = SplitSeparated(szLine, nLength, fields, nActive, nFields);
      break;
  }
  if (nResult != 0) return nResult;
  if (nFields != nActive) return 2;
  for (long i = 0; i < nFields; ++i) {
    nResult = ReadItem(i, ActiveIndex(i), fields[i].pText, fields[i].nLength);
    if (nResult != 0) return nResult;
  }
  return 0;
}

// One line into pLine[0, nLength), without its newline and the CR of a CR LF.
// At the end of the input the stream's state is set as getline sets it.
long _CTextAccessor::ReadLine(char* pLine, long& nLength) {
  std::iostream& stream = *m_pStream;
  std::streambuf* const pBuffer = stream.rdbuf();
  if (!pBuffer || !stream.good()) {
    stream.setstate(std::ios_base::failbit);
    return stream.eof() ? 1 : 2;
  }
  if (std::ostream* pTie = stream.tie()) pTie->flush();
  // A line too long for the buffer is still counted to its end, so that the
  // next Read starts at the following line.
  long n = 0;
  for (int c; (c = pBuffer->sbumpc()) != '\n'; ++n) {
    if (c == std::char_traits<char>::eof()) {
      // A last line without a newline is never converted.
      stream.setstate(n ? std::ios_base::eofbit : std::ios_base::eofbit | std::ios_base::failbit);
      return 1;
    }
    if (n <= MAX_LINE) pLine[n] = static_cast<char>(c);
  }
  if (n > 0 && n <= MAX_LINE + 1 && pLine[n - 1] == '\r') --n;
  nLength = n;
  return n > MAX_LINE ? 2 : 0;
}

char _CTextAccessor::QuoteChar() const {
  return m_nQuote == QUOTE_SINGLE ? '\'' : m_nQuote == QUOTE_DOUBLE ? '"' : 0;
}

long _CTextAccessor::SplitFixed(const char* pLine, long nLength, Field* pFields,
                                long nActive) const {
  long nPos = 0;
  for (long i = 0; i < nActive; ++i) {
    const long nWidth = m_pFormat[ActiveIndex(i)].nWidth;
    if (nWidth < 0 || nWidth > nLength - nPos) return 2;
    pFields[i] = {pLine + nPos, nWidth};
    nPos += nWidth;
  }
  return nPos == nLength ? 0 : 2;
}

// Comma and tab separated lines share one scan; they differ in which blanks
// are skipped around fields and whether the space flag counts.
long _CTextAccessor::SplitSeparated(const char* pLine, long nLength, Field* pFields, long nActive,
                                    long& nFields) const {
  const bool bTab = m_nDelimiter == DELIM_TAB;
  const char cSeparator = bTab ? '\t' : ',';
  const char cQuote = QuoteChar();
  const bool bKeepInnerBlanks = !bTab && m_bSpaceFlag;
  const char* p = pLine;
  const char* const pEnd = pLine + nLength;
  auto skipBlanks = [&] {
    while (p != pEnd && (*p == ' ' || (!bTab && *p == '\t'))) ++p;
  };
  nFields = 0;
  for (;;) {
    skipBlanks();
    Field field = {nullptr, 0};  // absent at the end of the line or a separator
    if (p != pEnd && *p != cSeparator) {
      const char c = *p;
      if (IsQuote(c)) {
        if (cQuote && c != cQuote) return 2;
        const char* const pStart = ++p;
        p = std::find(p, pEnd, c);
        if (p == pEnd) return 2;
        field = {pStart, p++ - pStart};
      } else {
        // A blank ends the field unless kept; trailing blanks are dropped.
        const char* const pStart = p;
        const char* pKept = p;
        for (; p != pEnd && *p != cSeparator; ++p) {
          if (IsQuote(*p)) return 2;
          if (!IsBlank(*p)) {
            pKept = p + 1;
          } else if (!bKeepInnerBlanks) {
            break;
          }
        }
        field = {pStart, pKept - pStart};
      }
    }
    if (nFields >= nActive) return 2;
    pFields[nFields++] = field;
    skipBlanks();
    if (p == pEnd) return 0;
    if (*p++ != cSeparator) return 2;
  }
}

long _CTextAccessor::SplitSpace(const char* pLine, long nLength, Field* pFields, long nActive,
                                long& nFields) const {
  const char cQuote = QuoteChar();
  nFields = 0;
  long i = 0;
  for (;;) {
    while (i < nLength && IsBlank(pLine[i])) ++i;
    if (i >= nLength) break;
    if (nFields >= nActive) return 2;
    const char c = pLine[i];
    if (IsQuote(c)) {
      if (cQuote && c != cQuote) return 2;
      const long nStart = ++i;
      while (i < nLength && pLine[i] != c) ++i;
      if (i >= nLength) return 2;
      pFields[nFields++] = {pLine + nStart, i - nStart};
      ++i;
      if (i < nLength && !IsBlank(pLine[i])) return 2;
    } else {
      const long nStart = i;
      for (; i < nLength && !IsBlank(pLine[i]); ++i) {
        if (IsQuote(pLine[i])) return 2;
      }
      pFields[nFields++] = {pLine + nStart, i - nStart};
    }
  }
  if (nFields == 0) {
    if (nActive < 1) return 2;
    pFields[nFields++] = {nullptr, 0};
  }
  return 0;
}

long _CTextAccessor::ReadItem(long /*nPos*/, long nIndex, const char* pText, long nLength) {
  const _STAFormat& format = m_pFormat[nIndex];
  if (!pText) {
    if (format.bRequired) return 2;
    pText = "";
    nLength = 0;
  }
  unsigned char* const pValue = static_cast<unsigned char*>(m_pRecord) + format.nOffset;

  if (format.nType == FT_TEXT) {
    if (format.nSize < 1) return 0;
    // A zero byte ends the text, as it ends a C string.
    nLength = std::find(pText, pText + nLength, '\0') - pText;
    const long nText = std::min(nLength, long{format.nSize} - 1);
    std::memcpy(pValue, pText, static_cast<std::size_t>(nText));
    std::memset(pValue + nText, 0, static_cast<std::size_t>(format.nSize - nText));
    return 0;
  }
  if (format.nType != FT_SIGNED && format.nType != FT_UNSIGNED) return 0;

  tagCY amount;
  const long nResult = CheckNumeric(pText, nLength, &amount);
  if (nResult == 2) return 2;
  if (nResult == 1) return 0;
  if (format.nType == FT_SIGNED && format.nSize >= 8) {
    Store(pValue, amount.int64);
    return 0;
  }
  // The integer part, keeping its low bytes as a narrower field holds them.
  const auto nWhole = static_cast<std::uint32_t>(amount.int64 / 10000);
  switch (format.nSize) {
    case 1:
      Store(pValue, static_cast<std::uint8_t>(nWhole));
      break;
    case 2:
      Store(pValue, static_cast<std::uint16_t>(nWhole));
      break;
    case 4:
      Store(pValue, nWhole);
      break;
    default:
      break;
  }
  return 0;
}

long _CTextAccessor::CheckNumeric(const char* pText, long nLength, tagCY* pAmount) {
  const char* p = pText;
  const char* const pEnd = pText + nLength;
  // A zero byte ends the text, as it ends a C string.
  while (p < pEnd && IsBlank(*p)) ++p;
  if (p == pEnd || *p == '\0') return 1;

  bool bNegative = false;
  if (*p == '+' || *p == '-') bNegative = *p++ == '-';
  std::uint64_t nWhole = 0;
  std::uint64_t nFraction = 0;
  int nFractionDigits = 0;
  bool bPoint = false;
  for (; p < pEnd && *p != '\0'; ++p) {
    const char c = *p;
    if (const unsigned d = static_cast<unsigned char>(c) - unsigned{'0'}; d <= 9) {
      if (!bPoint) {
        nWhole = nWhole * 10 + d;
        // Beyond the 64-bit amount range a number is refused rather than wrapped.
        if (nWhole > kMaxAmount / 10000) return 2;
      } else if (nFractionDigits < 4) {
        nFraction = nFraction * 10 + d;
        ++nFractionDigits;
      }
    } else if (c == '+' || c == '-') {
      return 2;  // a sign only leads
    } else if (c == '.') {
      if (bPoint) return 2;
      bPoint = true;
    } else if (IsBlank(c)) {
      // Only blanks may follow the blank that ends a number.
      while (p < pEnd && IsBlank(*p)) ++p;
      if (p < pEnd && *p != '\0') return 2;
      break;
    }
  }
  const std::uint64_t nValue = nWhole * 10000 + nFraction * kFractionScale[nFractionDigits];
  if (nValue > kMaxAmount) return 2;
  pAmount->int64 =
      bNegative ? -static_cast<std::int64_t>(nValue) : static_cast<std::int64_t>(nValue);
  return 0;
}

long _CTextAccessor::Write() {
  if (!m_pStream) return -1;
  const long nActive = ActiveCount();
  for (long i = 0; i < nActive; ++i) {
    if (ActiveIndex(i) < 0) return -1;
  }
  for (long i = 0; i < nActive; ++i) {
    const long nResult = WriteItem(ActiveIndex(i));
    if (nResult != 0) return nResult;
    if (i + 1 < nActive) {
      switch (m_nDelimiter) {
        case DELIM_COMMA:
          m_pStream->put(',');
          break;
        case DELIM_TAB:
          m_pStream->put('\t');
          break;
        case DELIM_SPACE:
          m_pStream->put(' ');
          break;
        default:
          break;
      }
      if (m_pStream->fail()) return -1;
    }
  }
  m_pStream->put('\n');
  m_pStream->flush();
  return m_pStream->fail() ? -1 : 0;
}

void _CTextAccessor::PutBlanks(long nCount) {
  static constexpr char kBlanks[] = "                                ";
  constexpr long kChunk = sizeof kBlanks - 1;
  for (; nCount > 0; nCount -= kChunk) m_pStream->write(kBlanks, std::min(nCount, kChunk));
}

void _CTextAccessor::PutRightJustified(const char* pText, long nLength, long nWidth) {
  if (m_nDelimiter == DELIM_FIXED) PutBlanks(nWidth - nLength);
  m_pStream->write(pText, nLength);
}

long _CTextAccessor::WriteItem(long nIndex) {
  const _STAFormat& format = m_pFormat[nIndex];
  const long nWidth = std::max(format.nWidth, 0);
  const unsigned char nMask = static_cast<unsigned char>(m_cMask[nIndex]);
  if (nMask != 0) {
    if (m_nDelimiter == DELIM_FIXED) {
      PutBlanks(nWidth);
    } else if (nMask == 2) {
      PutBlanks(1);
    }
    return 0;
  }
  const unsigned char* pValue = static_cast<const unsigned char*>(m_pRecord) + format.nOffset;
  if (format.nType == FT_TEXT) {
    WriteText(reinterpret_cast<const char*>(pValue), std::max(format.nSize, 0), nWidth);
  } else if (format.nType == FT_SIGNED && format.nSize >= 8) {
    WriteAmount(Load<std::int64_t>(pValue), std::clamp(format.nDecimals, 0, 4), nWidth);
  } else if (format.nType == FT_SIGNED || format.nType == FT_UNSIGNED) {
    WriteInteger(pValue, format.nType == FT_SIGNED, format.nSize, nWidth);
  }
  return m_pStream->fail() ? -1 : 0;
}

// A text field up to its first NUL, cut to the width.
void _CTextAccessor::WriteText(const char* pText, long nSize, long nWidth) {
  long nText = nSize;
  if (const void* pZero = std::memchr(pText, '\0', static_cast<std::size_t>(nText))) {
    nText = static_cast<const char*>(pZero) - pText;
  }
  nText = std::min(nText, nWidth);
  if (m_nDelimiter == DELIM_FIXED) {
    m_pStream->write(pText, nText);
    PutBlanks(nWidth - nText);
    return;
  }
  const char cQuote = QuoteChar();
  if (cQuote) m_pStream->put(cQuote);
  m_pStream->write(pText, nText);
  if (cQuote) m_pStream->put(cQuote);
}

// An amount held in ten-thousandths, with nDecimals (0-4) of them shown.
void _CTextAccessor::WriteAmount(std::int64_t nAmount, long nDecimals, long nWidth) {
  char szNumber[32];
  char* pEnd = szNumber;
  const std::uint64_t nMagnitude =
      nAmount < 0 ? 0 - static_cast<std::uint64_t>(nAmount) : static_cast<std::uint64_t>(nAmount);
  if (nAmount < 0) *pEnd++ = '-';
  pEnd = std::to_chars(pEnd, szNumber + sizeof szNumber, nMagnitude / 10000).ptr;
  PutRightJustified(szNumber, pEnd - szNumber, nDecimals ? nWidth - nDecimals - 1 : nWidth);
  if (nDecimals) {
    // Four digits always, then cut: the fraction is truncated, never rounded.
    char szFraction[6] = {'.', '0', '0', '0', '0', '\0'};
    auto nFraction = static_cast<unsigned>(nMagnitude % 10000);
    for (int i = 4; i >= 1; --i, nFraction /= 10) {
      szFraction[i] = static_cast<char>('0' + nFraction % 10);
    }
    m_pStream->write(szFraction, 1 + nDecimals);
  }
}

// An integer of 1, 2 or 4 bytes; one of another size writes nothing.
void _CTextAccessor::WriteInteger(const unsigned char* pValue, bool bSigned, long nSize,
                                  long nWidth) {
  char szNumber[32];
  char* pEnd = szNumber;
  char* const pLimit = szNumber + sizeof szNumber;
  switch (nSize) {
    case 1:
      pEnd = bSigned ? std::to_chars(pEnd, pLimit, Load<std::int8_t>(pValue)).ptr
                     : std::to_chars(pEnd, pLimit, Load<std::uint8_t>(pValue)).ptr;
      break;
    case 2:
      pEnd = bSigned ? std::to_chars(pEnd, pLimit, Load<std::int16_t>(pValue)).ptr
                     : std::to_chars(pEnd, pLimit, Load<std::uint16_t>(pValue)).ptr;
      break;
    case 4:
      pEnd = bSigned ? std::to_chars(pEnd, pLimit, Load<std::int32_t>(pValue)).ptr
                     : std::to_chars(pEnd, pLimit, Load<std::uint32_t>(pValue)).ptr;
      break;
    default:
      return;
  }
  PutRightJustified(szNumber, pEnd - szNumber, nWidth);
}
