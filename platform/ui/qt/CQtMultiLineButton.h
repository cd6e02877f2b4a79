#pragma once
// A push button whose caption wraps to its width (BS_MULTILINE), breaking
// between Japanese characters as Windows does. The caption is a label
// inside the button that lets the mouse through to it.

#include <QLabel>

#include "CQtPushButton.h"

class CQtMultiLineButton : public CQtPushButton {
 public:
  explicit CQtMultiLineButton(QWidget* pParent);

  void SetCaption(const QString& strCaption);
  QString Caption() const { return m_strCaption; }

 protected:
  void resizeEvent(QResizeEvent* pEvent) override;

 private:
  QLabel* m_pLabel;
  QString m_strCaption;
};
