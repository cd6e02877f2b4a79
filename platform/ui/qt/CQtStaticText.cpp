#include "CQtStaticText.h"

#include <QPainter>
#include <QStyle>
#include <QTextLayout>

CQtStaticText::CQtStaticText(QWidget* pParent) : QLabel(pParent) { setTextFormat(Qt::PlainText); }

QStringList CQtStaticText::FitLines(const QString& strText, const QFont& font, const QSize& size,
                                    bool bWrap) {
  const QFontMetrics metrics(font);
  QString strFlow = strText;
  strFlow.replace(QLatin1Char('\n'), QChar::LineSeparator);
  QTextLayout layout(strFlow, font);
  QTextOption option;
  option.setWrapMode(bWrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  std::vector<std::pair<int, int>> spans;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(size.width());
    spans.emplace_back(line.textStart(), line.textLength());
  }
  layout.endLayout();

  const int nFit =
      std::max(1, 1 + (size.height() - metrics.height()) / std::max(1, metrics.lineSpacing()));
  QStringList lines;
  const auto lineText = [&strFlow](int nStart, int nLength) {
    QString strLine = strFlow.mid(nStart, nLength);
    while (!strLine.isEmpty() && (strLine.back() == QChar::LineSeparator)) strLine.chop(1);
    return strLine;
  };
  const int nShown = std::min(nFit, static_cast<int>(spans.size()));
  for (int i = 0; i < nShown; ++i) {
    const auto [nStart, nLength] = spans[static_cast<std::size_t>(i)];
    lines.push_back(lineText(nStart, nLength));
  }
  const bool bCut = static_cast<int>(spans.size()) > nFit ||
                    (!spans.empty() && metrics.horizontalAdvance(lines.back()) > size.width());
  if (bCut) {
    // The last line shown takes the rest of the text and ends in "…".
    QString strRest = strFlow.mid(spans[static_cast<std::size_t>(nShown - 1)].first);
    strRest.replace(QChar::LineSeparator, QLatin1Char(' '));
    const QString strEllipsis(QChar(0x2026));
    QString strLast = metrics.elidedText(strRest, Qt::ElideRight, size.width());
    if (!strLast.endsWith(strEllipsis)) {
      // The rest fitted only because its line breaks were dropped.
      while (!strLast.isEmpty() &&
             metrics.horizontalAdvance(strLast + strEllipsis) > size.width()) {
        strLast.chop(1);
      }
      strLast += strEllipsis;
    }
    lines.back() = strLast;
  }
  return lines;
}

void CQtStaticText::paintEvent(QPaintEvent* pEvent) {
  if (buddy()) {
    QLabel::paintEvent(pEvent);
    return;
  }
  QPainter painter(this);
  drawFrame(&painter);
  QRect rc = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
  if (indent() > 0) rc.adjust(indent(), 0, -indent(), 0);
  const QStringList lines = FitLines(text(), font(), rc.size(), wordWrap());
  const QFontMetrics metrics(font());
  const int nHeight =
      metrics.height() + (static_cast<int>(lines.size()) - 1) * metrics.lineSpacing();
  int nTop = rc.top();
  if (alignment() & Qt::AlignVCenter) nTop += (rc.height() - nHeight) / 2;
  const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
  for (const QString& strLine : lines) {
    const QRect rcLine(rc.left(), nTop, rc.width(), metrics.height());
    style()->drawItemText(&painter, rcLine, static_cast<int>(horizontal | Qt::AlignTop), palette(),
                          isEnabled(), strLine, foregroundRole());
    nTop += metrics.lineSpacing();
  }
}
