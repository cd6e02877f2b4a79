#pragma once
// Management record of the chosen books, exchanged with the data access as
// raw bytes. Texts are CP932 and NUL-terminated.

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct S_KANRI {
  char reserved0[9];
  char szJigyoName[81];  // business name (事業所名)
  char reserved1[88];
  std::int16_t nStartYear;  // first day of the fiscal period
  std::int16_t nStartMonth;
  std::int16_t nStartDay;
  std::int16_t nEndYear;  // last day of the fiscal period
  std::int16_t nEndMonth;
  std::int16_t nEndDay;
  char reserved2[303];
  std::int16_t nKeiei;  // management form (経営形態)
  char reserved3[940];
  char szAltFolder[121];     // folder whose environment file is taken over
  std::uint8_t byJunShisan;  // non-zero: net-assets section (純資産の部)
  char reserved4[28];
};
#pragma pack(pop)

inline constexpr std::int16_t KEIEI_HOUJIN = 1;  // corporation
inline constexpr std::int16_t KEIEI_KOJIN = 2;   // 'individual' (個人)

static_assert(sizeof(S_KANRI) == 1585);
static_assert(offsetof(S_KANRI, szJigyoName) == 9);
static_assert(offsetof(S_KANRI, nStartYear) == 178);
static_assert(offsetof(S_KANRI, nStartMonth) == 180);
static_assert(offsetof(S_KANRI, nStartDay) == 182);
static_assert(offsetof(S_KANRI, nEndYear) == 184);
static_assert(offsetof(S_KANRI, nEndMonth) == 186);
static_assert(offsetof(S_KANRI, nEndDay) == 188);
static_assert(offsetof(S_KANRI, nKeiei) == 493);
static_assert(offsetof(S_KANRI, szAltFolder) == 1435);
static_assert(offsetof(S_KANRI, byJunShisan) == 1556);
