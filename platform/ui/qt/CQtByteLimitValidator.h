#pragma once
// The text limit of an ANSI edit control counts CP932 bytes, and such an
// edit takes no character without a CP932 form: the user's typing is held
// to both here, so what reaches the window object is what Windows would let
// through.

#include <QValidator>

class CQtByteLimitValidator : public QValidator {
 public:
  explicit CQtByteLimitValidator(QObject* pParent) : QValidator(pParent) {}

  // 0: no limit.
  void SetLimit(int nBytes) { m_nLimit = nBytes; }
  int GetLimit() const { return m_nLimit; }

  State validate(QString& strInput, int& nPos) const override;

 private:
  int m_nLimit = 0;
};
