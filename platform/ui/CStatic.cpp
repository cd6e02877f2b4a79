#include "CStatic.h"

void CStatic::TakeStateFrom(CWnd& other) {
  if (auto* pStatic = dynamic_cast<CStatic*>(&other)) m_nBuddyID = pStatic->m_nBuddyID;
}
