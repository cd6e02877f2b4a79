#pragma once
// Member-selection context of the accounting calculations: which data
// access it reads and in which mode.

class CJetAccess;

class CKumiSen {
 public:
  CKumiSen(CJetAccess* pJetAccess, short nMode);
  virtual ~CKumiSen() = default;

  CJetAccess* GetJetAccess() const { return m_pJetAccess; }
  short GetMode() const { return m_nMode; }

 private:
  CJetAccess* m_pJetAccess;
  short m_nMode;
};
