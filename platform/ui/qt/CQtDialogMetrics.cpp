#include "CQtDialogMetrics.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

#include "QtText.h"

namespace {

// Windows' dialog font sizes are points at 96 dpi.
int PointsToPixels(int nPointSize) { return (nPointSize * 96 + 36) / 72; }

int MulDiv(int nValue, int nNumerator, int nDenominator) {
  const long long nProduct = static_cast<long long>(nValue) * nNumerator;
  const long long nHalf = nDenominator / 2;
  return static_cast<int>(nProduct >= 0 ? (nProduct + nHalf) / nDenominator
                                        : (nProduct - nHalf) / nDenominator);
}

bool IsGothicFace(const QString& strFace) {
  const QString strLower = strFace.toLower();
  return strFace.contains(QString::fromUtf8("ゴシック")) || strLower.contains("gothic") ||
         strFace.isEmpty() || strLower == "ms shell dlg" || strLower == "ms shell dlg 2";
}

}  // namespace

CQtDialogMetrics::CQtDialogMetrics(const DialogTemplate* pTemplate, int nPercent) {
  const QString strFace =
      pTemplate && pTemplate->pszFont ? QtFromCp932(pTemplate->pszFont) : QString();
  const int nPoints = pTemplate && pTemplate->nPointSize > 0 ? pTemplate->nPointSize : 9;
  m_font = QFont(MapFace(strFace));
  m_font.setPixelSize(std::max(1, MulDiv(PointsToPixels(nPoints), nPercent, 100)));
  m_font.setStyleHint(QFont::TypeWriter);
  Measure();
}

CQtDialogMetrics::CQtDialogMetrics(const QString& strFace, int nPointSize) {
  m_font = QFont(MapFace(strFace));
  m_font.setPixelSize(PointsToPixels(nPointSize));
  Measure();
}

void CQtDialogMetrics::Measure() {
  const QFontMetrics metrics(m_font);
  const int nLetters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  m_nBaseX = std::max(1, (nLetters / 26 + 1) / 2);
  m_nBaseY = std::max(1, metrics.height());
}

int CQtDialogMetrics::ToPixelX(int nDlu) const { return MulDiv(nDlu, m_nBaseX, 4); }

int CQtDialogMetrics::ToPixelY(int nDlu) const { return MulDiv(nDlu, m_nBaseY, 8); }

QRect CQtDialogMetrics::ToPixels(const RECT& rcDlu) const {
  const int nLeft = ToPixelX(rcDlu.left);
  const int nTop = ToPixelY(rcDlu.top);
  return QRect(nLeft, nTop, ToPixelX(rcDlu.right) - nLeft, ToPixelY(rcDlu.bottom) - nTop);
}

QString CQtDialogMetrics::MapFace(const QString& strFace) {
  const QStringList families = QFontDatabase::families();
  if (!strFace.isEmpty() && families.contains(strFace) && !IsGothicFace(strFace)) return strFace;
  // Fixed-pitch gothic faces first: the templates were laid out for one.
  static const char* const kGothic[] = {
      "IPAGothic",        "IPAexGothic",        "TakaoGothic", "VL Gothic", "Noto Sans Mono CJK JP",
      "Noto Sans CJK JP", "Source Han Sans JP", "IPAPGothic"};
  for (const char* pszFace : kGothic) {
    if (families.contains(QString::fromLatin1(pszFace))) return QString::fromLatin1(pszFace);
  }
  return strFace.isEmpty() ? QFont().family() : strFace;
}

QFont CQtDialogMetrics::DefaultFont() {
  QFont font(MapFace(QString()));
  font.setPixelSize(PointsToPixels(9));
  return font;
}
