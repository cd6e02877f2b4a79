#pragma once
// Facts about the data-access library itself.

#include "CJetAccessPart.h"
#include "S_JETVERSION.h"

class CJetAccessFile : public virtual CJetAccessPart {
 public:
  // Fills the version record; 0 on success.
  short GetVersion(S_JETVERSION* pVersion);

 protected:
  CJetAccessFile() = default;
  ~CJetAccessFile() = default;
};
