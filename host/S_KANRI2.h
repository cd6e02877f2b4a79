#pragma once
// Second management record of the chosen books; carries the data ID.

#include <cstddef>

#pragma pack(push, 1)
struct S_KANRI2 {
  char reserved0[785];
  char szDataID[41];  // データID, CP932, NUL-terminated
  char reserved1[2076];
};
#pragma pack(pop)

static_assert(sizeof(S_KANRI2) == 2902);
static_assert(offsetof(S_KANRI2, szDataID) == 785);
