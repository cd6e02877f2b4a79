// Runs a first load of a data set's settings on the input as the common
// initial-data file: the environment file is made from its default match
// list, then loaded with the item definitions. A failed make leaves no
// environment file.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "CSetGaiFile.h"
#include "FuzzFolder.h"

namespace {

FuzzFolder& Folder() {
  static FuzzFolder folder("initdata");
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzFolder::SilenceMessages();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
  Folder().Put(CSetGaiFile::InitFileName(FALSE),
               std::string_view(reinterpret_cast<const char*>(pData), nSize));
  Folder().Remove(CSetGaiFile::EnvFileName(FALSE));

  CSetGaiFile files(nullptr, FALSE);
  std::memcpy(files.m_szDataId, "ID0001", sizeof "ID0001");
  files.m_strInitFolder = Folder().Prefix();
  const CString strEnv = Folder().Prefix() + CSetGaiFile::EnvFileName(FALSE);
  _SG_CONDITION cond{};
  std::memcpy(cond.szDataId, files.m_szDataId, sizeof cond.szDataId);
  if (!files.MakeInit(strEnv, cond)) {
    if (std::filesystem::exists(Folder().Path() / CSetGaiFile::EnvFileName(FALSE))) {
      std::fprintf(stderr, "a failed make left an environment file\n");
      std::abort();
    }
    return 0;
  }

  CArray<_SG_MATCH, _SG_MATCH> arMatch;
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> arInitBody;
  files.MakeRefData(strEnv, cond, arMatch, arInitBody);
  return 0;
}
