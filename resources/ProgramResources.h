#pragma once
// The program's resources: the dialog templates of the wizard pages (4938,
// 4939, 4941) and of the account mapping dialog (1000), and the string table
// (100 to 103). RegisterProgramResources makes them known to the window
// objects; the UI start-up calls it, tests that build dialogs call it too.

#include <span>

#include "DialogTemplate.h"

inline constexpr UINT IDD_SETGAI_P1 = 4938;
inline constexpr UINT IDD_SETGAI_P2 = 4939;
inline constexpr UINT IDD_SETGAI_P3 = 4941;
inline constexpr UINT IDD_SETGAI_DLG = 1000;

void RegisterProgramResources();
std::span<const DialogTemplate> ProgramDialogTemplates();
std::span<const StringResource> ProgramStrings();
