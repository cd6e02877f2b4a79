#pragma once
// Data exchange between a dialog's controls and its members, as
// DoDataExchange describes it with the DDX_ functions below.

#include "CWnd.h"

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
      : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

  BOOL m_bSaveAndValidate;  // TRUE: controls into members
  CWnd* m_pDlgWnd;
};

// Text of control nIDC.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Check state of button nIDC (0, 1 or 2).
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Makes rControl the window of control nIDC (once; later calls do nothing).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
