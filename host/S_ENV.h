#pragma once
// Environment record of the chosen books. The member-selection dialog starts
// from the data set it names.

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct S_ENV {
  std::int32_t nDataNo;  // number of the data set (member) in the management database
  char szDataPath[260];  // its folder, CP932, ending in "/"
  char reserved0[2713];
};
#pragma pack(pop)

static_assert(sizeof(S_ENV) == 2977);
static_assert(offsetof(S_ENV, szDataPath) == 4);
