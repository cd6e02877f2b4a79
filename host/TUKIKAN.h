#pragma once
// One account's monthly amounts. The caller builds a zero-filled table of
// entries ending in one whose account number is 0; CKaikei::TukiKanZanCal
// fills dKingaku (see CKaikei.h for what each element holds).

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct TUKIKAN {
  std::int16_t nKamokuCode;
  std::int32_t nKamokuNo;
  double dKingaku[14];  // 0 carried forward, 1-12 fiscal months, 13 settlement
};
#pragma pack(pop)

static_assert(sizeof(TUKIKAN) == 118);
static_assert(offsetof(TUKIKAN, nKamokuCode) == 0);
static_assert(offsetof(TUKIKAN, nKamokuNo) == 2);
static_assert(offsetof(TUKIKAN, dKingaku) == 6);
