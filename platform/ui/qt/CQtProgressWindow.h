#pragma once
// The progress window: a title, one message line and a bar from 0 to 100.
// The caller works without returning to an event loop, so every change is
// painted before the call returns.

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

class CQtProgressWindow : public QWidget {
 public:
  explicit CQtProgressWindow(QWidget* pOwner);

  void SetTitle(const QString& strTitle);
  void SetMessage(const QString& strText);
  void SetScale(int nPercent);
  QString Message() const { return m_pMessage->text(); }
  int Scale() const { return m_pBar->value(); }

  // Paints what changed now, without handing the user's input to anyone.
  void Flush();

 protected:
  // The user cannot close it; the program does.
  void closeEvent(QCloseEvent* pEvent) override;

 private:
  QLabel* m_pMessage;
  QProgressBar* m_pBar;
};
