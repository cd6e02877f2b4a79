#pragma once
// Record counts of the chosen data set; 0 on success.

#include "CJetAccessPart.h"

class CJetAccessCount : public virtual CJetAccessPart {
 public:
  short GetKanKamokuCount(short* pnCount);

 protected:
  CJetAccessCount() = default;
  ~CJetAccessCount() = default;
};
