#include "CQtDialogWindow.h"

#include <QCloseEvent>
#include <QResizeEvent>

CQtDialogWindow::CQtDialogWindow(QWidget* pOwner, std::function<void()> onClose)
    : QWidget(pOwner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_onClose(std::move(onClose)) {
  setWindowModality(Qt::ApplicationModal);
}

void CQtDialogWindow::closeEvent(QCloseEvent* pEvent) {
  pEvent->ignore();
  if (m_onClose) m_onClose();
}

void CQtDialogWindow::resizeEvent(QResizeEvent* pEvent) {
  QWidget::resizeEvent(pEvent);
  if (m_onResize) m_onResize();
}
