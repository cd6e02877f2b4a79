#pragma once
// The Qt backend: real windows for the window objects. Each modal dialog
// gets a view (CQtDialogView) and a nested event loop that runs until the
// program ends the dialog; message boxes, the save-file dialog and the
// progress window are Qt's own widgets with the program's texts.
//
// Keys: Enter, Esc, Tab, F1 to F12 and the access keys (Alt with a letter
// or digit) pressed in a dialog never reach Qt's widgets or shortcuts; they
// go through CUiInput::PressKey, so the program's PreTranslateMessage, key
// hooks and OnOK/OnCancel see them as on Windows.
//
// Focus: once the keyboard has been used, every window shows where the
// focus is (Qt draws focus frames only in windows marked so).

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "CUiBackend.h"

class CQtDialogView;
class CQtEventFilter;
class CQtProgressWindow;
class QApplication;
class QEventLoop;
class QKeyEvent;
class QTranslator;

class CQtUiBackend : public CUiBackend {
 public:
  // Uses the running QApplication, or creates one that it then owns.
  CQtUiBackend(int& argc, char** argv);
  ~CQtUiBackend() override;
  CQtUiBackend(const CQtUiBackend&) = delete;
  CQtUiBackend& operator=(const CQtUiBackend&) = delete;

  INT_PTR RunModal(CDialog& dlg) override;
  int MessageBox(HWND hOwner, const CString& strText, const CString& strCaption,
                 UINT nType) override;
  BOOL GetSaveFileName(SaveFileRequest& request) override;
  void ProgressOpen(CWnd& wnd) override;
  void ProgressTitle(CWnd& wnd, const CString& strTitle) override;
  void ProgressMessage(CWnd& wnd, const CString& strText) override;
  void ProgressScale(CWnd& wnd, int nPercent) override;
  void ProgressClose(CWnd& wnd) override;
  void OnPageActivated(CPropertySheet& sheet, CPropertyPage& page) override;
  void OnFocusChanged(CWnd& wnd, BOOL bByProgram) override;
  void OnWindowChanged(CWnd& wnd) override;
  void OnWindowDestroyed(CWnd& wnd) override;
  void OnForeground(CWnd& wnd) override;
  void OnEditSelection(CEdit& edit) override;

  // Called once each time a window of a modal session is up and its event
  // loop runs: a dialog (pDlg set), a message box or the save-file dialog
  // (pDlg null). Tests and the screenshot tool act from here.
  using ShownHook = std::function<void(QWidget* pWindow, CDialog* pDlg)>;
  void SetShownHook(ShownHook hook) { m_shownHook = std::move(hook); }

  // The widget showing wnd while its dialog is open, or null.
  QWidget* WidgetOf(const CWnd& wnd) const;
  // The window of the dialog on top, or null.
  QWidget* TopWindow() const;
  CQtProgressWindow* ProgressWindowOf(const CWnd& wnd) const;

  // Windows' virtual-key code for a Qt key, 0 for keys the dialogs leave
  // to the widgets.
  static UINT VirtualKeyOf(int nQtKey, Qt::KeyboardModifiers modifiers);

 private:
  bool FilterEvent(QObject* pWatched, QEvent* pEvent);
  bool RouteKey(QWidget* pTarget, const QKeyEvent& event);
  CQtDialogView* ViewOf(const CWnd& wnd) const;
  CQtDialogView* ViewOfWidget(const QWidget* pWidget) const;
  QWidget* OwnerWidget(HWND hOwner) const;
  // After the user's input: show what the program changed and end the
  // loops of the dialogs it ended.
  void AfterInput();
  void AnnounceShown(QWidget* pWindow, CDialog* pDlg);
  // Marks the window to draw its focus, and remembers the keyboard was used.
  void ShowFocusCues(QWidget* pWindow);
  void ShowFocusCuesIfKeyboard(QWidget* pWindow);

  std::unique_ptr<QApplication> m_pApp;
  std::unique_ptr<QTranslator> m_pTranslator;
  CQtEventFilter* m_pFilter = nullptr;
  std::vector<CQtDialogView*> m_views;
  std::map<CQtDialogView*, QEventLoop*> m_loops;
  std::map<const CWnd*, std::unique_ptr<CQtProgressWindow>> m_progress;
  ShownHook m_shownHook;
  bool m_bKeyboardUsed = false;
};
