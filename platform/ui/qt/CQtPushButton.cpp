#include "CQtPushButton.h"

#include <QPainter>

CQtPushButton::CQtPushButton(QWidget* pParent) : QPushButton(pParent) { setAutoDefault(false); }

bool CQtPushButton::ShowsFocus() const {
  return hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void CQtPushButton::paintEvent(QPaintEvent* pEvent) {
  QPushButton::paintEvent(pEvent);
  if (!ShowsFocus()) return;
  QPainter painter(this);
  QPen pen(palette().color(QPalette::ButtonText));
  pen.setStyle(Qt::DotLine);
  painter.setPen(pen);
  painter.drawRect(rect().adjusted(4, 4, -5, -5));
}
