#pragma once
// Per-user folders, redirectable by the XDG variables so that tests and
// parallel installations keep apart. Both results end in "/", so a file name
// can be appended directly. A folder with no CP932 form (a home "José") is
// refused: the call fails and out stays empty, never a mangled name.

#include "WinTypes.h"

namespace platform {

// The desktop's documents folder as xdg-user-dir reports it:
// $XDG_DOCUMENTS_DIR, else the XDG_DOCUMENTS_DIR line of user-dirs.dirs in
// the configuration folder (a Japanese desktop's "$HOME/ドキュメント"), else
// $HOME/Documents. The folder need not exist. A folder with no CP932 form is
// also named on standard error, so the user learns why it is not proposed.
bool GetDocumentsFolder(CString& out);

// $XDG_CONFIG_HOME (else $HOME/.config) followed by "/qt10/": where the
// cooperative edition keeps its per-member settings. The folder need not exist.
bool GetCooperativeSettingsFolder(CString& out);

}  // namespace platform
