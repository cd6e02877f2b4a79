#pragma once
// Reading the records of the chosen data set. Every call returns 0 on
// success; on any failure (no data set chosen, books missing, locked or
// corrupt, a text that does not fit its field) it returns non-zero and leaves
// the caller's record zero-filled.

#include "CJetAccessPart.h"
#include "S_ENV.h"
#include "S_KANKAMOKU.h"
#include "S_KANRI.h"
#include "S_KANRI2.h"

class CJetAccessRead : public virtual CJetAccessPart {
 public:
  short ReadKanri(S_KANRI* pKanri);
  short ReadKanri2(S_KANRI2* pKanri2);
  short ReadEnv(S_ENV* pEnv);
  // Fills up to nMax titles from the nStart-th (host order) into pKamoku and
  // reports in *pnRead how many it filled. nOption must be 0.
  short ReadKanKamoku(S_KANKAMOKU* pKamoku, short nStart, short nMax, short* pnRead, short nOption);

 protected:
  CJetAccessRead() = default;
  ~CJetAccessRead() = default;
};
