#pragma once
// The font of a dialog and its dialog units. A template names a Windows face
// ("ＭＳ ゴシック" 9 points); it is mapped to an installed Japanese gothic
// face of the same pixel size a 96-dpi Windows desktop gives it. Dialog
// units follow from that font as Windows derives them: the horizontal base
// unit is the average width of the Latin letters, rounded, the vertical one
// the font's height; x is base/4 pixels, y base/8. A dialog too large for
// its screen is laid out again with its font shrunk to a percentage of that
// size, so every control keeps its place relative to the others.

#include <QFont>
#include <QRect>

#include "DialogTemplate.h"

class CQtDialogMetrics {
 public:
  // The font of the template; a null template gets the default dialog font.
  explicit CQtDialogMetrics(const DialogTemplate* pTemplate, int nPercent = 100);
  CQtDialogMetrics(const QString& strFace, int nPointSize);

  const QFont& Font() const { return m_font; }
  int BaseX() const { return m_nBaseX; }
  int BaseY() const { return m_nBaseY; }

  int ToPixelX(int nDlu) const;
  int ToPixelY(int nDlu) const;
  // A dialog-unit rectangle (left, top, right, bottom) in pixels.
  QRect ToPixels(const RECT& rcDlu) const;

  // The installed face that stands in for a Windows face name.
  static QString MapFace(const QString& strFace);
  // The application's font for texts outside the templates (message boxes,
  // the save dialog, the progress window).
  static QFont DefaultFont();

 private:
  void Measure();

  QFont m_font;
  int m_nBaseX = 6;
  int m_nBaseY = 12;
};
