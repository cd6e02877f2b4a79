#pragma once
// A list-view control in report style.
//
// Bringing a row into view scrolls up or down only: a click on a row of a
// list narrower than its columns leaves the horizontal scroll where the user
// put it, as a list-view does, instead of sliding the clicked column into
// view. The selected rows are drawn in the highlight colour while the list
// has the focus and in grey otherwise, so the focus shows on the list too.
// The last column ends at the list's edge, so a text too long for it is cut
// with an ellipsis, and shows whole in a tooltip.

#include <QTreeWidget>

class CQtListView : public QTreeWidget {
 public:
  explicit CQtListView(QWidget* pParent);

  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  // Gives the last column what the others leave of the list's width.
  void FitLastColumn();

 protected:
  void focusInEvent(QFocusEvent* pEvent) override;
  void focusOutEvent(QFocusEvent* pEvent) override;
  bool viewportEvent(QEvent* pEvent) override;

 private:
  void ShowFocused(bool bFocused);
  // Whether the cell's text is wider than the room its column gives it.
  bool IsCut(const QModelIndex& index) const;
};
