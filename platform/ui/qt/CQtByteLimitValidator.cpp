#include "CQtByteLimitValidator.h"

#include "QtText.h"

QValidator::State CQtByteLimitValidator::validate(QString& strInput, int&) const {
  const int nBytes = QtCp932Length(strInput);
  if (nBytes < 0) return Invalid;
  if (m_nLimit > 0 && nBytes > m_nLimit) return Invalid;
  return Acceptable;
}
