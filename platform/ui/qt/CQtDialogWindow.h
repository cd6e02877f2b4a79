#pragma once
// The top-level window of a modal dialog. Closing it from the title bar is
// the user's cancel, which the program decides on (as WM_CLOSE becomes
// IDCANCEL on Windows); the window never closes itself.

#include <QWidget>
#include <functional>

class CQtDialogWindow : public QWidget {
 public:
  CQtDialogWindow(QWidget* pOwner, std::function<void()> onClose);

 protected:
  void closeEvent(QCloseEvent* pEvent) override;

 private:
  std::function<void()> m_onClose;
};
