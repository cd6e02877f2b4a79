#pragma once
// Prepares the data-access library; call once before anything else of it.
// TRUE on success.

#include "WinTypes.h"

BOOL InitJetAccessDLL();
