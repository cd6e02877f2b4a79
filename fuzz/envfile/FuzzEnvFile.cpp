// Loads a data set's environment file, and in the cooperative edition the
// member file, from the input, with the item definitions of the shipped
// initial-data file. Settings that load must save and load back unchanged.
// Input: a flags byte (bit 0: cooperative edition), the environment file,
// then after 0x1E the member file.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "CSetGaiFile.h"
#include "FuzzFolder.h"

namespace {

constexpr char kDataId[] = "ID0001";

FuzzFolder& Folder() {
  static FuzzFolder folder("envfile");
  return folder;
}

CSetGaiFile MakeFiles(bool bCooperative) {
  CSetGaiFile files(nullptr, bCooperative);
  std::memcpy(files.m_szDataId, kDataId, sizeof kDataId);
  files.m_strInitFolder = Folder().Prefix();
  if (bCooperative) files.m_strMemberEnv = Folder().Prefix() + "member.env";
  return files;
}

// What a text field holds ends at its NUL; bytes after it are never read.
void ClearAfterText(char* pField, std::size_t nSize) {
  const std::size_t nLength = strnlen(pField, nSize);
  std::memset(pField + nLength, 0, nSize - nLength);
}

bool SameCondition(_SG_CONDITION a, _SG_CONDITION b) {
  for (_SG_CONDITION* p : {&a, &b}) {
    ClearAfterText(p->szDataId, sizeof p->szDataId);
    ClearAfterText(p->szOutPath, sizeof p->szOutPath);
  }
  return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameMatches(const CArray<_SG_MATCH, _SG_MATCH>& a, const CArray<_SG_MATCH, _SG_MATCH>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzFolder::SilenceMessages();
  for (const bool bCooperative : {false, true}) {
    const std::string strName = CSetGaiFile::InitFileName(bCooperative);
    Folder().Put(strName, FuzzFolder::ReadSource("data/" + strName));
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
  if (nSize < 1) return 0;
  const bool bCooperative = (pData[0] & 1) != 0;
  const auto pieces =
      FuzzFolder::Split(std::string_view(reinterpret_cast<const char*>(pData) + 1, nSize - 1), 2);
  const std::string strEnv = Folder().Prefix() + CSetGaiFile::EnvFileName(bCooperative);
  Folder().Put(CSetGaiFile::EnvFileName(bCooperative), pieces[0]);
  if (pieces.size() > 1) {
    Folder().Put("member.env", pieces[1]);
  } else {
    Folder().Remove("member.env");
  }

  const CSetGaiFile files = MakeFiles(bCooperative);
  _SG_CONDITION cond{};
  CArray<_SG_MATCH, _SG_MATCH> arMatch;
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> arInitBody;
  if (!files.LoadSettings(Folder().Prefix(), cond, arMatch, arInitBody)) return 0;
  if (arMatch.empty() || arMatch.back().nGaiNo != 0 || std::strcmp(cond.szDataId, kDataId) != 0) {
    std::fprintf(stderr, "loaded settings lack the sentinel or the data ID\n");
    std::abort();
  }
  // The wizard refuses such a path before it is stored.
  if (!CSetGaiFile::IsStorableText(std::string(cond.szOutPath).c_str())) return 0;

  if (!files.SaveSettings(Folder().Prefix(), "saved.env", cond, FALSE, CString(), arMatch)) {
    std::fprintf(stderr, "settings that loaded cannot be saved\n");
    std::abort();
  }
  _SG_CONDITION condAgain{};
  CArray<_SG_MATCH, _SG_MATCH> arMatchAgain;
  if (!files.MakeRefData(Folder().Prefix() + "saved.env", condAgain, arMatchAgain, arInitBody) ||
      !SameCondition(cond, condAgain) || !SameMatches(arMatch, arMatchAgain)) {
    std::fprintf(stderr, "saved settings do not load back as they were\n");
    std::abort();
  }
  return 0;
}
