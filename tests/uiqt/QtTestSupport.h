#pragma once
// One Qt backend for the whole test binary, installed as the UI backend,
// and a queue of actions: each window a modal session shows (dialog,
// message box, save dialog) is handed to the next action in turn.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>

#include "CDialog.h"
#include "CQtUiBackend.h"
#include "WinTypes.h"

// CP932 bytes of a UTF-8 text, as the program holds it.
CString Cp(const char* pszUtf8);
inline QString U(const char* pszUtf8) { return QString::fromUtf8(pszUtf8); }

// A key pressed and released on the widget, as the window system delivers it.
void SendKey(QWidget* pWidget, int nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             const QString& strText = QString());
// Types the text one character at a time into the widget.
void TypeKeys(QWidget* pWidget, const QString& strText);
// The widget the keyboard goes to in that window.
QWidget* KeyTarget(QWidget* pWindow);

class QtUiTest : public ::testing::Test {
 protected:
  using Action = std::function<void(QWidget* pWindow, CDialog* pDlg)>;

  void SetUp() override;
  void TearDown() override;

  static CQtUiBackend& Backend();
  // The next window that shows goes to action.
  void OnNextWindow(Action action) { m_actions.push_back(std::move(action)); }

 private:
  std::deque<Action> m_actions;
};
