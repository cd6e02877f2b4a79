#include "CQtListView.h"

#include <QScrollBar>

CQtListView::CQtListView(QWidget* pParent) : QTreeWidget(pParent) {}

void CQtListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  const int nX = horizontalScrollBar()->value();
  QTreeWidget::scrollTo(index, hint);
  horizontalScrollBar()->setValue(nX);
}
