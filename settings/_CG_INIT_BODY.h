#pragma once
// G_INIT_BODY line <-> _SG_INIT_BODY record.

#include "SettingsRecords.h"
#include "_CTextAccessor.h"

inline constexpr long G_INIT_BODY_FORMAT_COUNT = 7;
extern const char G_INIT_BODY_NAME[];
extern const _STAFormat G_INIT_BODY_FORMAT[G_INIT_BODY_FORMAT_COUNT];

class _CG_INIT_BODY : public _CTextAccessor {
 public:
  // The record is left uninitialised: clear it before a read, fill it before a write.
  _CG_INIT_BODY();
  ~_CG_INIT_BODY() override;

  _SG_INIT_BODY m_rec;
};
