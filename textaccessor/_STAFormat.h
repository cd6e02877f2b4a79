#pragma once
// One field of a text record: where its value sits in the binary record and
// how it is written as text.

#include <cstddef>
#include <cstdint>

enum {
  FT_TEXT = 0,
  FT_SIGNED = 1,
  FT_UNSIGNED = 2,
};

#pragma pack(push, 1)
struct _STAFormat {
  char szName[36];         // label only; reading and writing ignore it
  std::int32_t nWidth;     // fixed-width piece length; most text bytes written
  std::int32_t nDecimals;  // digits after the point of an amount, 0 to 4
  std::int32_t nOffset;    // byte offset of the value in the record
  std::int32_t nSize;      // byte size of the value in the record
  std::int32_t nType;      // FT_TEXT, FT_SIGNED or FT_UNSIGNED
  std::int32_t bRequired;  // non-zero: an absent field is an error
};
#pragma pack(pop)

static_assert(sizeof(_STAFormat) == 60);
static_assert(offsetof(_STAFormat, nWidth) == 36);
static_assert(offsetof(_STAFormat, nDecimals) == 40);
static_assert(offsetof(_STAFormat, nOffset) == 44);
static_assert(offsetof(_STAFormat, nSize) == 48);
static_assert(offsetof(_STAFormat, nType) == 52);
static_assert(offsetof(_STAFormat, bRequired) == 56);
