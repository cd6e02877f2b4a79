#pragma once
// The process-wide host objects the aggregation and the file writer reach the
// books through. The application creates them at start-up and defines them;
// a test that drives the engine without the application defines its own.

class CJetAccess;
class CKaikei;

extern CJetAccess* g_pJetAccess;
extern CKaikei* g_pKaikei;
