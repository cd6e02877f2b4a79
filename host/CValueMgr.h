#pragma once
// Process-wide values of the window utilities: the product name registered
// at start-up and the host edition of the installation.
//
// The edition comes from the installation's host settings (see
// CInstallation.h of the ledger): GetNo() is 10 or more in the cooperative
// edition. Instance() creates the object on first use; Release() destroys it.

#include "WinTypes.h"

class CValueMgr {
 public:
  inline static constexpr short OSTYPE_POSIX = 3;

  static CValueMgr* Instance();

  // nIndex 0 registers the product name; other indexes are refused (FALSE).
  BOOL Set(LPCSTR szName, short nIndex);
  // The host edition; 0 (regular) when the host settings cannot be read.
  short GetNo();
  // OSTYPE_POSIX: a multi-user system keeping the books in per-user data.
  short GetOSType();
  // The product name given to Set, else the host settings' product name.
  LPCSTR GetName();
  void Release();

 private:
  CValueMgr() = default;
  ~CValueMgr() = default;

  CString m_strName;
  CString m_strFallback;
};
