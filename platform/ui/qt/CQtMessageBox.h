#pragma once
// The platform message box. It is at least as wide as its caption needs in
// a title bar with the window manager's icon and buttons, so the caption is
// never cut. A question that wants Yes or No (no Cancel) can only be
// answered by its buttons: Esc and closing the window do nothing.

#include <QMessageBox>

class CQtMessageBox : public QMessageBox {
 public:
  CQtMessageBox(QWidget* pOwner, bool bClosable);

  // A warning with an OK button, shown until the user closes it.
  static void Warn(QWidget* pOwner, const QString& strCaption, const QString& strText);

  // The width the caption needs in a title bar.
  static int CaptionWidth(const QString& strCaption, const QFont& font);

 protected:
  bool event(QEvent* pEvent) override;
  void closeEvent(QCloseEvent* pEvent) override;
  void keyPressEvent(QKeyEvent* pEvent) override;

 private:
  bool m_bClosable;
};
