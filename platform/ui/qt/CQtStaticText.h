#pragma once
// A static text control. Its text wraps to the control's width (between any
// two Japanese characters); a text longer than the control shows the whole
// lines that fit, the last one cut short with "…", never a line cut through
// by the control's bottom edge. A label whose access key leads somewhere is
// drawn by QLabel, which underlines the key: such labels are short.

#include <QLabel>
#include <QStringList>

class CQtStaticText : public QLabel {
 public:
  explicit CQtStaticText(QWidget* pParent);

  // The lines shown for strText in a box of that size: as many whole lines
  // as fit (at least one), the last ending in "…" when text is left over.
  // Without bWrap the text is one line.
  static QStringList FitLines(const QString& strText, const QFont& font, const QSize& size,
                              bool bWrap);

 protected:
  void paintEvent(QPaintEvent* pEvent) override;
};
