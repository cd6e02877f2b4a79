#pragma once
// Presence of the files the host needs.

#include "CJetAccessPart.h"
#include "WinTypes.h"

class CJetAccessCheck : public virtual CJetAccessPart {
 public:
  // 0 when the named regular file exists. A name without "/" (such as
  // "QT10.EXE" or "SUPPORT.INF") is looked for in the program folder.
  short CheckFile(LPCSTR szName);

 protected:
  CJetAccessCheck() = default;
  ~CJetAccessCheck() = default;
};
