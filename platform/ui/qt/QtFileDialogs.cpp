#include "QtFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

#include "QtText.h"
#include "UserFolder.h"

namespace {

// Room left around the dialog for the window manager's frame.
constexpr int kFrameRoom = 48;

}  // namespace

QString QtSaveFolderFor(const QString& strPath) {
  const QFileInfo info(strPath);
  if (info.isAbsolute() && info.dir().exists()) {
    return strPath.endsWith(QLatin1Char('/')) ? strPath : info.absolutePath();
  }
  CString strDocuments;
  if (platform::GetDocumentsFolder(strDocuments)) {
    const QString strFolder = QtFromCp932(strDocuments);
    if (QFileInfo(strFolder).isDir()) return strFolder;
  }
  return QDir::homePath();
}

void QtFitFileDialog(QFileDialog& dlg) {
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setViewMode(QFileDialog::Detail);
  if (auto* pTree = dlg.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    pTree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  }
  QSize size = dlg.sizeHint().expandedTo(QSize(720, 440));
  if (const QScreen* pScreen = dlg.screen()) {
    size = size.boundedTo(pScreen->availableGeometry().size() - QSize(kFrameRoom, kFrameRoom));
  }
  dlg.resize(size);
}
