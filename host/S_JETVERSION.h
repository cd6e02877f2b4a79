#pragma once
// Version record filled by CJetAccessFile::GetVersion.

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct S_JETVERSION {
  std::int16_t nMajor;
  std::int16_t nMinor;
  char cLetter;
};
#pragma pack(pop)

static_assert(sizeof(S_JETVERSION) == 5);
static_assert(offsetof(S_JETVERSION, nMinor) == 2);
static_assert(offsetof(S_JETVERSION, cLetter) == 4);
