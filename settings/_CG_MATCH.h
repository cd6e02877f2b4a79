#pragma once
// G_MATCH line <-> _SG_MATCH record.

#include "SettingsRecords.h"
#include "_CTextAccessor.h"

inline constexpr long G_MATCH_FORMAT_COUNT = 3;
extern const char G_MATCH_NAME[];
extern const _STAFormat G_MATCH_FORMAT[G_MATCH_FORMAT_COUNT];

class _CG_MATCH : public _CTextAccessor {
 public:
  // The record is left uninitialised: clear it before a read, fill it before a write.
  _CG_MATCH();
  ~_CG_MATCH() override;

  _SG_MATCH m_rec;
};
