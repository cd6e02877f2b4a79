#include "_CTextAccessor.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <limits>
#include <streambuf>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }
bool IsQuote(unsigned char c) { return c == '\'' || c == '"'; }

constexpr std::uint64_t kMaxAmount = std::numeric_limits<std::int64_t>::max();
// Multiplier that brings a fraction of n digits to four.
constexpr std::uint32_t kFractionScale[5] = {10000, 1000, 100, 10, 1};

// Characters that may continue a bare field without a look at the state. The
// newline, which never occurs inside a line, ends the line buffer.
struct PlainTable {
  bool b[256];
};
constexpr PlainTable MakePlain(char cSeparator) {
  PlainTable t{};
  for (int c = 0; c < 256; ++c) {
    t.b[c] = c != cSeparator && c != ' ' && c != '\t' && c != '\'' && c != '"' && c != '\n';
  }
  return t;
}
constexpr PlainTable kPlainComma = MakePlain(',');
constexpr PlainTable kPlainTab = MakePlain('\t');

// Characters of a bare text field on the direct path: anything but the
// separators, blanks, quotes, line ends and the zero byte, which the general
// scan handles.
constexpr PlainTable MakeBare() {
  PlainTable t = MakePlain(',');
  t.b[unsigned{'\t'}] = t.b[unsigned{'\r'}] = t.b[0] = false;
  return t;
}
constexpr PlainTable kBare = MakeBare();

// A field that is nothing but an optional sign and up to 14 digits, the
// usual case, converts without the general scan; anything else returns false.
bool ParseWholeNumber(const char* pText, long nLength, std::int64_t& nValue) {
  const char* p = pText;
  const char* const pEnd = pText + nLength;
  const bool bNegative = p < pEnd && *p == '-';
  if (p < pEnd && (*p == '-' || *p == '+')) ++p;
  if (p == pEnd || pEnd - p > 14) return false;
  std::int64_t n = 0;
  for (; p < pEnd; ++p) {
    const unsigned d = static_cast<unsigned>(*p - '0');
    if (d > 9) return false;
    n = n * 10 + d;
  }
  nValue = bNegative ? -n : n;
  return true;
}

// The get area of any stream buffer. A derived class may form pointers to
// the protected members of its base and apply them to a foreign buffer; that
// lets a line be found and converted where it lies, instead of being fetched
// with a call per character. Skipping moves on as fetching would.
struct GetArea : std::streambuf {
  static const char* Next(std::streambuf* pBuffer) { return (pBuffer->*&GetArea::gptr)(); }
  static const char* End(std::streambuf* pBuffer) { return (pBuffer->*&GetArea::egptr)(); }
  static void Skip(std::streambuf* pBuffer, int nCount) { (pBuffer->*&GetArea::gbump)(nCount); }
};

// The value of the first nDigits (1 to 8) bytes of t, which hold 0 to 9
// each, in memory order: the digits go to the top bytes with zeros before
// them, neighbours combine into pairs, and two multiplications weigh the
// four pairs.
std::uint64_t DigitsValue(std::uint64_t t, int nDigits) {
  if (nDigits <= 4) {
    // The usual short number: two pairs, one multiplication.
    auto y = static_cast<std::uint32_t>(t << (8 * (4 - nDigits)));
    y = y * 10 + (y >> 8);
    return ((y & 0x00FF00FFu) * (1 + (100u << 16))) >> 16;
  }
  std::uint64_t x = t << (8 * (8 - nDigits));
  x = x * 10 + (x >> 8);
  constexpr std::uint64_t kPairs = 0x000000FF000000FFu;
  constexpr std::uint64_t kHigh = 100 + (1000000ull << 32);
  constexpr std::uint64_t kLow = 1 + (10000ull << 32);
  return (((x & kPairs) * kHigh) + (((x >> 16) & kPairs) * kLow)) >> 32;
}

// The run of up to seven digits at p and its value, taken eight bytes at a
// time so that the varying lengths of numbers cost no branches. Returns the
// number of digits, or 8 when there may be more (nValue is then not set), or
// when the byte order does not allow it. Eight bytes at p must be readable.
int ShortDigits(const unsigned char* p, std::uint64_t& nValue) {
  if constexpr (std::endian::native != std::endian::little) {
    return 8;
  } else {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    // Digit bytes become 0 to 9; every other byte has its high bit set after
    // the sum, which cannot carry from one byte into the next.
    const std::uint64_t t = v ^ 0x3030303030303030u;
    const std::uint64_t nOther =
        (((t & 0x7F7F7F7F7F7F7F7Fu) + 0x7676767676767676u) | t) & 0x8080808080808080u;
    if (nOther == 0) return 8;
    const int nDigits = std::countr_zero(nOther) / 8;
    if (nDigits == 0) return 0;
    nValue = DigitsValue(t, nDigits);
    return nDigits;
  }
}

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

// Cut to nSize - 1 bytes and zero-filled; a field without room is left alone.
void StoreText(unsigned char* pValue, std::int32_t nSize, const char* pText, long nLength) {
  if (nSize < 1) return;
  const long nText = std::min(nLength, long{nSize} - 1);
  std::memcpy(pValue, pText, static_cast<std::size_t>(nText));
  std::memset(pValue + nText, 0, static_cast<std::size_t>(nSize - nText));
}

// The integer part, keeping its low bytes as a narrower field holds them.
void StoreInteger(unsigned char* pValue, std::int32_t nSize, std::int64_t nWhole64) {
  const auto nWhole = static_cast<std::uint32_t>(nWhole64);
  switch (nSize) {
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

// A line of up to 15 bytes holding nothing but numbers without a sign, of
// up to eight digits, as in the program's match files, taken sixteen bytes at
// once: digits, separators and the newline are found together and each
// number converts on its own. SHORT_REACH bytes at p must be readable.
// Returns the bytes taken, or 0 with nothing stored for any other line.
inline long _CTextAccessor::ReadShortNumbers(const unsigned char* p, unsigned char cSeparator) {
#if defined(__SSE2__)
  const long nCount = m_nFormatCount;
  if (nCount > SHORT_FIELDS) return 0;
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i nine = _mm_set1_epi8(9);
  const __m128i digit = _mm_sub_epi8(v, _mm_set1_epi8('0'));
  const auto nDigits =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(digit, nine), nine)));
  const auto nSeparators = static_cast<unsigned>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(cSeparator)))));
  const auto nNewlines =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))));
  if (nNewlines == 0) return 0;
  const int nNewline = std::countr_zero(nNewlines);
  const int nEnd = nNewline > 0 && p[nNewline - 1] == '\r' ? nNewline - 1 : nNewline;
  const unsigned nLine = (1u << nEnd) - 1;
  const unsigned nInner = nSeparators & nLine;
  // Digits and separators only, and a digit at the start of every field,
  // so that no field is empty or signed.
  if (((nDigits | nInner) & nLine) != nLine) return 0;
  const unsigned nStarts = 1u | (nInner << 1);
  if ((nStarts & nDigits) != nStarts) return 0;

  // Numbers only, as many fields as formats, and none longer than eight
  // digits.
  if (nCount < 1) return 0;
  unsigned nRest = nInner | (1u << nEnd);
  for (long i = 0; i < nCount; ++i) {
    const std::int32_t nType = m_pFormat[i].nType;
    if ((nType != FT_SIGNED && nType != FT_UNSIGNED) || nRest == 0) return 0;
    nRest &= nRest - 1;
  }
  if (nRest != 0) return 0;
  const unsigned nRun2 = nDigits & nLine & (nDigits >> 1);
  const unsigned nRun4 = nRun2 & (nRun2 >> 2);
  if ((nRun4 & (nRun4 >> 4) & (nDigits >> 8)) != 0) return 0;

  unsigned char* const pRecord = static_cast<unsigned char*>(m_pRecord);
  unsigned nEnds = nInner | (1u << nEnd);
  int nStart = 0;
  for (long i = 0; i < nCount; ++i) {
    const int nStop = std::countr_zero(nEnds);
    nEnds &= nEnds - 1;
    std::uint64_t t;
    std::memcpy(&t, p + nStart, sizeof t);
    const auto nValue =
        static_cast<std::int64_t>(DigitsValue(t ^ 0x3030303030303030u, nStop - nStart));
    nStart = nStop + 1;
    const _STAFormat& format = m_pFormat[i];
    if (format.nType == FT_SIGNED && format.nSize >= 8) {
      Store(pRecord + format.nOffset, nValue * 10000);
    } else {
      StoreInteger(pRecord + format.nOffset, format.nSize, nValue);
    }
  }
  return nNewline + 1;
#else
  static_cast<void>(p);
  static_cast<void>(cSeparator);
  return 0;
#endif
}

long _CTextAccessor::Read() {
  if (!m_pStream) return 1;
  // A short line of numbers in a healthy, untied stream: taken here, with
  // nothing else set up.
  std::iostream& stream = *m_pStream;
  std::streambuf* const pBuffer = stream.rdbuf();
  if (pBuffer && stream.good() && !stream.tie() &&
      (m_nDelimiter == DELIM_COMMA || m_nDelimiter == DELIM_TAB) &&
      (m_bSelectFlag || m_nSelectCount == 0)) {
    const char* const pNext = GetArea::Next(pBuffer);
    if (pNext && GetArea::End(pBuffer) - pNext >= SHORT_REACH) {
      if (const long nTaken = ReadShortNumbers(reinterpret_cast<const unsigned char*>(pNext),
                                               m_nDelimiter == DELIM_TAB ? '\t' : ',')) {
        GetArea::Skip(pBuffer, static_cast<int>(nTaken));
        return 0;
      }
    }
  }
  return ReadLine();
}

long _CTextAccessor::ReadLine() {
  std::iostream& stream = *m_pStream;
  std::streambuf* pBuffer = stream.rdbuf();
  // The line is taken from the stream buffer as getline would take it, with
  // the same state afterwards, but without its per-call overhead.
  if (!pBuffer || !stream.good()) {
    stream.setstate(std::ios_base::failbit);
    return stream.eof() ? 1 : 2;
  }
  if (std::ostream* pTie = stream.tie()) pTie->flush();
  // One byte beyond the longest line leaves room for the CR of a CR LF line,
  // and one more for the newline that ends the buffer for the splitters.
  char szLine[MAX_LINE + 3];
  long nLength = 0;
  // The usual case: the whole line, newline included, is already buffered.
  const char* const pNext = GetArea::Next(pBuffer);
  const long nBuffered = pNext ? GetArea::End(pBuffer) - pNext : 0;
  if ((m_nDelimiter == DELIM_COMMA || m_nDelimiter == DELIM_TAB) &&
      (m_bSelectFlag || m_nSelectCount == 0) && nBuffered > 0) {
    if (const long nTaken = ReadBare(pNext, pNext + std::min(nBuffered, long{MAX_LINE + 2}))) {
      GetArea::Skip(pBuffer, static_cast<int>(nTaken));
      return 0;
    }
  }
  const void* pNewline =
      nBuffered > 0 ? std::memchr(pNext, '\n',
                                  static_cast<std::size_t>(std::min(nBuffered, long{MAX_LINE + 2})))
                    : nullptr;
  if (pNewline) {
    nLength = static_cast<const char*>(pNewline) - pNext;
    GetArea::Skip(pBuffer, static_cast<int>(nLength + 1));
    std::memcpy(szLine, pNext, static_cast<std::size_t>(nLength));
  } else {
    // Across a refill of the buffer, or too long: character by character.
    for (int c; (c = pBuffer->sbumpc()) != '\n';) {
      if (c == std::char_traits<char>::eof()) {
        // A last line without a newline is never converted.
        stream.setstate(nLength ? std::ios_base::eofbit
                                : std::ios_base::eofbit | std::ios_base::failbit);
        return 1;
      }
      if (nLength == MAX_LINE + 1) {
        // Too long for a record: the rest of it is dropped, so that the next
        // Read starts at the following line.
        while ((c = pBuffer->sbumpc()) != '\n') {
          if (c == std::char_traits<char>::eof()) {
            stream.setstate(std::ios_base::eofbit);
            return 1;
          }
        }
        return 2;
      }
      szLine[nLength++] = static_cast<char>(c);
    }
  }
  if (nLength > 0 && szLine[nLength - 1] == '\r') --nLength;
  if (nLength > MAX_LINE) return 2;
  szLine[nLength] = '\n';

  const long nActive = ActiveCount();
  if (!m_bSelectFlag) {
    for (long i = 0; i < nActive; ++i) {
      if (ActiveIndex(i) < 0) return 2;
    }
  }
  Field fields[MAX_FORMATS];
  long nFields = 0;
  long nResult;
  switch (m_nDelimiter) {
    case DELIM_FIXED:
      nResult = SplitFixed(szLine, nLength, fields, nActive);
      nFields = nActive;
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
  const bool bList = !m_bSelectFlag && m_nSelectCount != 0;
  for (long i = 0; i < nFields; ++i) {
    nResult = ReadItem(i, bList ? m_pSelect[i] : i, fields[i].pText, fields[i].nLength);
    if (nResult != 0) return nResult;
  }
  return 0;
}

// Split and converted in one pass: the line is nothing but bare numbers and
// bare texts with one separator between them, as the program writes its
// files, and its newline lies before pLimit. Returns the bytes the line takes
// with its newline. Any other line returns 0 with nothing stored, for the
// general path to decide; for the lines taken here the general path would
// store the same values.
long _CTextAccessor::ReadBare(const char* pLine, const char* pLimit) {
  const long nCount = m_nFormatCount;
  if (nCount < 1) return 0;
  const unsigned char cSeparator = m_nDelimiter == DELIM_TAB ? '\t' : ',';
  Field fields[MAX_FORMATS];
  std::int64_t nValues[MAX_FORMATS];
  const unsigned char* const pFirst = reinterpret_cast<const unsigned char*>(pLine);
  const unsigned char* const pStop = reinterpret_cast<const unsigned char*>(pLimit);
  const unsigned char* p = pFirst;
  for (long i = 0; i < nCount; ++i) {
    if (p == pStop) return 0;  // no newline in reach
    const std::int32_t nType = m_pFormat[i].nType;
    const unsigned char* const pStart = p;
    if (nType == FT_TEXT) {
      while (p < pStop && kBare.b[*p]) ++p;
      fields[i] = {reinterpret_cast<const char*>(pStart), p - pStart};
    } else if (nType == FT_SIGNED || nType == FT_UNSIGNED) {
      const bool bNegative = *p == '-';
      if (*p == '-' || *p == '+') ++p;
      const unsigned char* const pDigits = p;
      std::uint64_t n = 0;
      const int nShort = pStop - p >= 8 ? ShortDigits(p, n) : 8;
      if (nShort < 8) {
        p += nShort;
      } else {
        for (unsigned d; p < pStop && (d = static_cast<unsigned>(*p - '0')) <= 9; ++p) {
          n = n * 10 + d;
        }
      }
      // Up to 14 digits, as the general path's own shortcut takes them.
      if (p == pDigits || p - pDigits > 14) return 0;
      nValues[i] = bNegative ? -static_cast<std::int64_t>(n) : static_cast<std::int64_t>(n);
    } else {
      return 0;
    }
    if (p == pStart || p == pStop) return 0;  // an absent field, or no newline in reach
    if (i + 1 < nCount) {
      if (*p != cSeparator) return 0;
      ++p;
    }
  }
  if (p - pFirst > MAX_LINE) return 0;
  if (*p == '\r' && p + 1 < pStop) ++p;
  if (*p != '\n') return 0;

  unsigned char* const pRecord = static_cast<unsigned char*>(m_pRecord);
  for (long i = 0; i < nCount; ++i) {
    const _STAFormat& format = m_pFormat[i];
    unsigned char* const pValue = pRecord + format.nOffset;
    if (format.nType == FT_TEXT) {
      StoreText(pValue, format.nSize, fields[i].pText, fields[i].nLength);
    } else if (format.nType == FT_SIGNED && format.nSize >= 8) {
      Store(pValue, nValues[i] * 10000);
    } else {
      StoreInteger(pValue, format.nSize, nValues[i]);
    }
  }
  return p + 1 - pFirst;
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
  const unsigned char cSeparator = bTab ? '\t' : ',';
  const unsigned char cQuote = m_nQuote == QUOTE_SINGLE ? '\'' : m_nQuote == QUOTE_DOUBLE ? '"' : 0;
  const bool bKeepInnerBlanks = !bTab && m_bSpaceFlag;
  const bool* const bPlain = bTab ? kPlainTab.b : kPlainComma.b;
  auto skippable = [bTab](unsigned char c) { return c == ' ' || (!bTab && c == '\t'); };
  const unsigned char* p = reinterpret_cast<const unsigned char*>(pLine);
  const unsigned char* const pEnd = p + nLength;
  nFields = 0;
  auto add = [&](const unsigned char* pText, long nLen) {
    if (nFields >= nActive) return false;
    pFields[nFields++] = {reinterpret_cast<const char*>(pText), nLen};
    return true;
  };

  // The line ends in a newline (see Read), so scans stop without a bound.
  for (;;) {
    // Between fields.
    while (skippable(*p)) ++p;
    if (p == pEnd) return add(nullptr, 0) ? 0 : 2;
    const unsigned char c = *p;
    if (c == cSeparator) {
      if (!add(nullptr, 0)) return 2;
      ++p;
      continue;
    }
    if (IsQuote(c)) {
      if (cQuote && c != cQuote) return 2;
      const unsigned char* pStart = ++p;
      const void* pClose = std::memchr(p, c, static_cast<std::size_t>(pEnd - p));
      if (!pClose) return 2;
      p = static_cast<const unsigned char*>(pClose);
      if (!add(pStart, p - pStart)) return 2;
      ++p;
    } else {
      const unsigned char* pStart = p;
      const unsigned char* pKept = p;  // one past the last character that is not blank
      for (;;) {
        const unsigned char* pRun = p;
        while (bPlain[*p]) ++p;
        if (p != pRun) pKept = p;
        if (p == pEnd) return add(pStart, pKept - pStart) ? 0 : 2;
        if (IsQuote(*p)) return 2;
        if (*p == cSeparator || !bKeepInnerBlanks) break;
        ++p;
      }
      if (!add(pStart, pKept - pStart)) return 2;
      if (*p++ == cSeparator) continue;
    }
    // After a field.
    while (skippable(*p)) ++p;
    if (p == pEnd) return 0;
    if (*p++ != cSeparator) return 2;
  }
}

long _CTextAccessor::SplitSpace(const char* pLine, long nLength, Field* pFields, long nActive,
                                long& nFields) const {
  const char cQuote = m_nQuote == QUOTE_SINGLE ? '\'' : m_nQuote == QUOTE_DOUBLE ? '"' : 0;
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
  unsigned char* pValue = static_cast<unsigned char*>(m_pRecord) + format.nOffset;

  if (format.nType == FT_TEXT) {
    // A zero byte ends the text, as it ends a C string.
    if (const void* pZero = std::memchr(pText, '\0', static_cast<std::size_t>(nLength))) {
      nLength = static_cast<const char*>(pZero) - pText;
    }
    StoreText(pValue, format.nSize, pText, nLength);
    return 0;
  }
  if (format.nType != FT_SIGNED && format.nType != FT_UNSIGNED) return 0;

  const bool bAmount = format.nType == FT_SIGNED && format.nSize >= 8;
  std::int64_t nWhole64;
  if (ParseWholeNumber(pText, nLength, nWhole64)) {
    if (bAmount) {
      Store(pValue, nWhole64 * 10000);
      return 0;
    }
  } else {
    tagCY amount;
    const long nResult = CheckNumeric(pText, nLength, &amount);
    if (nResult == 2) return 2;
    if (nResult == 1) return 0;
    if (bAmount) {
      Store(pValue, amount.int64);
      return 0;
    }
    nWhole64 = amount.int64 / 10000;
  }
  StoreInteger(pValue, format.nSize, nWhole64);
  return 0;
}

long _CTextAccessor::CheckNumeric(const char* pText, long nLength, tagCY* pAmount) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(pText);
  const unsigned char* const pEnd = p + nLength;
  // A zero byte ends the text, as it ends a C string.
  while (p < pEnd && IsBlank(*p)) ++p;
  if (p == pEnd || *p == '\0') return 1;

  bool bNegative = false;
  if (*p == '+' || *p == '-') bNegative = *p++ == '-';
  // Beyond the 64-bit amount range a number is refused rather than wrapped.
  std::uint64_t nWhole = 0;
  for (unsigned d; p < pEnd && (d = static_cast<unsigned>(*p - '0')) <= 9; ++p) {
    nWhole = nWhole * 10 + d;
    if (nWhole > kMaxAmount / 10000) return 2;
  }
  std::uint64_t nFraction = 0;
  int nFractionDigits = 0;
  bool bPoint = false;
  for (; p < pEnd; ++p) {
    const unsigned char c = *p;
    if (c >= '0' && c <= '9') {
      if (!bPoint) {
        nWhole = nWhole * 10 + (c - '0');
        if (nWhole > kMaxAmount / 10000) return 2;
      } else if (nFractionDigits < 4) {
        nFraction = nFraction * 10 + (c - '0');
        ++nFractionDigits;
      }
    } else if (c == '\0') {
      break;
    } else if (c == '+' || c == '-') {
      return 2;  // a sign only leads
    } else if (c == '.') {
      if (bPoint) return 2;
      bPoint = true;
    } else if (IsBlank(c)) {
      // Only blanks may follow the blank that ends a number.
      while (p < pEnd && IsBlank(*p)) ++p;
      if (p != pEnd && *p != '\0') return 2;
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
  const bool bFixed = m_nDelimiter == DELIM_FIXED;
  const long nWidth = std::max(format.nWidth, 0);
  const unsigned char nMask = static_cast<unsigned char>(m_cMask[nIndex]);
  if (nMask != 0) {
    if (bFixed) {
      PutBlanks(nWidth);
    } else if (nMask == 2) {
      PutBlanks(1);
    }
    return 0;
  }

  const unsigned char* pValue = static_cast<const unsigned char*>(m_pRecord) + format.nOffset;
  char szNumber[32];
  char* pEnd = szNumber;
  char* const pLimit = szNumber + sizeof szNumber;
  if (format.nType == FT_TEXT) {
    const char* pText = reinterpret_cast<const char*>(pValue);
    long nText = std::max(format.nSize, 0);
    if (const void* pZero = std::memchr(pText, '\0', static_cast<std::size_t>(nText))) {
      nText = static_cast<const char*>(pZero) - pText;
    }
    nText = std::min(nText, nWidth);
    if (bFixed) {
      m_pStream->write(pText, nText);
      PutBlanks(nWidth - nText);
    } else {
      const char cQuote = m_nQuote == QUOTE_SINGLE ? '\'' : m_nQuote == QUOTE_DOUBLE ? '"' : 0;
      if (cQuote) m_pStream->put(cQuote);
      m_pStream->write(pText, nText);
      if (cQuote) m_pStream->put(cQuote);
    }
  } else if (format.nType == FT_SIGNED && format.nSize >= 8) {
    const auto nAmount = Load<std::int64_t>(pValue);
    const std::uint64_t nMagnitude =
        nAmount < 0 ? 0 - static_cast<std::uint64_t>(nAmount) : static_cast<std::uint64_t>(nAmount);
    if (nAmount < 0) *pEnd++ = '-';
    pEnd = std::to_chars(pEnd, pLimit, nMagnitude / 10000).ptr;
    const long nDecimals = std::clamp(format.nDecimals, 0, 4);
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
  } else if (format.nType == FT_SIGNED || format.nType == FT_UNSIGNED) {
    const bool bSigned = format.nType == FT_SIGNED;
    bool bKnown = true;
    switch (format.nSize) {
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
        bKnown = false;
        break;
    }
    if (bKnown) PutRightJustified(szNumber, pEnd - szNumber, nWidth);
  }
  return m_pStream->fail() ? -1 : 0;
}
