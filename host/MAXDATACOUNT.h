#pragma once
// Record-count limits handed to CJetAccess::MasterInit.

#include <cstdint>

inline constexpr int MAXDATACOUNT_ENTRIES = 92;
// Entry holding the most account titles a data set may have.
inline constexpr int MAXDATACOUNT_KAMOKU = 15;
// Entry holding the most journal lines a data set may have.
inline constexpr int MAXDATACOUNT_SIWAKE = 27;

struct MAXDATACOUNT {
  std::int32_t nCount[MAXDATACOUNT_ENTRIES];
};

static_assert(sizeof(MAXDATACOUNT) == 368);
