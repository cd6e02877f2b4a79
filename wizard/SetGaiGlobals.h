#pragma once
// The process-wide host objects the wizard pages reach the books through;
// the application creates and defines them at start-up (tests define their
// own). g_pJetAccess and g_pKaikei come with the engine's declarations.

#include "CHostObjects.h"

class CConv;

extern CConv* g_pConv;
