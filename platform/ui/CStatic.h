#pragma once
// A static text control.

#include "CWnd.h"

class CStatic : public CWnd {
 public:
  // The control the label's access key leads to, when the template names
  // one; 0 when it leads to the next tab stop.
  int GetBuddyID() const { return m_nBuddyID; }
  void SetBuddyID(int nID) { m_nBuddyID = nID; }

 protected:
  void TakeStateFrom(CWnd& other) override;

 private:
  int m_nBuddyID = 0;
};
