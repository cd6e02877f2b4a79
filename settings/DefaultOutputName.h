#pragma once
// The file name proposed for a data set's report file: the form name, the
// business name and the fiscal start year, shaped by the host's file-name
// rule. The settings page proposes it and the batch writes under it, so a
// file found by name is the same whichever way it was made.

#include "S_KANRI.h"
#include "WinTypes.h"

CString DefaultOutputName(const S_KANRI& kanri);
