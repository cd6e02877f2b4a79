#pragma once
// The record-count limits the data access is set up with (MasterInit), the
// same for every way the program opens the books.

#include "MAXDATACOUNT.h"

inline constexpr MAXDATACOUNT MAX_DATA_COUNT_FIRST = {{
    1,   1000, 1000, 1000, -2,  -2, -2,  1,   1,   1,   1,   1,       9,  99,  99,     400,
    400, 1000, 1,    999,  999, 99, 999, 999, -2,  99,  600, 4000000, -2, 999, 400,    99,
    1,   -2,   99,   -2,   -2,  1,  1,   -2,  -2,  150, 1,   16,      1,  1,   1,      30,
    30,  30,   30,   30,   30,  30, 100, -2,  200, 30,  1,   1,       50, 49,  1,      999,
    1,   999,  1,    -2,   999, -2, 150, 150, 150, 999, 999, -2,      -2, 1,   999999, -2,
    1,   -2,   -2,   1,    1,   16, 1,   -2,  1,   -2,  1,   -2,
}};

constexpr MAXDATACOUNT MakeMaxDataCountSecond() {
  MAXDATACOUNT table = MAX_DATA_COUNT_FIRST;
  table.nCount[24] = 75;
  for (int i : {33, 35, 36, 39, 40, 79}) table.nCount[i] = 5;
  table.nCount[55] = 3;
  table.nCount[56] = 30;
  return table;
}
inline constexpr MAXDATACOUNT MAX_DATA_COUNT_SECOND = MakeMaxDataCountSecond();

static_assert(MAX_DATA_COUNT_FIRST.nCount[27] == 4000000 &&
              MAX_DATA_COUNT_FIRST.nCount[78] == 999999 && MAX_DATA_COUNT_FIRST.nCount[91] == -2);
