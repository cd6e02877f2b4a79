#pragma once
// Common base of the parts of CJetAccess: every part works on the one
// session that the composite object opens and closes.

class CLedgerSession;

class CJetAccessPart {
 public:
  CLedgerSession* GetSession() const { return m_pSession; }

 protected:
  CJetAccessPart() = default;
  ~CJetAccessPart() = default;
  CJetAccessPart(const CJetAccessPart&) = delete;
  CJetAccessPart& operator=(const CJetAccessPart&) = delete;

  CLedgerSession* m_pSession = nullptr;
};
