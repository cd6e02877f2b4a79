// A modal dialog much like the component's first one (a prompt, a list of
// five rows, OK and cancel), with nothing else before it: Qt's own start-up
// cost, against which the component's is measured.

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QDialog dialog;
  dialog.setWindowTitle(QString::fromUtf8(u8"データ選択"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("Choose the data set")));
  auto* list = new QListWidget;
  for (int i = 1; i <= 5; ++i) list->addItem(QStringLiteral("data set %1").arg(i));
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  return dialog.exec() == QDialog::Accepted ? 0 : 1;
}
