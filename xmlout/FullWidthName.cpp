#include "FullWidthName.h"

#include <string>

#include "Cp932.h"
#include "WinLocale.h"

namespace {

constexpr int kMappedSize = 82;
constexpr std::size_t kNameBytes = 32;

// Maps text (no NUL inside) into out; false when the mapping fails.
bool MapFullWidth(const CString& strText, int nCapacity, CString& strOut) {
  std::string buffer(static_cast<std::size_t>(nCapacity), '\0');
  const int nWritten = LCMapStringA(GetSystemDefaultLCID(), LCMAP_FULLWIDTH, strText.c_str(), -1,
                                    buffer.data(), nCapacity);
  if (nWritten <= 0) return false;
  strOut.assign(buffer.c_str());
  return true;
}

}  // namespace

CString FullWidthName(std::string_view strName) {
  const CString strSource(strName.substr(0, strName.find('\0')));
  CString strMapped;
  if (!MapFullWidth(strSource, kMappedSize, strMapped)) {
    // Too long for the usual text: map it whole with room to spare (a
    // character at most doubles), else the longest beginning that maps.
    const int nRoom = static_cast<int>(strSource.size() * 2 + 2);
    if (!MapFullWidth(strSource, nRoom, strMapped)) {
      strMapped.clear();
      for (std::size_t nLen = cp932::CutLength(strSource, strSource.size()); nLen > 0;) {
        const CString strPart = strSource.substr(0, nLen);
        if (MapFullWidth(strPart, nRoom, strMapped)) break;
        strMapped.clear();
        nLen = cp932::CutLength(strSource, nLen - 1);
      }
    }
  }
  return strMapped.substr(0, cp932::CutLength(strMapped, kNameBytes));
}
