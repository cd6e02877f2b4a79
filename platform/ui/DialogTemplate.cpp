#include "DialogTemplate.h"

#include <cstring>
#include <map>

#include "Cp932.h"

namespace {

std::map<UINT, const DialogTemplate*>& Templates() {
  static std::map<UINT, const DialogTemplate*> templates;
  return templates;
}

std::map<UINT, const char*>& Strings() {
  static std::map<UINT, const char*> strings;
  return strings;
}

}  // namespace

const char* ControlKindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Static:
      return "static";
    case ControlKind::Edit:
      return "edit";
    case ControlKind::PushButton:
      return "button";
    case ControlKind::CheckBox:
      return "checkbox";
    case ControlKind::GroupBox:
      return "groupbox";
    case ControlKind::ComboBox:
      return "combobox";
    case ControlKind::ListView:
      return "listview";
    case ControlKind::ToolTip:
      return "tooltip";
    case ControlKind::Window:
      return "window";
    case ControlKind::Dialog:
      return "dialog";
    case ControlKind::Page:
      return "page";
    case ControlKind::Sheet:
      return "sheet";
    case ControlKind::Progress:
      return "progress";
  }
  return "window";
}

void RegisterDialogTemplates(std::span<const DialogTemplate> templates) {
  for (const DialogTemplate& t : templates) Templates()[t.nID] = &t;
}

void RegisterStringResources(std::span<const StringResource> strings) {
  for (const StringResource& s : strings) Strings()[s.nID] = s.pszText;
}

const DialogTemplate* FindDialogTemplate(UINT nID) {
  auto it = Templates().find(nID);
  return it == Templates().end() ? nullptr : it->second;
}

HANDLE AfxGetInstanceHandle() { return nullptr; }

int LoadStringA(HANDLE, UINT nID, LPSTR pszBuffer, int nBufferMax) {
  if (!pszBuffer || nBufferMax <= 0) return 0;
  pszBuffer[0] = '\0';
  auto it = Strings().find(nID);
  if (it == Strings().end()) return 0;
  const std::size_t nLen = cp932::CutLength(it->second, static_cast<std::size_t>(nBufferMax - 1));
  std::memcpy(pszBuffer, it->second, nLen);
  pszBuffer[nLen] = '\0';
  return static_cast<int>(nLen);
}

BOOL AfxLoadString(UINT nID, CString& rString) {
  auto it = Strings().find(nID);
  if (it == Strings().end()) {
    rString.clear();
    return FALSE;
  }
  rString = it->second;
  return TRUE;
}
