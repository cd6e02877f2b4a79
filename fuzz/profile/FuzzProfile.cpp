// Reads the input as an INI file: lists its sections and each one's keys,
// looks every listed key up, and reads each value again into a buffer too
// small for it. A listed key is found; a cut value is the start of the whole
// value, NUL-terminated, and never ends inside a double-byte character.
// The first input byte sets the small buffer's size.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "Cp932.h"
#include "FuzzFolder.h"
#include "WinProfile.h"

namespace {

constexpr DWORD kBig = 70000;

FuzzFolder& Folder() {
  static FuzzFolder folder("profile");
  return folder;
}

[[noreturn]] void Fail(const char* pszWhat) {
  std::fprintf(stderr, "%s\n", pszWhat);
  std::abort();
}

// Each lookup reads and parses the whole file again, so the keys looked up
// per input are capped: a file of many sections and keys would otherwise
// cost thousands of reads and only make the run slow.
constexpr std::size_t kMaxKeys = 8;

// The first nMax names of a NUL-separated list.
std::vector<std::string> Names(const std::vector<char>& buffer, DWORD nLength, std::size_t nMax) {
  std::vector<std::string> names;
  for (DWORD i = 0; i < nLength && names.size() < nMax;) {
    const std::string name(buffer.data() + i);
    names.push_back(name);
    i += static_cast<DWORD>(name.size()) + 1;
  }
  return names;
}

// True when cutting text after nLength bytes splits no double-byte character.
bool CutsCleanly(std::string_view text, std::size_t nLength) {
  std::size_t i = 0;
  while (i < nLength) i += cp932::CharLength(text, i);
  return i == nLength;
}

void CheckCut(LPCSTR pszSection, LPCSTR pszKey, const std::string& strFull, DWORD nSmall,
              const std::string& strFile) {
  std::vector<char> small(nSmall + 1, '\x7F');
  const DWORD nLength =
      GetPrivateProfileStringA(pszSection, pszKey, "", small.data(), nSmall, strFile.c_str());
  if (small[nSmall] != '\x7F') Fail("the read wrote past its buffer");
  if (nLength >= nSmall || small[nLength] != '\0') Fail("a cut value is not terminated");
  if (strFull.compare(0, nLength, small.data(), nLength) != 0) Fail("a cut value differs");
  if (nLength < strFull.size() && !CutsCleanly(strFull, nLength)) Fail("a cut splits a character");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
  if (nSize < 1) return 0;
  const DWORD nSmall = 1 + pData[0] % 16;
  const std::string_view text(reinterpret_cast<const char*>(pData) + 1, nSize - 1);
  Folder().Put("profile.ini", text);
  const std::string strFile = (Folder().Path() / "profile.ini").string();
  // Names with a NUL in them cannot be asked for.
  const bool bNamesComplete = text.find('\0') == std::string_view::npos;

  std::vector<char> buffer(kBig);
  const DWORD nSections =
      GetPrivateProfileStringA(nullptr, nullptr, "", buffer.data(), kBig, strFile.c_str());
  std::size_t nLeft = kMaxKeys;
  for (const std::string& strSection : Names(buffer, nSections, nLeft)) {
    const DWORD nKeys = GetPrivateProfileStringA(strSection.c_str(), nullptr, "", buffer.data(),
                                                 kBig, strFile.c_str());
    const std::vector<std::string> keys = Names(buffer, nKeys, nLeft);
    nLeft -= keys.size();
    for (const std::string& strKey : keys) {
      const DWORD nLength = GetPrivateProfileStringA(strSection.c_str(), strKey.c_str(), "A",
                                                     buffer.data(), kBig, strFile.c_str());
      const std::string strValue(buffer.data(), nLength);
      if (bNamesComplete) {
        const DWORD nAgain = GetPrivateProfileStringA(strSection.c_str(), strKey.c_str(), "B",
                                                      buffer.data(), kBig, strFile.c_str());
        if (strValue != std::string_view(buffer.data(), nAgain)) Fail("a listed key is not found");
      }
      CheckCut(strSection.c_str(), strKey.c_str(), strValue, nSmall, strFile);
    }
  }
  return 0;
}
