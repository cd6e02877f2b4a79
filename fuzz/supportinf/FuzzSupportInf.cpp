// Reads the product name and version from the input as SUPPORT.INF. A value
// ends at its line's end: it holds no CR LF and no end-of-file mark.

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "CFinGaiXML.h"
#include "CHostObjects.h"
#include "FuzzFolder.h"

// The program defines the host objects the writer uses; reading the support
// information needs none.
CJetAccess* g_pJetAccess = nullptr;
CKaikei* g_pKaikei = nullptr;

namespace {

FuzzFolder& Folder() {
  static FuzzFolder folder("supportinf");
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzFolder::SilenceMessages();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
  Folder().Put("SUPPORT.INF", std::string_view(reinterpret_cast<const char*>(pData), nSize));
  // The reader opens SUPPORT.INF in the current folder; the fuzzer's own
  // paths are relative to the folder it was started in.
  static const int nStartFolder = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (nStartFolder < 0 || chdir(Folder().Path().c_str()) != 0) std::abort();
  CFinGaiXML xml(nullptr);
  for (short nSelect = 0; nSelect <= 2; ++nSelect) {
    const std::string_view value = xml.GetSupportInfo(nSelect);
    if (value.find("\r\n") != std::string_view::npos ||
        value.find('\x1A') != std::string_view::npos) {
      std::fprintf(stderr, "a value runs past its line\n");
      std::abort();
    }
  }
  if (fchdir(nStartFolder) != 0) std::abort();
  return 0;
}
