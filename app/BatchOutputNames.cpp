#include "BatchOutputNames.h"

#include <map>
#include <set>

namespace {

CString WithSuffix(const CString& strName, const CString& strSuffix) {
  // "." and "/" are never the second byte of a double-byte character.
  const std::size_t nDot = strName.find_last_of('.');
  if (nDot == CString::npos || nDot == 0) return strName + strSuffix;
  return strName.substr(0, nDot) + strSuffix + strName.substr(nDot);
}

CString FileNamePart(CString strText) {
  for (char& c : strText)
    if (c == '/') c = '_';
  return strText;
}

}  // namespace

std::vector<CString> AssignOutputNames(const std::vector<BatchOutputName>& arName) {
  std::map<CString, int> mapCount;
  for (const auto& name : arName)
    if (!name.strDefault.empty()) ++mapCount[name.strDefault];

  std::vector<CString> arAssigned;
  std::set<CString> setTaken;
  for (const auto& name : arName) {
    if (name.strDefault.empty()) {
      arAssigned.emplace_back();
      continue;
    }
    CString strName = name.strDefault;
    if (mapCount[strName] > 1) strName = WithSuffix(strName, "_" + FileNamePart(name.strDataId));
    const CString strBase = strName;
    for (int n = 2;
         setTaken.count(strName) || (strName != name.strDefault && mapCount.count(strName)); ++n)
      strName = WithSuffix(strBase, "_" + std::to_string(n));
    setTaken.insert(strName);
    arAssigned.push_back(strName);
  }
  return arAssigned;
}
