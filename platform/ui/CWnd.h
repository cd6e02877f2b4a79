#pragma once
// CWnd: a window object. Every window, dialog and control of the program is
// one of these, and its whole state lives here: id, kind, style, position in
// dialog units, text, enabled and visible flags, children, keyboard focus.
// Program code reads and writes that state by control id and receives the
// user's input through the virtual handlers below. A UI backend (Qt or
// headless) only presents the state and feeds input back through CUiInput;
// it learns about changes the program makes through CUiBackend's
// notifications.
//
// Handles: m_hWnd is non-null while the window exists (a dialog while it is
// shown, a control while its dialog is). FromHandle maps it back.
//
// Messages: SendMessage calls WindowProc, which dispatches WM_COMMAND to
// OnCommand (and from there BN_CLICKED to OnClicked, EN_KILLFOCUS to
// OnEditKillFocus), WM_HELP to OnHelpInfo, WM_FKEYNOTIFY (1146) to
// OnFKeyNotify and everything else to OnMessage.
//
// Keys: a key goes first through PreTranslateMessage of the window with the
// focus and of each of its parents up to the dialog on top; when none takes
// it, through the key hooks of the same windows (a library that subclasses a
// window, such as the host's function-key helper, installs one); then the
// innermost dialog handles it as a dialog does: Enter presses the focused
// push button or else the default button (IDOK when there is none), Esc
// sends IDCANCEL, F1 sends WM_HELP.

#include <functional>
#include <memory>
#include <vector>

#include "DialogTemplate.h"
#include "UiDefs.h"

class CDataExchange;

class CWnd {
 public:
  CWnd();
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;

  HWND GetSafeHwnd() const { return m_hWnd; }
  // The window object of hWnd; for a handle that is not one of ours (the
  // host's window given on the command line) a permanent stand-in object
  // with that handle and no children. Null for a null handle.
  static CWnd* FromHandle(HWND hWnd);

  int GetDlgCtrlID() const { return m_nID; }
  ControlKind GetKind() const { return m_kind; }
  DWORD GetStyle() const { return m_dwStyle; }
  void ModifyStyle(DWORD dwRemove, DWORD dwAdd);
  // Position and size in dialog units of the parent (controls), or the size
  // of the dialog (left and top 0).
  const RECT& GetDialogUnitRect() const { return m_rcDlu; }
  // The parent of a child window; the owner of a dialog.
  CWnd* GetParent() const { return m_pParent ? m_pParent : m_pOwner; }
  BOOL IsChild() const { return (m_dwStyle & WS_CHILD) != 0; }

  // First child with that id (in template order), or null.
  CWnd* GetDlgItem(int nID) const;
  const std::vector<CWnd*>& GetChildren() const { return m_arChildren; }

  void SetWindowText(LPCSTR pszText);
  // Copies at most nMaxCount - 1 bytes (never half a double-byte character)
  // and returns the bytes copied.
  int GetWindowText(LPSTR pszBuffer, int nMaxCount) const;
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const;
  const CString& GetText() const { return m_strText; }
  void SetDlgItemText(int nID, LPCSTR pszText);
  UINT GetDlgItemText(int nID, LPSTR pszBuffer, int nMaxCount) const;
  int GetDlgItemText(int nID, CString& rString) const;

  // Returns TRUE when the window was disabled before.
  BOOL EnableWindow(BOOL bEnable = TRUE);
  BOOL IsWindowEnabled() const { return m_bEnabled; }
  // Returns TRUE when the window was visible before.
  BOOL ShowWindow(int nCmdShow);
  // Shown itself and, for a child, every parent shown too.
  BOOL IsWindowVisible() const;
  // Enabled and visible, and for a child every parent too: what a user can
  // reach.
  BOOL IsReachable() const;

  // The program moves the focus here; returns the window that had it.
  CWnd* SetFocus();
  static CWnd* GetFocus();
  // The focus moves here by the user's doing (bByProgram FALSE) or the
  // program's. A focused edit that loses the focus sends EN_KILLFOCUS to its
  // parent first.
  void TakeFocus(BOOL bByProgram);

  void CheckDlgButton(int nID, UINT nCheck);
  UINT IsDlgButtonChecked(int nID) const;

  // Runs DoDataExchange: TRUE copies controls into members, FALSE members
  // into controls.
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  virtual void DoDataExchange(CDataExchange* pDX);

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Makes this object the window of the parent's control nID: it takes over
  // that control's state and place. Used by DDX_Control.
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  BOOL DestroyWindow();
  BOOL SetForegroundWindow();

  virtual BOOL PreTranslateMessage(MSG* pMsg);
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual void OnClicked(UINT nID);
  virtual void OnEditKillFocus(UINT nID);
  // WM_NOTIFY from a control. Return TRUE when handled.
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // F1. Return TRUE when handled.
  virtual BOOL OnHelpInfo(HELPINFO* pHelpInfo);
  // WM_FKEYNOTIFY: wParam is the virtual-key code.
  virtual LRESULT OnFKeyNotify(WPARAM wParam, LPARAM lParam);
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // A key hook sees a key no PreTranslateMessage took; TRUE consumes it.
  using KeyHook = std::function<BOOL(CWnd& wnd, const MSG& msg)>;
  void AddKeyHook(KeyHook hook);
  BOOL RunKeyHooks(const MSG& msg);

  // Framework: builds a child control from a template item (owned by this
  // window) and returns it.
  CWnd* CreateControl(const DialogItem& item);
  void CreateControls(std::span<const DialogItem> items);
  // Framework: destroys the children; member objects attached by
  // SubclassDlgItem or Create are detached, not deleted.
  void DestroyChildren();
  // Framework: makes pChild, an object someone else owns, a child of this
  // window (a page of a sheet, a tooltip of a dialog).
  void AttachChild(CWnd* pChild) { AddChild(pChild, nullptr); }
  // Framework: whether pWnd is this window or lies below it.
  BOOL IsAncestorOf(const CWnd* pWnd) const;

 protected:
  // Framework: makes this object an existing window of the given kind.
  void InitWindow(ControlKind kind, int nID, DWORD dwStyle, const RECT& rcDlu, LPCSTR pszText);
  void AddChild(CWnd* pChild, std::unique_ptr<CWnd> owned);
  void RemoveChild(CWnd* pChild);
  // Copies the kind-specific state of a control being subclassed.
  virtual void TakeStateFrom(CWnd& other);
  // Tells the backend that the program changed this window's state.
  void NotifyChanged();
  // Called before the window goes away (children first).
  virtual void OnDestroyWindow();

  int m_nID = 0;
  ControlKind m_kind = ControlKind::Window;
  DWORD m_dwStyle = 0;
  RECT m_rcDlu{0, 0, 0, 0};
  CString m_strText;
  BOOL m_bEnabled = TRUE;
  BOOL m_bVisible = TRUE;
  CWnd* m_pParent = nullptr;  // child windows only
  CWnd* m_pOwner = nullptr;   // dialogs: the window that owns them

 private:
  void Detach();

  std::vector<CWnd*> m_arChildren;
  std::vector<std::unique_ptr<CWnd>> m_arOwned;
  std::vector<KeyHook> m_arKeyHooks;
};
