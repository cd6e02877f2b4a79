#pragma once
// One computed report item: what the aggregation produces and the XML writer
// reads. Lives in memory only, so it keeps its natural layout.

#include <cstdint>

inline constexpr int TAG_DATA_SLOTS = 13;
inline constexpr int TAG_DATA_TAG_SIZE = 51;
// An item class of this value or more is a monthly item, below it a main item.
inline constexpr std::uint8_t TAG_DATA_MONTHLY_KUBUN = 12;

struct tag_DATA {
  std::int32_t nItemNo;
  // Slot 0 is the period's first month; slot 12 the settlement period of a
  // twelve-month span.
  double dAmount[TAG_DATA_SLOTS];
  std::uint8_t nKubun;
  // XML element name; empty means computed but not written.
  char szTag[TAG_DATA_TAG_SIZE];
};
