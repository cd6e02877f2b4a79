#pragma once
// One account title, read as an array. Texts are CP932 and NUL-terminated.

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct S_KANKAMOKU {
  std::int16_t nKamokuCode;  // key of settings and monthly balances
  char reserved0[23];
  char szKamokuName[17];   // name used in tip texts
  std::int32_t nKamokuNo;  // account number, compared with item candidate lists
  char reserved1[21];
  std::uint8_t byHide;  // 1: not offered for mapping
  char reserved2[4];
  std::uint8_t byTaisyaku;  // side: KAMOKU_KARIKATA or KAMOKU_KASIKATA
  std::uint8_t byClass;     // KAMOKU_CLASS value of the ledger
  char reserved3[31];
  char szDispName[32];  // name shown in the mapping list
};
#pragma pack(pop)

inline constexpr std::uint8_t KAMOKU_KARIKATA = 1;  // debit side (借方)
inline constexpr std::uint8_t KAMOKU_KASIKATA = 2;  // credit side (貸方)

static_assert(sizeof(S_KANKAMOKU) == 137);
static_assert(offsetof(S_KANKAMOKU, szKamokuName) == 25);
static_assert(offsetof(S_KANKAMOKU, nKamokuNo) == 42);
static_assert(offsetof(S_KANKAMOKU, byHide) == 67);
static_assert(offsetof(S_KANKAMOKU, byTaisyaku) == 72);
static_assert(offsetof(S_KANKAMOKU, szDispName) == 105);
