#include "ReportQtEntry.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "CQtDialogMetrics.h"
#include "CReportDocument.h"
#include "CReportWindow.h"

namespace {

// The running application, or one made for this call.
std::unique_ptr<QApplication> StartQt(int& argc, char** argv, bool bNeedsDisplay) {
  if (QApplication::instance()) return nullptr;
  const bool bDisplay =
      std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
  if (!bNeedsDisplay) {
    // The PDF is drawn without a screen, and says nothing but its errors.
    if (!bDisplay) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& strText) {
      if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", strText.toLocal8Bit().constData());
      }
    });
  }
  auto pApp = std::make_unique<QApplication>(argc, argv);
  auto* pTranslator = new QTranslator(pApp.get());
  if (pTranslator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(pTranslator);
  }
  QApplication::setFont(CQtDialogMetrics::DefaultFont());
  return pApp;
}

}  // namespace

int ShowReportWindow(const CReportModel& model, int argc, char** argv) {
  const auto pApp = StartQt(argc, argv, true);
  if (!QApplication::instance()) return 2;
  CReportWindow window(model);
  window.exec();
  return 0;
}

bool WriteReportPdf(const CReportModel& model, const std::string& strPath, std::string& strError,
                    int argc, char** argv) {
  const auto pApp = StartQt(argc, argv, false);
  QString strWhy;
  if (CReportDocument::WritePdf(model, QString::fromStdString(strPath), strWhy)) return true;
  strError = strWhy.toStdString();
  return false;
}
