#pragma once
// The report window: the header, the form (main items with the accounts
// behind them), the monthly block with the chart of monthly sales, and the
// findings. Selecting a finding shows its item. Buttons: PDF保存 (save
// dialog, then the PDF), 印刷 (the system print dialog), 閉じる.

#include <QDialog>

#include "CReportModel.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QTreeWidget;

class CReportWindow : public QDialog {
  Q_OBJECT

 public:
  explicit CReportWindow(const CReportModel& model, QWidget* pParent = nullptr);

  // Shows what the finding in row nRow of the findings list refers to.
  void ShowFinding(int nRow);
  // Writes the PDF without asking; false with strError.
  bool SavePdf(const QString& strPath, QString& strError);

  QTabWidget* Tabs() const { return m_pTabs; }
  QTreeWidget* Form() const { return m_pForm; }
  QTableWidget* Monthly() const { return m_pMonthly; }
  QTreeWidget* Findings() const { return m_pFindings; }
  QPushButton* PdfButton() const { return m_pPdf; }
  QPushButton* PrintButton() const { return m_pPrint; }

 private:
  void FillForm();
  void FillMonthly();
  void FillFindings();
  void OnPdf();
  void OnPrint();

  CReportModel m_model;
  QTabWidget* m_pTabs = nullptr;
  QTreeWidget* m_pForm = nullptr;
  QTableWidget* m_pMonthly = nullptr;
  QTreeWidget* m_pFindings = nullptr;
  QPushButton* m_pPdf = nullptr;
  QPushButton* m_pPrint = nullptr;
};
