#pragma once
// Journal-correction companion of CKaikei. The link component only reads,
// so it only ties the two objects together.

class CJetAccess;
class CKaikei;

class CDenModify {
 public:
  CDenModify(CJetAccess* pJetAccess, CKaikei* pKaikei);
  virtual ~CDenModify() = default;

  CJetAccess* GetJetAccess() const { return m_pJetAccess; }
  CKaikei* GetKaikei() const { return m_pKaikei; }

 private:
  CJetAccess* m_pJetAccess;
  CKaikei* m_pKaikei;
};
