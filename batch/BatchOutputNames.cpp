#include "BatchOutputNames.h"

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

bool OwnedByOther(const std::map<CString, CString>& mapOwner, const CString& strName,
                  const CString& strDataId) {
  const auto it = mapOwner.find(strName);
  return it != mapOwner.end() && it->second != strDataId;
}

}  // namespace

std::vector<CString> AssignOutputNames(const std::vector<BatchOutputName>& arName,
                                       const std::set<CString>& setShared,
                                       const std::map<CString, CString>& mapOwner) {
  std::set<CString> setProposed;
  for (const auto& name : arName)
    if (!name.strDefault.empty()) setProposed.insert(name.strDefault);

  std::vector<CString> arAssigned;
  std::set<CString> setTaken;
  for (const auto& name : arName) {
    if (name.strDefault.empty()) {
      arAssigned.emplace_back();
      continue;
    }
    CString strName = name.strDefault;
    if (setShared.count(strName) || OwnedByOther(mapOwner, strName, name.strDataId))
      strName = WithSuffix(strName, "_" + FileNamePart(name.strDataId));
    const CString strBase = strName;
    for (int n = 2; setTaken.count(strName) ||
                    (strName != name.strDefault && setProposed.count(strName)) ||
                    OwnedByOther(mapOwner, strName, name.strDataId);
         ++n)
      strName = WithSuffix(strBase, "_" + std::to_string(n));
    setTaken.insert(strName);
    arAssigned.push_back(strName);
  }
  return arAssigned;
}
