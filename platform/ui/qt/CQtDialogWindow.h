#pragma once
// The top-level window of a modal dialog. Closing it from the title bar is
// the user's cancel, which the program decides on (as WM_CLOSE becomes
// IDCANCEL on Windows); the window never closes itself. A resizable one
// tells its view when the user has changed its size.

#include <QWidget>
#include <functional>

class CQtDialogWindow : public QWidget {
 public:
  CQtDialogWindow(QWidget* pOwner, std::function<void()> onClose);

  void SetOnResize(std::function<void()> onResize) { m_onResize = std::move(onResize); }

 protected:
  void closeEvent(QCloseEvent* pEvent) override;
  void resizeEvent(QResizeEvent* pEvent) override;

 private:
  std::function<void()> m_onClose;
  std::function<void()> m_onResize;
};
