#pragma once
// The file names a batch writes its data sets under.

#include <map>
#include <set>
#include <vector>

#include "WinTypes.h"

struct BatchOutputName {
  CString strDefault;  // the proposed name; empty for a data set not written
  CString strDataId;
};

// Each data set keeps its proposed name unless that name is in setShared
// (proposed by two data sets of the installation, whether or not both are in
// the run) or a file of that name was written earlier for another data ID
// (mapOwner: file name to data ID): then it gets "_DATAID" before the
// extension. So a name never depends on which data sets a run takes. A name
// still taken after that gets "_2", "_3", ... in list order. Empty proposals
// stay empty.
std::vector<CString> AssignOutputNames(const std::vector<BatchOutputName>& arName,
                                       const std::set<CString>& setShared,
                                       const std::map<CString, CString>& mapOwner);
