#pragma once
// A push button of a dialog. Once the keyboard has been used in its window
// (Qt::WA_KeyboardFocusChange), the button with the focus shows a dotted
// frame inside its edge, so the button Enter would press is always seen.

#include <QPushButton>

class CQtPushButton : public QPushButton {
 public:
  explicit CQtPushButton(QWidget* pParent);

  bool ShowsFocus() const;

 protected:
  void paintEvent(QPaintEvent* pEvent) override;
};
