#include "CQtListView.h"

#include <QScrollBar>

CQtListView::CQtListView(QWidget* pParent) : QTreeWidget(pParent) { ShowFocused(false); }

void CQtListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  const int nX = horizontalScrollBar()->value();
  QTreeWidget::scrollTo(index, hint);
  horizontalScrollBar()->setValue(nX);
}

void CQtListView::focusInEvent(QFocusEvent* pEvent) {
  QTreeWidget::focusInEvent(pEvent);
  ShowFocused(true);
}

void CQtListView::focusOutEvent(QFocusEvent* pEvent) {
  QTreeWidget::focusOutEvent(pEvent);
  ShowFocused(false);
}

void CQtListView::ShowFocused(bool bFocused) {
  QPalette colours = parentWidget() ? parentWidget()->palette() : palette();
  if (!bFocused) {
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
      colours.setColor(group, QPalette::Highlight, colours.color(QPalette::Button).darker(112));
      colours.setColor(group, QPalette::HighlightedText, colours.color(QPalette::Text));
    }
  }
  setPalette(colours);
}
