#pragma once
// One row of the management database as the selection dialogs list it.

#include <cstdint>

struct LEDGER_DATASET {
  std::int32_t nDataNo;  // data-set number (cooperative edition: member number)
  char szName[81];       // business (member) name, CP932
  char szDataPath[260];  // data-set folder, CP932, ending in "/"
};
