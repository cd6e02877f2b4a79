#pragma once
// Selection-dialog library. LedgerSel_InitClass hands it the data access
// and the converter once, before the first dialog; a choice made in a
// dialog then becomes the data set that the data access reads.

#include "WinTypes.h"

class CJetAccess;
class CConv;

BOOL LedgerSel_InitClass(CJetAccess* pJetAccess, CConv* pConv);
// What LedgerSel_InitClass was given (null before it).
CJetAccess* LedgerSel_GetJetAccess();
CConv* LedgerSel_GetConv();
