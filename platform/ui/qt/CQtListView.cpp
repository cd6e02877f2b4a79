#include "CQtListView.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

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

void CQtListView::FitLastColumn() {
  const int nLast = columnCount() - 1;
  if (nLast < 1) return;
  int nOthers = 0;
  for (int i = 0; i < nLast; ++i) nOthers += columnWidth(i);
  const int nWidth = std::max(header()->minimumSectionSize(), viewport()->width() - nOthers);
  if (columnWidth(nLast) != nWidth) setColumnWidth(nLast, nWidth);
}

bool CQtListView::viewportEvent(QEvent* pEvent) {
  if (pEvent->type() == QEvent::Resize) {
    const bool bResult = QTreeWidget::viewportEvent(pEvent);
    FitLastColumn();
    return bResult;
  }
  if (pEvent->type() != QEvent::ToolTip) return QTreeWidget::viewportEvent(pEvent);
  auto* pHelp = static_cast<QHelpEvent*>(pEvent);
  const QModelIndex index = indexAt(pHelp->pos());
  if (index.isValid() && IsCut(index)) {
    QToolTip::showText(pHelp->globalPos(), index.data(Qt::DisplayRole).toString(), viewport(),
                       visualRect(index));
  } else {
    QToolTip::hideText();
  }
  return true;
}

bool CQtListView::IsCut(const QModelIndex& index) const {
  const QString strText = index.data(Qt::DisplayRole).toString();
  if (strText.isEmpty()) return false;
  int nRoom =
      visualRect(index).width() - 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
  if (index.data(Qt::CheckStateRole).isValid()) {
    nRoom -= style()->pixelMetric(QStyle::PM_IndicatorWidth) +
             style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
  }
  return fontMetrics().horizontalAdvance(strText) > nRoom;
}
