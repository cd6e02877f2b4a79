#pragma once
// The file names a batch writes its data sets under.

#include <utility>
#include <vector>

#include "WinTypes.h"

struct BatchOutputName {
  CString strDefault;  // the proposed name; empty for a data set not written
  CString strDataId;
};

// Each data set keeps its proposed name unless another data set proposes
// the same: then each of them gets "_DATAID" before the extension, so no file
// overwrites another. A name still taken after that gets "_2", "_3", ... in
// list order. The names depend on the list alone, never on which data set
// was done first. Empty proposals stay empty.
std::vector<CString> AssignOutputNames(const std::vector<BatchOutputName>& arName);
