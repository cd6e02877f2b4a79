#pragma once
// The text limit of an ANSI edit control counts CP932 bytes: the user's
// typing is held to it here, so what reaches the window object is what
// Windows would let through. A field for digits takes full-width digits and
// minus signs as half-width ones before the limit counts them. A character
// with no CP932 form is let into the field (counted as two bytes) so the
// user sees what was typed; the view refuses it before the field is left.

#include <QValidator>

class CQtByteLimitValidator : public QValidator {
 public:
  explicit CQtByteLimitValidator(QObject* pParent) : QValidator(pParent) {}

  // 0: no limit.
  void SetLimit(int nBytes) { m_nLimit = nBytes; }
  int GetLimit() const { return m_nLimit; }
  void SetDigits(bool bDigits) { m_bDigits = bDigits; }

  State validate(QString& strInput, int& nPos) const override;

  // Full-width digits and minus signs half-width.
  static QString FoldDigits(const QString& strText);

 private:
  int m_nLimit = 0;
  bool m_bDigits = false;
};
