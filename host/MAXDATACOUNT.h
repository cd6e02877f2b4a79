#pragma once
// Record-count limits handed to CJetAccess::MasterInit, which keeps a copy.

#include <cstdint>

inline constexpr int MAXDATACOUNT_ENTRIES = 92;

struct MAXDATACOUNT {
  std::int32_t nCount[MAXDATACOUNT_ENTRIES];
};

static_assert(sizeof(MAXDATACOUNT) == 368);
