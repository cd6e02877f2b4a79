#include "CQtByteLimitValidator.h"

#include "QtText.h"

QValidator::State CQtByteLimitValidator::validate(QString& strInput, int&) const {
  // Folding keeps the length in characters, so the cursor stays put.
  if (m_bDigits) strInput = FoldDigits(strInput);
  if (m_nLimit > 0 && QtCp932LengthOrEstimate(strInput) > m_nLimit) return Invalid;
  return Acceptable;
}

QString CQtByteLimitValidator::FoldDigits(const QString& strText) {
  QString strOut = strText;
  for (QChar& c : strOut) {
    if (c >= QChar(0xFF10) && c <= QChar(0xFF19)) {
      c = QChar(u'0' + (c.unicode() - 0xFF10));
    } else if (c == QChar(0xFF0D) || c == QChar(0x2212)) {
      c = QLatin1Char('-');
    }
  }
  return strOut;
}
