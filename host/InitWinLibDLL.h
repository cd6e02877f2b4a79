#pragma once
// Prepares the window-utility library; call once at start-up. TRUE on
// success.

#include "WinTypes.h"

BOOL InitWinLibDLL();
