#include "DefaultOutputName.h"

#include "CXMLEdit.h"

namespace {
const char* const kFormName = "内訳概況書(概況書用)";
}

CString DefaultOutputName(const S_KANRI& kanri) {
  char szName[CXMLEdit::MAX_INIT_FNAME] = {};
  CXMLEdit().MakeInitFName(kFormName, kanri.szJigyoName, kanri.nStartYear, szName);
  return szName;
}
