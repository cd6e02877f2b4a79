#include "CConv.h"

#include <cstring>

namespace {

// Optional "-", then 1 to 6 decimal digits; nothing else.
bool ParseShortText(LPCSTR sz, long& nValue) {
  if (sz == nullptr) return false;
  const char* p = sz;
  const bool bNegative = *p == '-';
  if (bNegative) ++p;
  const std::size_t nDigits = std::strlen(p);
  if (nDigits == 0 || nDigits > 6) return false;
  long n = 0;
  for (; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9') return false;
    n = n * 10 + (*p - '0');
  }
  nValue = bNegative ? -n : n;
  return true;
}

}  // namespace

short CConv::Convert(LPCSTR szText, short* pnValue) {
  long n = 0;
  if (pnValue == nullptr || !ParseShortText(szText, n) || n < -32768 || n > 32767) return 1;
  *pnValue = static_cast<short>(n);
  return 0;
}
