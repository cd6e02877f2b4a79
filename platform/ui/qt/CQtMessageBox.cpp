#include "CQtMessageBox.h"

#include <QCloseEvent>
#include <QKeyEvent>

CQtMessageBox::CQtMessageBox(QWidget* pOwner, bool bClosable)
    : QMessageBox(pOwner), m_bClosable(bClosable) {
  // Only a close button in the title bar, and none where closing would
  // answer nothing.
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (m_bClosable) flags |= Qt::WindowCloseButtonHint;
  setWindowFlags(flags);
}

void CQtMessageBox::Warn(QWidget* pOwner, const QString& strCaption, const QString& strText) {
  CQtMessageBox box(pOwner, true);
  box.setWindowTitle(strCaption);
  box.setIcon(QMessageBox::Warning);
  box.setText(strText);
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

int CQtMessageBox::CaptionWidth(const QString& strCaption, const QFont& font) {
  // Title bars set their text in bold, often larger than the window's; the
  // window's icon and buttons sit beside it, about a line height each.
  QFont bold(font);
  bold.setBold(true);
  const QFontMetrics metrics(bold);
  return metrics.horizontalAdvance(strCaption) * 5 / 4 + 8 * metrics.height();
}

bool CQtMessageBox::event(QEvent* pEvent) {
  const bool bResult = QMessageBox::event(pEvent);
  // QMessageBox fixes its size as it shows and at each new layout: widen
  // it after that. As it shows it has been placed already, so it grows
  // about the same centre.
  const QEvent::Type type = pEvent->type();
  if (type == QEvent::Show || type == QEvent::LayoutRequest) {
    const int nWidth = CaptionWidth(windowTitle(), font());
    if (width() < nWidth) {
      if (type == QEvent::Show) move(x() - (nWidth - width()) / 2, y());
      setFixedWidth(nWidth);
    }
  }
  return bResult;
}

void CQtMessageBox::closeEvent(QCloseEvent* pEvent) {
  if (m_bClosable) {
    QMessageBox::closeEvent(pEvent);
  } else {
    pEvent->ignore();
  }
}

void CQtMessageBox::keyPressEvent(QKeyEvent* pEvent) {
  if (!m_bClosable && pEvent->key() == Qt::Key_Escape && pEvent->modifiers() == Qt::NoModifier) {
    pEvent->accept();
    return;
  }
  QMessageBox::keyPressEvent(pEvent);
}
