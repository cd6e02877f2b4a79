// The report window and the paged document, offscreen, over a model made
// here: what a finding selects, and that every page of a long report is
// numbered out of the right total.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "CReportDocument.h"
#include "CReportModel.h"
#include "CReportWindow.h"
#include "Cp932.h"

namespace {

CString Cp(const char* pszUtf8) {
  CString out;
  cp932::FromUtf8(pszUtf8, out);
  return out;
}

// Made once and kept to the end of the process: Qt allows one application.
QApplication& App() {
  static int argc = 1;
  static char szName[] = "test_reportqt";
  static char* argv[] = {szName, nullptr};
  static QApplication* pApp = new QApplication(argc, argv);
  return *pApp;
}

CReportModel MakeModel(int nFindings) {
  CReportModel model;
  model.m_strJigyoName = Cp("検査農産株式会社");
  model.m_nStart[0] = 2024;
  model.m_nStart[1] = 4;
  model.m_nStart[2] = 1;
  model.m_nEnd[0] = 2025;
  model.m_nEnd[1] = 3;
  model.m_nEnd[2] = 31;
  model.m_nFromMonth = 4;
  model.m_nToMonth = 3;
  for (int m = 0; m < 12; ++m) model.m_arMonth.push_back(m < 9 ? m + 4 : m - 8);
  for (int n = 1; n <= 3; ++n) {
    CReportModel::Item item;
    item.nNumber = n;
    item.strName = Cp("売上高");
    item.strTag = "TAG" + std::to_string(n);
    item.dThousands = 1000.0 * n;
    item.bMapped = true;
    item.arAccount = {{static_cast<short>(400 + n), Cp("売上"), 1000000.0 * n},
                      {static_cast<short>(500 + n), Cp("値引"), -1000.0}};
    model.m_arItem.push_back(item);
  }
  CReportModel::Item monthly;
  monthly.nNumber = 36;
  monthly.strName = Cp("売上(収入)金額");
  monthly.bMonthly = true;
  monthly.arMonth.assign(12, 250000.0);
  model.m_arItem.push_back(monthly);
  model.m_arFinding.push_back(
      {"side-mismatch", CReportModel::Severity::Warning, 2, 502, 0, Cp("貸借区分が異なります。")});
  model.m_arFinding.push_back(
      {"empty-month", CReportModel::Severity::Warning, 0, 0, 8, Cp("8月度には仕訳がありません。")});
  model.m_arFinding.push_back({"monthly-sales-differ", CReportModel::Severity::Information, 36, 0,
                               0, Cp("月別合計が異なります。")});
  for (int i = 3; i < nFindings; ++i) {
    model.m_arFinding.push_back({"unmapped-account", CReportModel::Severity::Information, 0, 700, 0,
                                 Cp("どの項目にも対応付けられていない科目があります。")});
  }
  return model;
}

TEST(ReportWindow, SelectingAFindingShowsItsItemAccountOrMonth) {
  App();
  CReportWindow window(MakeModel(3));
  window.show();
  ASSERT_EQ(window.Form()->topLevelItemCount(), 3);
  EXPECT_EQ(window.Form()->topLevelItem(1)->childCount(), 2);
  EXPECT_EQ(window.Form()->topLevelItem(1)->text(2), QStringLiteral("2,000"));
  EXPECT_EQ(window.Monthly()->rowCount(), 1);
  EXPECT_EQ(window.Monthly()->item(0, 14)->text(), QStringLiteral("3,000,000"));
  ASSERT_EQ(window.Findings()->topLevelItemCount(), 3);

  // A main item's account: the form, on that account's row.
  window.Tabs()->setCurrentIndex(1);
  window.Findings()->setCurrentItem(window.Findings()->topLevelItem(0));
  EXPECT_EQ(window.Tabs()->currentIndex(), 0);
  ASSERT_NE(window.Form()->currentItem(), nullptr);
  EXPECT_TRUE(window.Form()->currentItem()->text(1).startsWith(QStringLiteral("502 ")));
  EXPECT_EQ(window.Form()->currentItem()->parent(), window.Form()->topLevelItem(1));

  // A month: the monthly block with that month's column (August, the fifth).
  window.Findings()->setCurrentItem(window.Findings()->topLevelItem(1));
  EXPECT_EQ(window.Tabs()->currentIndex(), 1);
  EXPECT_TRUE(window.Monthly()->selectionModel()->isColumnSelected(2 + 4));

  // A monthly item: its row.
  window.Findings()->setCurrentItem(window.Findings()->topLevelItem(2));
  EXPECT_EQ(window.Tabs()->currentIndex(), 1);
  EXPECT_TRUE(window.Monthly()->selectionModel()->isRowSelected(0));
  EXPECT_FALSE(window.grab().isNull());
}

TEST(ReportDocument, EveryPageIsNumberedOutOfTheTotal) {
  App();
  QTemporaryDir dir;
  const QString strPdf = dir.filePath(QStringLiteral("long.pdf"));
  const CReportModel model = MakeModel(250);
  QString strError;
  ASSERT_TRUE(CReportDocument::WritePdf(model, strPdf, strError)) << strError.toStdString();

  const QString strText = dir.filePath(QStringLiteral("long.txt"));
  const std::string strCommand =
      "pdftotext '" + strPdf.toStdString() + "' '" + strText.toStdString() + "'";
  ASSERT_EQ(std::system(strCommand.c_str()), 0);
  std::ifstream in(strText.toStdString());
  std::stringstream text;
  text << in.rdbuf();
  int nPages = 0;
  for (int n = 1; n < 50; ++n) {
    if (text.str().find(std::to_string(n) + " / ") != std::string::npos) nPages = n;
  }
  ASSERT_GT(nPages, 2);
  for (int n = 1; n <= nPages; ++n) {
    EXPECT_NE(text.str().find(std::to_string(n) + " / " + std::to_string(nPages)),
              std::string::npos)
        << n;
  }
  // Every finding reached the paper (the summary on page 1 only counts them).
  std::size_t nFound = 0;
  for (std::size_t at = 0; (at = text.str().find("［情報］", at)) != std::string::npos; ++at) {
    ++nFound;
  }
  EXPECT_EQ(nFound, 248u);

  // A folder where the file should be: an error, and nothing left behind.
  EXPECT_FALSE(CReportDocument::WritePdf(model, dir.path(), strError));
  EXPECT_FALSE(strError.isEmpty());
}

}  // namespace

// Under LeakSanitizer: fontconfig keeps a cache it never frees; the leak
// is the font library's, not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
