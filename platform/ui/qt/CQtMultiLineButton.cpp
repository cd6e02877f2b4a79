#include "CQtMultiLineButton.h"

#include <QKeySequence>
#include <QResizeEvent>

#include "QtText.h"

CQtMultiLineButton::CQtMultiLineButton(QWidget* pParent)
    : CQtPushButton(pParent), m_pLabel(new QLabel(this)) {
  m_pLabel->setAlignment(Qt::AlignCenter);
  m_pLabel->setWordWrap(true);
  m_pLabel->setTextFormat(Qt::RichText);
  m_pLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
  m_pLabel->setContentsMargins(2, 0, 2, 0);
}

void CQtMultiLineButton::SetCaption(const QString& strCaption) {
  if (m_strCaption == strCaption) return;
  m_strCaption = strCaption;
  m_pLabel->setText(QtMnemonicMarkup(strCaption));
  // The label shows the caption, so the button's own access key is set
  // here, as QPushButton does for its text.
  setShortcut(QKeySequence::mnemonic(strCaption));
  setAccessibleName(strCaption);
}

void CQtMultiLineButton::resizeEvent(QResizeEvent* pEvent) {
  CQtPushButton::resizeEvent(pEvent);
  m_pLabel->setGeometry(rect());
}
