#pragma once
// G_CONDITION line <-> _SG_CONDITION record.

#include "SettingsRecords.h"
#include "_CTextAccessor.h"

inline constexpr long G_CONDITION_FORMAT_COUNT = 6;
extern const char G_CONDITION_NAME[];
extern const _STAFormat G_CONDITION_FORMAT[G_CONDITION_FORMAT_COUNT];

class _CG_CONDITION : public _CTextAccessor {
 public:
  // The record is left uninitialised: clear it before a read, fill it before a write.
  _CG_CONDITION();
  ~_CG_CONDITION() override;

  _SG_CONDITION m_rec;
};
