#pragma once
// The Windows currency layout: a signed 64-bit amount with four implied
// decimals (value x 10000).

#include <cstdint>

#include "WinTypes.h"

union tagCY {
  struct {
    DWORD Lo;
    LONG Hi;
  } s;
  std::int64_t int64;
};
using CY = tagCY;

static_assert(sizeof(tagCY) == 8);
