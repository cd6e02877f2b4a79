// Every registered template comes up as real widgets: one per control, of
// the right kind, at the place its dialog units give with the dialog's font,
// with its text and state.

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "CAccSelDlg.h"
#include "CPropertySheet.h"
#include "CQtDialogMetrics.h"
#include "CQtMultiLineButton.h"
#include "CQtStaticText.h"
#include "ProgramResources.h"
#include "QtTestSupport.h"
#include "QtText.h"

namespace {

QString ShownText(QWidget* pWidget) {
  if (auto* pMulti = dynamic_cast<CQtMultiLineButton*>(pWidget)) return pMulti->Caption();
  if (auto* pLabel = qobject_cast<QLabel*>(pWidget)) return pLabel->text();
  if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget)) return pButton->text();
  if (auto* pGroup = qobject_cast<QGroupBox*>(pWidget)) return pGroup->title();
  if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget)) return pEdit->text();
  return QString();
}

bool KindMatches(ControlKind kind, QWidget* pWidget) {
  switch (kind) {
    case ControlKind::Static:
      return qobject_cast<QLabel*>(pWidget) != nullptr;
    case ControlKind::Edit:
      return qobject_cast<QLineEdit*>(pWidget) != nullptr;
    case ControlKind::PushButton:
      return qobject_cast<QPushButton*>(pWidget) != nullptr;
    case ControlKind::CheckBox:
      return qobject_cast<QCheckBox*>(pWidget) != nullptr;
    case ControlKind::GroupBox:
      return qobject_cast<QGroupBox*>(pWidget) != nullptr;
    case ControlKind::ComboBox:
      return qobject_cast<QComboBox*>(pWidget) != nullptr;
    case ControlKind::ListView:
      return qobject_cast<QTreeWidget*>(pWidget) != nullptr;
    default:
      return false;
  }
}

class TemplateLayoutTest : public QtUiTest {
 protected:
  // Compares the controls of container, built from pTemplate, with it.
  void CheckControls(const CWnd& container, const DialogTemplate& tmpl) {
    const CQtDialogMetrics metrics(&tmpl);
    const auto& children = container.GetChildren();
    ASSERT_GE(children.size(), tmpl.items.size());
    QWidget* pContainer = Backend().WidgetOf(container);
    ASSERT_NE(pContainer, nullptr);
    EXPECT_EQ(pContainer->font().pixelSize(), 12);
    for (size_t i = 0; i < tmpl.items.size(); ++i) {
      const DialogItem& item = tmpl.items[i];
      SCOPED_TRACE("template " + std::to_string(tmpl.nID) + " control " + std::to_string(i) +
                   " id " + std::to_string(item.nID));
      QWidget* pWidget = Backend().WidgetOf(*children[i]);
      ASSERT_NE(pWidget, nullptr);
      EXPECT_EQ(pWidget->parentWidget(), pContainer);
      EXPECT_TRUE(KindMatches(item.kind, pWidget));
      QRect rcExpected = metrics.ToPixels(RECT{item.x, item.y, item.x + item.cx, item.y + item.cy});
      if (item.kind == ControlKind::ComboBox) {
        // Only the closed box is shown; its template height is the list's.
        EXPECT_EQ(pWidget->geometry().topLeft(), rcExpected.topLeft());
        EXPECT_EQ(pWidget->width(), rcExpected.width());
        EXPECT_LE(pWidget->height(), rcExpected.height());
      } else if (item.kind == ControlKind::CheckBox) {
        // A check box widens to its text when the font needs more room,
        // never past its dialog's edge.
        EXPECT_EQ(pWidget->geometry().topLeft(), rcExpected.topLeft());
        EXPECT_EQ(pWidget->height(), rcExpected.height());
        EXPECT_GE(pWidget->width(), rcExpected.width());
        EXPECT_GE(pWidget->width(), pWidget->sizeHint().width());
        EXPECT_LE(pWidget->geometry().right(), metrics.ToPixelX(tmpl.cx));
      } else {
        EXPECT_EQ(pWidget->geometry(), rcExpected);
      }
      EXPECT_EQ(ShownText(pWidget), item.kind == ControlKind::ListView
                                        ? QString()
                                        : QtFromCp932(item.pszText ? item.pszText : ""));
      EXPECT_EQ(pWidget->isVisibleTo(pContainer), (item.dwStyle & WS_VISIBLE) != 0);
      EXPECT_EQ(pWidget->isEnabledTo(pContainer), (item.dwStyle & WS_DISABLED) == 0);
    }
  }
};

TEST_F(TemplateLayoutTest, DialogUnitsFollowTheMappedGothicFont) {
  const CQtDialogMetrics metrics(FindDialogTemplate(IDD_SETGAI_DLG));
  EXPECT_EQ(metrics.Font().pixelSize(), 12);
  const QString strFamily = QFontInfo(metrics.Font()).family();
  EXPECT_TRUE(strFamily.contains(QStringLiteral("Gothic"), Qt::CaseInsensitive) ||
              strFamily.contains(QStringLiteral("CJK")))
      << strFamily.toStdString();
  // A fixed-pitch gothic face of 12 pixels gives Windows' units for
  // "ＭＳ ゴシック" 9 points: 6 by 12 or close to it.
  EXPECT_GE(metrics.BaseX(), 5);
  EXPECT_LE(metrics.BaseX(), 7);
  EXPECT_GE(metrics.BaseY(), 12);
  EXPECT_LE(metrics.BaseY(), 14);
  EXPECT_EQ(metrics.ToPixelX(4), metrics.BaseX());
  EXPECT_EQ(metrics.ToPixelY(8), metrics.BaseY());
  EXPECT_EQ(metrics.ToPixelX(0), 0);
}

TEST_F(TemplateLayoutTest, ProgramDialogsAndSelectionDialogsBuildEveryControl) {
  // The selection dialogs register their templates when first made.
  { CAccSelDlg register_templates; }
  for (UINT nID : {IDD_SETGAI_DLG, IDD_LEDGER_ACCSEL, IDD_LEDGER_MEMBSEL}) {
    const DialogTemplate* pTemplate = FindDialogTemplate(nID);
    ASSERT_NE(pTemplate, nullptr) << nID;
    CDialog dlg(nID);
    OnNextWindow([&](QWidget* pWindow, CDialog* pDlg) {
      ASSERT_EQ(pDlg, &dlg);
      EXPECT_EQ(pWindow->windowTitle(), QtFromCp932(pTemplate->pszTitle));
      const CQtDialogMetrics metrics(pTemplate);
      EXPECT_EQ(pWindow->size(),
                QSize(metrics.ToPixelX(pTemplate->cx), metrics.ToPixelY(pTemplate->cy)));
      CheckControls(dlg, *pTemplate);
      dlg.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  }
}

// The mapping dialog takes a larger size from the user: its list grows by
// as much, what lies below the list moves down, and the dialog opens at
// that size again later in the session.
TEST_F(TemplateLayoutTest, TheMappingDialogsListGrowsWithItsWindowAndItsSizeIsKept) {
  const QSize more(120, 90);
  QSize chosen;
  {
    CDialog dlg(IDD_SETGAI_DLG);
    OnNextWindow([&](QWidget* pWindow, CDialog*) {
      QWidget* pList = Backend().WidgetOf(*dlg.GetDlgItem(1017));
      QWidget* pButton = Backend().WidgetOf(*dlg.GetDlgItem(1000));
      const QRect rcList = pList->geometry();
      const QRect rcButton = pButton->geometry();
      EXPECT_EQ(pWindow->minimumSize(), pWindow->size()) << "never smaller than its template";
      pWindow->resize(pWindow->size() + more);
      QApplication::processEvents();
      EXPECT_EQ(pList->geometry().size(), rcList.size() + more);
      EXPECT_EQ(pList->geometry().topLeft(), rcList.topLeft());
      EXPECT_EQ(pButton->geometry(), rcButton.translated(0, more.height()));
      chosen = pWindow->size();
      dlg.EndDialog(IDCANCEL);
    });
    dlg.DoModal();
  }
  CDialog again(IDD_SETGAI_DLG);
  OnNextWindow([&](QWidget* pWindow, CDialog*) {
    EXPECT_EQ(pWindow->size(), chosen);
    again.EndDialog(IDCANCEL);
  });
  again.DoModal();
}

TEST_F(TemplateLayoutTest, WizardPagesBuildEveryControlInsideTheSheet) {
  CPropertyPage page1(IDD_SETGAI_P1);
  CPropertyPage page2(IDD_SETGAI_P2);
  CPropertyPage page3(IDD_SETGAI_P3);
  CPropertySheet sheet(Cp("事業概況書 - 集計条件").c_str());
  sheet.AddPage(&page1);
  sheet.AddPage(&page2);
  sheet.AddPage(&page3);
  OnNextWindow([&](QWidget* pWindow, CDialog*) {
    EXPECT_EQ(pWindow->windowTitle(), U("事業概況書 - 集計条件"));
    CPropertyPage* pages[] = {&page1, &page2, &page3};
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(sheet.SetActivePage(i));
      CheckControls(*pages[i], *pages[i]->GetTemplate());
      QWidget* pPage = Backend().WidgetOf(*pages[i]);
      EXPECT_TRUE(pPage->isVisibleTo(pWindow));
      // The page fits in the window, and only the active one shows.
      EXPECT_TRUE(pWindow->rect().contains(pPage->geometry()));
      for (int k = 0; k < i; ++k) EXPECT_FALSE(Backend().WidgetOf(*pages[k])->isVisibleTo(pWindow));
    }
    sheet.EndDialog(IDCANCEL);
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}

TEST_F(TemplateLayoutTest, ProgramChangesShowAtOnce) {
  CDialog dlg(IDD_SETGAI_DLG);
  OnNextWindow([&](QWidget*, CDialog*) {
    CWnd* pHeading = dlg.GetDlgItem(1014);
    CWnd* pAll = dlg.GetDlgItem(1026);
    pHeading->SetWindowText(Cp("売上高").c_str());
    pAll->EnableWindow(FALSE);
    dlg.CheckDlgButton(1026, 1);
    dlg.GetDlgItem(1000)->ShowWindow(SW_HIDE);
    EXPECT_EQ(qobject_cast<QLabel*>(Backend().WidgetOf(*pHeading))->text(), U("売上高"));
    auto* pBox = qobject_cast<QCheckBox*>(Backend().WidgetOf(*pAll));
    EXPECT_FALSE(pBox->isEnabled());
    EXPECT_TRUE(pBox->isChecked());
    EXPECT_TRUE(Backend().WidgetOf(*dlg.GetDlgItem(1000))->isHidden());
    dlg.SetWindowText(Cp("別の題").c_str());
    EXPECT_EQ(Backend().TopWindow()->windowTitle(), U("別の題"));
    dlg.EndDialog(IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(Backend().TopWindow(), nullptr);
}

}  // namespace

namespace {

// A static shows whole lines only: a business name longer than its field
// ends in "…" on the one line there is room for; a short one is shown as it
// is, and a one-character-wide caption keeps its four lines.
TEST_F(TemplateLayoutTest, StaticTextsShowWholeLinesAndEndLongTextsWithAnEllipsis) {
  CPropertyPage page(IDD_SETGAI_P1);
  CPropertySheet sheet("x");
  sheet.AddPage(&page);
  OnNextWindow([&](QWidget*, CDialog*) {
    auto* pName = dynamic_cast<CQtStaticText*>(Backend().WidgetOf(*page.GetDlgItem(1001)));
    ASSERT_NE(pName, nullptr);
    const auto shown = [pName] {
      return CQtStaticText::FitLines(pName->text(), pName->font(), pName->contentsRect().size(),
                                     pName->wordWrap());
    };
    const QString strLong = U("株式会社みどり農産").repeated(4) + U("ファーム");
    ASSERT_EQ(strLong.size(), 40);
    page.GetDlgItem(1001)->SetWindowText(Cp(strLong.toUtf8().constData()).c_str());
    const QStringList lines = shown();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(QChar(0x2026)));
    EXPECT_TRUE(strLong.startsWith(lines[0].chopped(1)));
    EXPECT_LE(pName->fontMetrics().horizontalAdvance(lines[0]), pName->contentsRect().width());
    page.GetDlgItem(1001)->SetWindowText(Cp("みどり農産株式会社").c_str());
    EXPECT_EQ(shown(), QStringList{U("みどり農産株式会社")});
    sheet.EndDialog(IDCANCEL);
  });
  sheet.DoModal();

  const CQtDialogMetrics metrics(FindDialogTemplate(IDD_SETGAI_P2));
  EXPECT_EQ(CQtStaticText::FitLines(U("売上原価"), metrics.Font(),
                                    metrics.ToPixels(RECT{13, 68, 23, 108}).size(), true),
            (QStringList{U("売"), U("上"), U("原"), U("価")}));
}

TEST(QtTextTest, AccessKeyMarksAreShownAsWindowsShowsThem) {
  EXPECT_EQ(QtStripMnemonic(U("参照(&D)...")), U("参照(D)..."));
  EXPECT_EQ(QtStripMnemonic(QStringLiteral("A&&B&")), QStringLiteral("A&B&"));
  EXPECT_EQ(QtMnemonicMarkup(U("月度(&E)")), U("月度(<u>E</u>)"));
  EXPECT_EQ(QtMnemonicMarkup(QStringLiteral("<a>&&\n")), QStringLiteral("&lt;a&gt;&amp;<br>"));
  CString strBack;
  EXPECT_TRUE(QtToCp932(U("～"), strBack));
  EXPECT_EQ(strBack, "\x81\x60");
  EXPECT_EQ(QtFromCp932("\x81\x60"), U("～"));
  // Bytes that are not CP932 still show, one character each.
  EXPECT_EQ(QtFromCp932("\x81"), QString(QChar(0x81)));
  EXPECT_EQ(QtCp932Length(U("月度")), 4);
  EXPECT_EQ(QtCp932Length(U("\u00e9")), -1);
}

// 月度(&E) stands after the field it names, which its access key leads to;
// 出力先(&F) leads to the next tab stop. A field reached so is selected.
TEST_F(TemplateLayoutTest, AccessKeysLeadToTheFieldTheLabelNamesAndEditsShowTheirStart) {
  CPropertyPage page(IDD_SETGAI_P1);
  CPropertySheet sheet("x");
  sheet.AddPage(&page);
  OnNextWindow([&](QWidget* pWindow, CDialog*) {
    QLabel* pMonth = nullptr;
    for (CWnd* pChild : page.GetChildren()) {
      if (pChild->GetText() == Cp("月度(&E)"))
        pMonth = qobject_cast<QLabel*>(Backend().WidgetOf(*pChild));
    }
    ASSERT_NE(pMonth, nullptr);
    auto* pTo = qobject_cast<QLineEdit*>(Backend().WidgetOf(*page.GetDlgItem(1007)));
    auto* pPath = qobject_cast<QLineEdit*>(Backend().WidgetOf(*page.GetDlgItem(1008)));
    EXPECT_EQ(pMonth->buddy(), pTo);
    page.GetDlgItem(1008)->SetWindowText(
        Cp("/home/user/Documents/内訳概況書(概況書用)_株式会社_2024.xml").c_str());
    EXPECT_EQ(pPath->cursorPosition(), 0);
    page.GetDlgItem(1007)->SetWindowText("3");
    for (auto [nKey, pEdit] : {std::pair{Qt::Key_F, pPath}, std::pair{Qt::Key_E, pTo}}) {
      SendKey(KeyTarget(pWindow), nKey, Qt::AltModifier);
      EXPECT_EQ(pWindow->focusWidget(), pEdit);
      EXPECT_EQ(pEdit->selectedText(), pEdit->text());
    }
    sheet.EndDialog(IDCANCEL);
  });
  sheet.DoModal();
}

}  // namespace
