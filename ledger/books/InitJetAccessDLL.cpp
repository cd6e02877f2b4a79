#include "InitJetAccessDLL.h"

#include <sqlite3.h>

BOOL InitJetAccessDLL() { return sqlite3_initialize() == SQLITE_OK ? TRUE : FALSE; }
