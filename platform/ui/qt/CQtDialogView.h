#pragma once
// The Qt widgets of one modal dialog (or property sheet with its pages).
// The window objects hold the state; the view mirrors it: Sync creates the
// widgets of windows it has not seen yet, drops those of windows that went
// and copies every window's state into its widget. The user's input on a
// widget goes back to the window objects through CUiInput, never straight
// into the widgets' own state.

#include <QPointer>
#include <QTabBar>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "CDialog.h"
#include "CQtDialogMetrics.h"
#include "CQtDialogWindow.h"

class CEdit;
class CListCtrl;
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

class CQtDialogView {
 public:
  // afterInput runs after every piece of the user's input has been handed
  // to the window objects.
  CQtDialogView(CDialog& dlg, QWidget* pOwner, std::function<void()> afterInput);
  ~CQtDialogView();
  CQtDialogView(const CQtDialogView&) = delete;
  CQtDialogView& operator=(const CQtDialogView&) = delete;

  CDialog& Dialog() const { return m_dlg; }
  QWidget* Window() const { return m_pWindow; }
  // The tab row of a sheet (null for a dialog).
  QTabBar* Tabs() const { return m_pTabs; }

  BOOL Contains(const CWnd& wnd) const { return m_dlg.IsAncestorOf(&wnd); }
  // The widget showing pWnd, or null.
  QWidget* FindWidget(const CWnd* pWnd) const;
  // The window shown by pWidget or by the nearest widget above it.
  CWnd* FindWnd(const QWidget* pWidget) const;

  // Lays the dialog out to fit the screen it opens on (its font shrunk
  // when the template is too large), places it inside that screen's
  // available area and shows it.
  void Show();
  void Sync();
  // The program changed wnd.
  void Changed(CWnd& wnd);
  void Destroyed(const CWnd& wnd);
  // Gives the Qt focus to the window the program's focus is on.
  void FocusTo(const CWnd& wnd);
  // As on Windows, the push button with the focus is the one Enter presses
  // and is drawn as the default button meanwhile; else the template's.
  void ShowDefaultButton();
  // Selects in the edit's widget what the window object has selected.
  void ShowSelection(CEdit& edit);
  // Pixel geometry of a window in its parent widget.
  QRect GeometryOf(const CWnd& wnd) const;
  // While an edit shows a character that has no CP932 form, the user's
  // other input is refused: a message names the character and the focus
  // goes back to the edit with its text selected. TRUE when it refused.
  bool RefusesForeignText();

 private:
  struct Entry {
    QPointer<QWidget> pWidget;  // null for windows without one (tooltips)
    ControlKind kind;
    int nID;
  };

  void SyncTree(CWnd& wnd, std::set<const CWnd*>& seen);
  // TRUE when it made the window's widget.
  bool Ensure(CWnd& wnd);
  QWidget* Create(CWnd& wnd, QWidget* pParent);
  // The window a widget shows, looked up when the user's input arrives.
  using WndOf = std::function<CWnd*()>;
  void Wire(CWnd& wnd, QWidget* pWidget);
  void WireEdit(QLineEdit* pEdit, const WndOf& wndOf);
  void WireCombo(QComboBox* pCombo, const WndOf& wndOf);
  void WireList(QTreeWidget* pTree, const WndOf& wndOf);
  void Update(CWnd& wnd);
  void UpdateStatic(const CWnd& wnd, QLabel& label, const QString& strText);
  void UpdateEdit(CWnd& wnd, QLineEdit& edit, const QString& strText);
  void UpdateList(CListCtrl& list, QTreeWidget& tree);
  void UpdateTabs();
  void ApplyToolTips();
  void Drop(const CWnd* pWnd);
  void Layout();
  // Lays every widget out again with the font at nPercent of the
  // template's size.
  void ScaleTo(int nPercent);
  void FitInto(const QRect& rcAvailable);
  void ApplyColumnWidths(const CListCtrl& list, QTreeWidget& tree) const;
  // A resizable dialog's list takes what the window has beyond the
  // template's size; the controls below it move down, those as wide as it
  // grow with it.
  QRect Stretched(const QRect& rc) const;
  // A check box is at least as wide as its text needs, within its container.
  QRect WidenedToText(const CWnd& wnd, const QRect& rc, const CQtDialogMetrics& metrics) const;
  // The room a window manager's title bar and borders take around the window.
  QSize FrameAllowance() const;
  // The window whose dialog units and font govern wnd's position.
  const CWnd* Container(const CWnd& wnd) const;
  const CQtDialogMetrics& MetricsOf(const CWnd& container) const;
  // Where the sheet's pages and buttons start, below the tab row.
  QPoint SheetOrigin() const;
  int TabHeight() const;
  // The control an access key in the static wnd moves the focus to.
  QWidget* BuddyOf(const CWnd& wnd) const;
  void Input(const std::function<void()>& action);

  CDialog& m_dlg;
  BOOL m_bSheet;
  CQtDialogWindow* m_pWindow;
  QTabBar* m_pTabs = nullptr;
  std::function<void()> m_afterInput;
  std::map<const CWnd*, Entry> m_entries;
  std::map<const QWidget*, CWnd*> m_windows;
  mutable std::map<const CWnd*, std::unique_ptr<CQtDialogMetrics>> m_metrics;
  std::vector<QPointer<QWidget>> m_tipped;
  std::vector<const CWnd*> m_tooltips;  // live tooltips found by the last walk
  QWidget* m_pPageFrame = nullptr;
  int m_nUpdating = 0;
  int m_nPercent = 100;
  QPointer<QLineEdit> m_pForeign;  // the edit showing text it cannot take
  bool m_bRefusing = false;
  BOOL m_bResizable;
  // The template size of a resizable dialog in pixels, and its list's place.
  QSize m_baseSize;
  QRect m_rcGrow;
};
