#pragma once
// The process-wide host objects: the pointers through which the engine, the
// XML writer, the wizard and the report reach the host's libraries, and the
// one object that owns what they point to.
//
// The owner publishes every object it is given in its pointer. When it goes
// (or at Release) it ends the data access if it was opened, then deletes the
// objects in this fixed order, clearing each pointer as its object goes: the
// data access, the converter, the calendar, the accounting calculations, the
// journal companion, the member selection. One owner at a time; a test that
// drives the engine without one sets the pointers itself.

#include <memory>

class CConv;
class CDenModify;
class CJetAccess;
class CKaikei;
class CKumiSen;
class CYmd;

extern CJetAccess* g_pJetAccess;
extern CConv* g_pConv;
extern CYmd* g_pYmd;
extern CKumiSen* g_pKumiSen;
extern CKaikei* g_pKaikei;
extern CDenModify* g_pDenModify;

class CHostObjects {
 public:
  CHostObjects();
  ~CHostObjects();
  CHostObjects(const CHostObjects&) = delete;
  CHostObjects& operator=(const CHostObjects&) = delete;

  // Takes the object made with new and publishes it; false for null (an
  // object that could not be made), and nothing changes.
  bool Hold(CJetAccess* pJetAccess);
  bool Hold(CConv* pConv);
  bool Hold(CYmd* pYmd);
  bool Hold(CKumiSen* pKumiSen);
  bool Hold(CKaikei* pKaikei);
  bool Hold(CDenModify* pDenModify);

  // The data access was opened (CJetAccess::Init): Release ends it first.
  void SetOpen() { m_bOpen = true; }
  bool IsOpen() const { return m_bOpen; }

  // Ends the data access when it was opened and deletes the objects held, in
  // the fixed order. Pointers to objects it does not hold stay as they are.
  void Release();

 private:
  std::unique_ptr<CJetAccess> m_pJetAccess;
  std::unique_ptr<CConv> m_pConv;
  std::unique_ptr<CYmd> m_pYmd;
  std::unique_ptr<CKumiSen> m_pKumiSen;
  std::unique_ptr<CKaikei> m_pKaikei;
  std::unique_ptr<CDenModify> m_pDenModify;
  bool m_bOpen = false;
};
