#pragma once
// Walks through the program's dialogs the way a user would and saves a
// picture of each window as it shows: the data-set selection, the three
// wizard pages, the save dialog, the mapping dialog, a warning and a
// question, and the progress window. The wizard is the program's own
// (CSetGaiSht with its pages) over the books of an installation; only the
// user is played here.

#include <QImage>
#include <QString>
#include <deque>
#include <functional>

class CDialog;
class CQtUiBackend;
class QWidget;

class CScreenTour {
 public:
  CScreenTour(CQtUiBackend& backend, const QString& strOutDir);

  // Runs the tour over the installation's books; the number of pictures
  // that could not be taken or saved, or windows that came unexpectedly.
  int Run();

  // The window as the user sees it: its client area under a title bar
  // (a display without a window manager draws none).
  static QImage Picture(QWidget* pWindow);

 private:
  struct Step {
    QString strExpected;  // "dialog:NAME", "msgbox" or "save"
    std::function<void(QWidget* pWindow, CDialog* pDlg)> act;
  };

  void Expect(const QString& strKind, std::function<void(QWidget*, CDialog*)> act);
  void OnShown(QWidget* pWindow, CDialog* pDlg);
  void Save(QWidget* pWindow, const QString& strName);
  void TourSheet(QWidget* pWindow, CDialog* pDlg);
  int TourProgress();

  CQtUiBackend& m_backend;
  QString m_strOutDir;
  std::deque<Step> m_steps;
  int m_nFailures = 0;
};
