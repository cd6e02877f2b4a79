#include "CScreenTour.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QToolTip>
#include <cstdio>
#include <memory>
#include <vector>

#include "CAccSelDlg.h"
#include "CConv.h"
#include "CHostObjects.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CKumiSen.h"
#include "CPropertySheet.h"
#include "CQtProgressWindow.h"
#include "CQtUiBackend.h"
#include "CScaleDlg.h"
#include "CSetGaiSht.h"
#include "CYmd.h"
#include "Cp932.h"
#include "LedgerSel.h"
#include "MAXDATACOUNT.h"

namespace {

constexpr int kTitleHeight = 26;

void Settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

void Press(QWidget* pWindow, int nKey) {
  QWidget* pTarget = pWindow->focusWidget() ? pWindow->focusWidget() : pWindow;
  QKeyEvent press(QEvent::KeyPress, nKey, Qt::NoModifier);
  QApplication::sendEvent(pTarget, &press);
  QKeyEvent release(QEvent::KeyRelease, nKey, Qt::NoModifier);
  QApplication::sendEvent(pTarget, &release);
}

void Click(QWidget* pWidget) {
  if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget)) pButton->click();
}

CString Cp932(const char* pszUtf8) {
  CString strOut;
  cp932::FromUtf8(pszUtf8, strOut);
  return strOut;
}

QString KindOf(QWidget* pWindow, CDialog* pDlg) {
  if (pDlg) return QStringLiteral("dialog:") + QString::fromStdString(pDlg->GetUiName());
  if (qobject_cast<QMessageBox*>(pWindow)) return QStringLiteral("msgbox");
  return QStringLiteral("save");
}

// Ends a window nobody expected, so the tour can go on.
void Dismiss(QWidget* pWindow, CDialog* pDlg) {
  if (pDlg) {
    pDlg->EndDialog(IDCANCEL);
  } else if (auto* pBox = qobject_cast<QMessageBox*>(pWindow)) {
    const auto buttons = pBox->buttons();
    Click(pBox->escapeButton() ? pBox->escapeButton() : buttons.value(buttons.size() - 1));
  } else if (auto* pDialog = qobject_cast<QDialog*>(pWindow)) {
    pDialog->reject();
  }
}

}  // namespace

CScreenTour::CScreenTour(CQtUiBackend& backend, const QString& strOutDir)
    : m_backend(backend), m_strOutDir(strOutDir) {}

QImage CScreenTour::Picture(QWidget* pWindow) {
  Settle();
  const QPixmap client = pWindow->grab();
  QImage image(client.width() + 2, client.height() + kTitleHeight + 1, QImage::Format_ARGB32);
  image.fill(QColor(0x40, 0x40, 0x48));
  QPainter painter(&image);
  QLinearGradient gradient(0, 0, image.width(), 0);
  gradient.setColorAt(0, QColor(0x1c, 0x4e, 0x9c));
  gradient.setColorAt(1, QColor(0x4a, 0x86, 0xd6));
  const QRect rcTitle(1, 1, image.width() - 2, kTitleHeight - 1);
  painter.fillRect(rcTitle, gradient);
  QFont font = QApplication::font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(rcTitle.adjusted(8, 0, -30, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   pWindow->windowTitle());
  const Qt::WindowFlags flags = pWindow->windowFlags();
  if (!(flags & Qt::CustomizeWindowHint) || (flags & Qt::WindowCloseButtonHint)) {
    const QRect rcClose(rcTitle.right() - 22, rcTitle.top() + 4, 18, rcTitle.height() - 8);
    painter.fillRect(rcClose, QColor(0xc8, 0x3c, 0x32));
    painter.drawText(rcClose, Qt::AlignCenter, QStringLiteral("×"));
  }
  painter.drawPixmap(1, kTitleHeight, client);
  return image;
}

void CScreenTour::Expect(const QString& strKind, std::function<void(QWidget*, CDialog*)> act) {
  m_steps.push_back(Step{strKind, std::move(act)});
}

void CScreenTour::OnShown(QWidget* pWindow, CDialog* pDlg) {
  const QString strKind = KindOf(pWindow, pDlg);
  if (m_steps.empty() || m_steps.front().strExpected != strKind) {
    ++m_nFailures;
    const QString strText = qobject_cast<QMessageBox*>(pWindow)
                                ? qobject_cast<QMessageBox*>(pWindow)->text()
                                : pWindow->windowTitle();
    std::fprintf(stderr, "unexpected %s: %s\n", strKind.toUtf8().constData(),
                 strText.toUtf8().constData());
    Save(pWindow, QStringLiteral("unexpected-%1").arg(m_nFailures));
    Dismiss(pWindow, pDlg);
    return;
  }
  Step step = std::move(m_steps.front());
  m_steps.pop_front();
  step.act(pWindow, pDlg);
}

void CScreenTour::Save(QWidget* pWindow, const QString& strName) {
  const QString strPath = QDir(m_strOutDir).filePath(strName + QStringLiteral(".png"));
  if (!Picture(pWindow).save(strPath)) {
    ++m_nFailures;
    std::fprintf(stderr, "cannot write %s\n", strPath.toUtf8().constData());
    return;
  }
  std::printf("%s\n", strPath.toUtf8().constData());
}

int CScreenTour::Run() {
  m_backend.SetShownHook([this](QWidget* pWindow, CDialog* pDlg) { OnShown(pWindow, pDlg); });

  CJetAccess jet;
  MAXDATACOUNT limits{};
  if (jet.MasterInit(&limits, &limits) != 0 ||
      jet.Init(CJetAccess::ACCESS_STRING, 0, 0, nullptr) != 0) {
    std::fprintf(stderr, "the installation's books cannot be opened\n");
    return 1;
  }
  CConv conv;
  LedgerSel_InitClass(&jet, &conv);

  CAccSelDlg select;
  Expect(QStringLiteral("dialog:select"), [this](QWidget* pWindow, CDialog*) {
    Save(pWindow, QStringLiteral("select"));
    Press(pWindow, Qt::Key_Return);
  });
  if (select.DoModal() != IDOK) {
    std::fprintf(stderr, "no data set was chosen\n");
    jet.Term();
    return m_nFailures + 1;
  }
  char szDataPath[MAX_PATH] = {};
  select.GetSelectedDataPath(szDataPath);

  short nTitles = 0;
  jet.GetKanKamokuCount(&nTitles);
  CArray<S_KANKAMOKU, S_KANKAMOKU> arKamoku(static_cast<std::size_t>(nTitles));
  short nRead = 0;
  jet.ReadKanKamoku(arKamoku.data(), 0, nTitles, &nRead, 0);
  arKamoku.resize(static_cast<std::size_t>(nRead));
  CYmd ymd;
  CKumiSen kumiSen(&jet, 0);
  CKaikei kaikei(&jet, &ymd, &kumiSen);
  g_pJetAccess = &jet;
  g_pKaikei = &kaikei;
  g_pConv = &conv;

  CArray<_SG_MATCH, _SG_MATCH> arMatch;
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> arInitBody;
  CSetGaiSht sheet(&arKamoku, &arMatch, &arInitBody);
  sheet.m_strDataPath = szDataPath;
  Expect(QStringLiteral("dialog:sheet"),
         [this](QWidget* pWindow, CDialog* pDlg) { TourSheet(pWindow, pDlg); });
  sheet.DispSheet(nullptr);

  g_pJetAccess = nullptr;
  g_pKaikei = nullptr;
  g_pConv = nullptr;
  jet.Term();
  const int nProgress = TourProgress();
  for (const Step& step : m_steps) {
    std::fprintf(stderr, "never shown: %s\n", step.strExpected.toUtf8().constData());
    ++m_nFailures;
  }
  m_backend.SetShownHook(nullptr);
  return m_nFailures + nProgress;
}

void CScreenTour::TourSheet(QWidget* pWindow, CDialog* pDlg) {
  auto& sheet = static_cast<CPropertySheet&>(*pDlg);
  auto widgetOf = [this, &sheet](int nID) -> QWidget* {
    CPropertyPage* pPage = sheet.GetActivePage();
    CWnd* pControl = pPage ? pPage->GetDlgItem(nID) : nullptr;
    return pControl ? m_backend.WidgetOf(*pControl) : nullptr;
  };
  // Tab twice, from the to-month over the output path onto 参照: the
  // picture shows where the keyboard is.
  Press(pWindow, Qt::Key_Tab);
  Press(pWindow, Qt::Key_Tab);
  Save(pWindow, QStringLiteral("page1"));

  Expect(QStringLiteral("save"), [this](QWidget* pSave, CDialog*) {
    Save(pSave, QStringLiteral("save"));
    static_cast<QDialog*>(pSave)->reject();
  });
  Click(widgetOf(1009));

  Press(pWindow, Qt::Key_F6);
  Save(pWindow, QStringLiteral("page2"));
  // The tooltip of an item button, as the pointer resting on it shows it.
  if (QWidget* pButton = widgetOf(1103)) {
    QToolTip::showText(pButton->mapToGlobal(QPoint(pButton->width() / 2, pButton->height())),
                       pButton->toolTip(), pButton);
    Settle();
    QImage image = Picture(pWindow);
    for (QWidget* pTop : QApplication::topLevelWidgets()) {
      if (pTop->isVisible() && pTop->inherits("QTipLabel")) {
        QPainter painter(&image);
        const QPoint at = pButton->mapTo(pWindow, QPoint(pButton->width() / 2, pButton->height()));
        painter.drawPixmap(at + QPoint(1, kTitleHeight + 2), pTop->grab());
      }
    }
    QToolTip::hideText();
    const QString strPath = QDir(m_strOutDir).filePath(QStringLiteral("page2-tooltip.png"));
    if (image.save(strPath)) std::printf("%s\n", strPath.toUtf8().constData());
  }
  Expect(QStringLiteral("dialog:map"), [this](QWidget* pMap, CDialog*) {
    Save(pMap, QStringLiteral("map"));
    Press(pMap, Qt::Key_Escape);
  });
  Click(widgetOf(1103));

  Press(pWindow, Qt::Key_F6);
  Save(pWindow, QStringLiteral("page3"));
  Press(pWindow, Qt::Key_F5);
  Press(pWindow, Qt::Key_F5);

  // A month the fiscal year does not have: the page's warning.
  if (auto* pTo = qobject_cast<QLineEdit*>(widgetOf(1007))) {
    pTo->setFocus(Qt::MouseFocusReason);
    pTo->selectAll();
    for (const char* pszDigit : {"1", "3"}) {
      QKeyEvent key(QEvent::KeyPress, pszDigit[0], Qt::NoModifier, QString::fromLatin1(pszDigit));
      QApplication::sendEvent(pTo, &key);
    }
  }
  Expect(QStringLiteral("msgbox"), [this](QWidget* pBox, CDialog*) {
    Save(pBox, QStringLiteral("warning"));
    Press(pBox, Qt::Key_Return);
  });
  Press(pWindow, Qt::Key_F8);

  Expect(QStringLiteral("msgbox"), [this](QWidget* pBox, CDialog*) {
    Save(pBox, QStringLiteral("question"));
    auto* pMessage = qobject_cast<QMessageBox*>(pBox);
    Click(pMessage->button(QMessageBox::No));
  });
  Press(pWindow, Qt::Key_Escape);
}

int CScreenTour::TourProgress() {
  CScaleDlg scale(nullptr);
  scale.Init(2, 1);
  scale.Create();
  scale.SetWindowText(Cp932("集計中").c_str());
  scale.DispMessage(Cp932("集計中です。お待ちください....").c_str());
  scale.DispScale(50);
  int nFailures = 0;
  if (CQtProgressWindow* pWindow = m_backend.ProgressWindowOf(scale)) {
    Save(pWindow, QStringLiteral("progress"));
  } else {
    std::fprintf(stderr, "the progress window did not show\n");
    ++nFailures;
  }
  scale.Term();
  scale.DestroyWindow();
  return nFailures;
}
