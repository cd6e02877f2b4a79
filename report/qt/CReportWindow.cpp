#include "CReportWindow.h"

#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "CQtDialogMetrics.h"
#include "CQtMessageBox.h"
#include "CReportChart.h"
#include "CReportDocument.h"
#include "QtFileDialogs.h"
#include "ReportQtText.h"

namespace {

constexpr int kTabForm = 0;
constexpr int kTabMonthly = 1;
// The item number a row of the form or the monthly table stands for.
constexpr int kItemRole = Qt::UserRole;
// The account code of an account row under an item.
constexpr int kAccountRole = Qt::UserRole + 1;
// The size the window asks for, within the screen less room for the window
// manager's frame.
constexpr int kWidth = 1000;
constexpr int kHeight = 760;
constexpr int kFrameRoom = 48;
// Rows a table keeps in view however small the window is made.
constexpr int kMinRows = 3;

// A table of rows: Tab leaves it for the next control instead of walking
// its cells, and it keeps a few rows in view.
void AsRowTable(QAbstractItemView* pView) {
  pView->setTabKeyNavigation(false);
  pView->setMinimumHeight(pView->fontMetrics().height() * (kMinRows + 2));
}

QTableWidgetItem* Cell(const QString& strText, Qt::Alignment align) {
  auto* pCell = new QTableWidgetItem(strText);
  pCell->setTextAlignment(align | Qt::AlignVCenter);
  pCell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  return pCell;
}

}  // namespace

CReportWindow::CReportWindow(const CReportModel& model, QWidget* pParent)
    : QDialog(pParent), m_model(model) {
  setFont(CQtDialogMetrics::DefaultFont());
  setWindowTitle(QStringLiteral("事業概況書 集計結果 - ") + reportqt::Text(m_model.m_strJigyoName));

  auto* pLayout = new QVBoxLayout(this);
  auto* pHeader = new QLabel(reportqt::HeaderLines(m_model).join(QLatin1Char('\n')));
  pHeader->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // A long settings path must not make the window wider than the screen.
  pHeader->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  pHeader->setToolTip(pHeader->text());
  pLayout->addWidget(pHeader);

  m_pTabs = new QTabWidget;
  m_pForm = new QTreeWidget;
  m_pTabs->addTab(m_pForm, QStringLiteral("主要科目"));
  auto* pMonthlyPage = new QSplitter(Qt::Vertical);
  m_pMonthly = new QTableWidget;
  pMonthlyPage->addWidget(m_pMonthly);
  auto* pChartView = new QChartView(CReportChart::Create(m_model, font()));
  pChartView->setRenderHint(QPainter::Antialiasing);
  pChartView->setMinimumHeight(120);
  pMonthlyPage->addWidget(pChartView);
  m_pTabs->addTab(pMonthlyPage, QStringLiteral("月別売上等"));

  m_pFindings = new QTreeWidget;
  auto* pSplitter = new QSplitter(Qt::Vertical);
  pSplitter->addWidget(m_pTabs);
  auto* pFindingsBox = new QWidget;
  auto* pFindingsLayout = new QVBoxLayout(pFindingsBox);
  pFindingsLayout->setContentsMargins(0, 0, 0, 0);
  pFindingsLayout->addWidget(new QLabel(QStringLiteral("指摘事項")));
  pFindingsLayout->addWidget(m_pFindings);
  pSplitter->addWidget(pFindingsBox);
  pSplitter->setChildrenCollapsible(false);
  pMonthlyPage->setChildrenCollapsible(false);
  pSplitter->setStretchFactor(0, 3);
  pSplitter->setStretchFactor(1, 1);
  pLayout->addWidget(pSplitter, 1);

  auto* pButtons = new QHBoxLayout;
  pButtons->addStretch();
  m_pPdf = new QPushButton(QStringLiteral("PDF保存(&S)"));
  m_pPrint = new QPushButton(QStringLiteral("印刷(&P)"));
  auto* pClose = new QPushButton(QStringLiteral("閉じる(&C)"));
  for (QPushButton* pButton : {m_pPdf, m_pPrint, pClose}) {
    pButton->setAutoDefault(false);
    pButtons->addWidget(pButton);
  }
  pLayout->addLayout(pButtons);
  connect(m_pPdf, &QPushButton::clicked, this, &CReportWindow::OnPdf);
  connect(m_pPrint, &QPushButton::clicked, this, &CReportWindow::OnPrint);
  connect(pClose, &QPushButton::clicked, this, &QDialog::accept);
  for (QAbstractItemView* pView :
       std::initializer_list<QAbstractItemView*>{m_pForm, m_pMonthly, m_pFindings}) {
    AsRowTable(pView);
  }

  FillForm();
  FillMonthly();
  FillFindings();
  connect(m_pFindings, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* pItem) {
    if (pItem) ShowFinding(m_pFindings->indexOfTopLevelItem(pItem));
  });
  QSize size(kWidth, kHeight);
  if (const QScreen* pScreen = screen()) {
    size = size.boundedTo(pScreen->availableGeometry().size() - QSize(kFrameRoom, kFrameRoom));
  }
  resize(size.expandedTo(minimumSizeHint()));
}

void CReportWindow::FillForm() {
  // Items in thousands of yen, the accounts behind them in yen, each in a
  // column of its own.
  m_pForm->setColumnCount(4);
  m_pForm->setHeaderLabels({QStringLiteral("番号"), QStringLiteral("科目名"),
                            QStringLiteral("金額（千円）"), QStringLiteral("内訳（円）")});
  m_pForm->setRootIsDecorated(true);
  for (const CReportModel::Item& item : m_model.m_arItem) {
    if (item.bMonthly) continue;
    auto* pRow = new QTreeWidgetItem({QString::number(item.nNumber), reportqt::Text(item.strName),
                                      reportqt::Figure(item.dThousands)});
    pRow->setData(0, kItemRole, item.nNumber);
    pRow->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    pRow->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    for (const CReportModel::Account& account : item.arAccount) {
      auto* pChild = new QTreeWidgetItem(
          {QString(),
           QStringLiteral("%1  %2").arg(account.nCode).arg(reportqt::Text(account.strName)),
           QString(), reportqt::Figure(account.dAmount)});
      pChild->setData(0, kAccountRole, account.nCode);
      pChild->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
      for (int c = 1; c < 4; ++c) pChild->setForeground(c, QColor(0x40, 0x40, 0x40));
      pRow->addChild(pChild);
    }
    m_pForm->addTopLevelItem(pRow);
  }
  m_pForm->expandAll();
  m_pForm->header()->setSectionResizeMode(1, QHeaderView::Stretch);
  m_pForm->resizeColumnToContents(0);
  m_pForm->resizeColumnToContents(2);
  m_pForm->resizeColumnToContents(3);
}

void CReportWindow::FillMonthly() {
  QStringList columns = {QStringLiteral("番号"), QStringLiteral("科目名")};
  for (int nMonth : m_model.m_arMonth) columns << reportqt::MonthName(nMonth);
  columns << QStringLiteral("計");
  m_pMonthly->setColumnCount(static_cast<int>(columns.size()));
  m_pMonthly->setHorizontalHeaderLabels(columns);
  m_pMonthly->verticalHeader()->hide();
  m_pMonthly->setSelectionBehavior(QAbstractItemView::SelectItems);
  for (const CReportModel::Item& item : m_model.m_arItem) {
    if (!item.bMonthly) continue;
    const int nRow = m_pMonthly->rowCount();
    m_pMonthly->insertRow(nRow);
    QTableWidgetItem* pNumber = Cell(QString::number(item.nNumber), Qt::AlignRight);
    pNumber->setData(kItemRole, item.nNumber);
    m_pMonthly->setItem(nRow, 0, pNumber);
    QTableWidgetItem* pName = Cell(reportqt::Text(item.strName), Qt::AlignLeft);
    QStringList tip;
    for (const CReportModel::Account& account : item.arAccount) {
      tip << QStringLiteral("%1 %2 %3円")
                 .arg(account.nCode)
                 .arg(reportqt::Text(account.strName), reportqt::Figure(account.dAmount));
    }
    pName->setToolTip(tip.join(QLatin1Char('\n')));
    m_pMonthly->setItem(nRow, 1, pName);
    double dTotal = 0.0;
    for (std::size_t i = 0; i < item.arMonth.size(); ++i) {
      dTotal += item.arMonth[i];
      m_pMonthly->setItem(nRow, static_cast<int>(i) + 2,
                          Cell(reportqt::Figure(item.arMonth[i]), Qt::AlignRight));
    }
    m_pMonthly->setItem(nRow, m_pMonthly->columnCount() - 1,
                        Cell(reportqt::Figure(dTotal), Qt::AlignRight));
  }
  m_pMonthly->resizeColumnsToContents();
}

void CReportWindow::FillFindings() {
  m_pFindings->setColumnCount(5);
  m_pFindings->setHeaderLabels({QStringLiteral("区分"), QStringLiteral("項目"),
                                QStringLiteral("科目"), QStringLiteral("月"),
                                QStringLiteral("内容")});
  m_pFindings->setRootIsDecorated(false);
  for (const CReportModel::Finding& finding : m_model.m_arFinding) {
    auto* pRow = new QTreeWidgetItem(
        {reportqt::Severity(finding.severity), reportqt::ItemLabel(m_model, finding.nItem),
         finding.nAccount ? QString::number(finding.nAccount) : QString(),
         finding.nMonth ? reportqt::MonthName(finding.nMonth) : QString(),
         reportqt::Text(finding.strMessage)});
    pRow->setToolTip(4, pRow->text(4));
    if (finding.severity == CReportModel::Severity::Warning) {
      pRow->setForeground(0, QColor(0xa0, 0x20, 0x20));
    }
    m_pFindings->addTopLevelItem(pRow);
  }
  for (int c = 0; c < 4; ++c) m_pFindings->resizeColumnToContents(c);
}

void CReportWindow::ShowFinding(int nRow) {
  if (nRow < 0 || static_cast<std::size_t>(nRow) >= m_model.m_arFinding.size()) return;
  const CReportModel::Finding& finding = m_model.m_arFinding[static_cast<std::size_t>(nRow)];
  const CReportModel::Item* pItem = m_model.FindItem(finding.nItem);
  if (pItem != nullptr && !pItem->bMonthly) {
    m_pTabs->setCurrentIndex(kTabForm);
    for (int i = 0; i < m_pForm->topLevelItemCount(); ++i) {
      QTreeWidgetItem* pRow = m_pForm->topLevelItem(i);
      if (pRow->data(0, kItemRole).toInt() != finding.nItem) continue;
      QTreeWidgetItem* pShown = pRow;
      // The account the finding names, under its item.
      for (int c = 0; c < pRow->childCount(); ++c) {
        if (pRow->child(c)->data(0, kAccountRole).toInt() == finding.nAccount) {
          pShown = pRow->child(c);
        }
      }
      m_pForm->setCurrentItem(pShown);
      m_pForm->scrollToItem(pShown);
    }
    return;
  }
  if (pItem != nullptr || finding.nMonth != 0) {
    m_pTabs->setCurrentIndex(kTabMonthly);
    for (int r = 0; pItem != nullptr && r < m_pMonthly->rowCount(); ++r) {
      if (m_pMonthly->item(r, 0)->data(kItemRole).toInt() == finding.nItem) {
        m_pMonthly->selectRow(r);
        m_pMonthly->scrollToItem(m_pMonthly->item(r, 0));
      }
    }
    for (std::size_t m = 0; pItem == nullptr && m < m_model.m_arMonth.size(); ++m) {
      if (m_model.m_arMonth[m] == finding.nMonth) {
        m_pMonthly->clearSelection();
        m_pMonthly->selectColumn(static_cast<int>(m) + 2);
      }
    }
  }
}

bool CReportWindow::SavePdf(const QString& strPath, QString& strError) {
  return CReportDocument::WritePdf(m_model, strPath, strError);
}

void CReportWindow::OnPdf() {
  QFileDialog dialog(this, QStringLiteral("PDF保存"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QStringLiteral("PDF (*.pdf)"));
  dialog.setDefaultSuffix(QStringLiteral("pdf"));
  dialog.setDirectory(QtSaveFolderFor(QString()));
  dialog.selectFile(reportqt::Text(m_model.m_strJigyoName) + QStringLiteral("_事業概況書.pdf"));
  QtFitFileDialog(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString strPath = dialog.selectedFiles().front();
  QString strError;
  if (!SavePdf(strPath, strError)) {
    CQtMessageBox::Warn(this, windowTitle(),
                        QStringLiteral("PDFを保存できません。\n%1\n%2").arg(strPath, strError));
  }
}

void CReportWindow::OnPrint() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                    QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  CReportDocument document(m_model);
  if (!document.Print(printer)) {
    CQtMessageBox::Warn(this, windowTitle(), QStringLiteral("印刷できません。"));
  }
}
