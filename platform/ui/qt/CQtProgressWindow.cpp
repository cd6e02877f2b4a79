#include "CQtProgressWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QVBoxLayout>

#include "CQtDialogMetrics.h"

CQtProgressWindow::CQtProgressWindow(QWidget* pOwner)
    : QWidget(pOwner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_pMessage(new QLabel(this)),
      m_pBar(new QProgressBar(this)) {
  setFont(CQtDialogMetrics::DefaultFont());
  m_pMessage->setTextFormat(Qt::PlainText);
  m_pMessage->setMinimumWidth(300);
  m_pBar->setRange(0, 100);
  m_pBar->setValue(0);
  m_pBar->setTextVisible(false);
  auto* pLayout = new QVBoxLayout(this);
  pLayout->setContentsMargins(16, 14, 16, 14);
  pLayout->setSpacing(10);
  pLayout->addWidget(m_pMessage);
  pLayout->addWidget(m_pBar);
}

void CQtProgressWindow::SetTitle(const QString& strTitle) {
  setWindowTitle(strTitle);
  Flush();
}

void CQtProgressWindow::SetMessage(const QString& strText) {
  m_pMessage->setText(strText);
  Flush();
}

void CQtProgressWindow::SetScale(int nPercent) {
  m_pBar->setValue(std::clamp(nPercent, 0, 100));
  Flush();
}

void CQtProgressWindow::Flush() {
  if (isVisible()) repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CQtProgressWindow::closeEvent(QCloseEvent* pEvent) { pEvent->ignore(); }
