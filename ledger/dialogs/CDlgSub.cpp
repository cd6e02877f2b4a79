#include "CDlgSub.h"

#include "CConv.h"

BOOL CDlgSub::ValueCheck(LPCSTR szText, short nMin, short nMax) {
  short nValue = 0;
  if (CConv().Convert(szText, &nValue) != 0) return FALSE;
  return nValue >= nMin && nValue <= nMax ? TRUE : FALSE;
}
