#pragma once
// What every save dialog of the program shares: the folder it opens in and
// a size and columns that fit.

#include <QString>

class QFileDialog;

// The folder of strPath when it is a full path whose folder exists, else the
// user's documents folder (else the home folder): never the folder the
// program runs in, which holds the installation's own files.
QString QtSaveFolderFor(const QString& strPath);
// Non-native, no larger than the screen's available area, its file list's
// columns as wide as their contents.
void QtFitFileDialog(QFileDialog& dlg);
