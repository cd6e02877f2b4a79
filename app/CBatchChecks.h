#pragma once
// The start-up checks of a run by hand, made for the batch: the system
// date, the guards of a run by hand (held while the object lives), memory,
// the start drive, the program level and the data access's release.
// Messages go to standard error.

#include "CBatchStartUp.h"
#include "NamedGuard.h"

class CBatchChecks : public CBatchStartUp {
 public:
  bool BeforeBooks() override;
  bool WithBooks(const CString& strProgramFolder) override;

 private:
  NamedGuard m_checkGuard;
  NamedGuard m_hostGuard;
};
