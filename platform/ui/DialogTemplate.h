#pragma once
// Dialog templates and string resources as plain data. A template lists its
// controls with id, kind, text, style and position in dialog units, as a
// resource script would; the window objects build their controls from it and
// the backends lay them out. The program's own templates live in the
// resources library, which registers them here at start-up; the host's
// dialogs register theirs the same way.

#include <cstddef>
#include <span>

#include "UiDefs.h"

// The kinds of window the framework knows. Controls come from templates;
// the others are created by the framework itself.
enum class ControlKind {
  Static,
  Edit,
  PushButton,
  CheckBox,
  GroupBox,
  ComboBox,
  ListView,
  ToolTip,
  Window,
  Dialog,
  Page,
  Sheet,
  Progress,
};

// Lower-case name of a kind as the headless transcript writes it.
const char* ControlKindName(ControlKind kind);

inline constexpr int IDC_STATIC = -1;

struct DialogItem {
  int nID;
  ControlKind kind;
  const char* pszText;  // CP932
  DWORD dwStyle;        // WS_*, ES_*, SS_*, BS_*, CBS_*, LVS_* bits
  short x, y, cx, cy;   // dialog units
  // A label's access key leads to the control it names. Without this, to
  // the next tab stop after the label, which is right only where the label
  // stands before its field in the template; a label placed after its field
  // names the field here.
  int nBuddy = 0;
};

struct DialogTemplate {
  UINT nID;
  const char* pszUiName;  // name in scripts and transcripts ("map"); null for pages
  const char* pszTitle;   // caption (CP932)
  const char* pszFont;    // face name (CP932)
  short nPointSize;
  short cx, cy;  // dialog units
  DWORD dwStyle;
  std::span<const DialogItem> items;
};

struct StringResource {
  UINT nID;
  const char* pszText;  // CP932
};

// Adds templates and strings to the process-wide tables; a later entry with
// an id already present replaces the earlier one. The tables only point at
// the data, which must outlive every dialog.
void RegisterDialogTemplates(std::span<const DialogTemplate> templates);
void RegisterStringResources(std::span<const StringResource> strings);

// Null when no template with that id is registered.
const DialogTemplate* FindDialogTemplate(UINT nID);

// The instance handle of the program; resources are looked up process-wide.
HANDLE AfxGetInstanceHandle();
// Copies string nID into buffer (at most nBufferMax - 1 bytes, never half a
// double-byte character) and returns the bytes copied; 0 when unknown.
int LoadStringA(HANDLE hInstance, UINT nID, LPSTR pszBuffer, int nBufferMax);
// FALSE (and rString empty) when string nID is unknown.
BOOL AfxLoadString(UINT nID, CString& rString);
