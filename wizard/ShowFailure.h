#pragma once
// The one place where what failed below the user interface is shown to the
// user: each message of the failure in a box of its own, with the program's
// caption, the warning icon and an OK button.

#include "CFailure.h"
#include "WinTypes.h"

inline constexpr const char* FINGAI_CAPTION = "内訳概況書のミラベル（概況書）";

// Shows nothing for a failure without messages.
void ShowFailure(HWND hOwner, const CFailure& failure);
