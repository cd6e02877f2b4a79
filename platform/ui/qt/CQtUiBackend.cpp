#include "CQtUiBackend.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

#include "CEdit.h"
#include "CPropertySheet.h"
#include "CQtDialogMetrics.h"
#include "CQtDialogView.h"
#include "CQtEventFilter.h"
#include "CQtMessageBox.h"
#include "CQtProgressWindow.h"
#include "CUiInput.h"
#include "QtFileDialogs.h"
#include "QtText.h"

namespace {

constexpr UINT MB_DEFBUTTON3 = 0x200;
// Save-dialog controls whose texts a hook may set, besides the look-in
// label: the file-name and file-type labels.
constexpr int stc3 = 1090;
constexpr int stc2 = 1089;

BOOL IsDialogKind(ControlKind kind) {
  return kind == ControlKind::Dialog || kind == ControlKind::Page || kind == ControlKind::Sheet;
}

// Windows patterns are separated by ";", and "*.*" matches every name.
QString QtPatterns(const QString& strPatterns) {
  QStringList patterns;
  for (const QString& strPattern : strPatterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    const QString strTrimmed = strPattern.trimmed();
    patterns.push_back(strTrimmed == QStringLiteral("*.*") ? QStringLiteral("*") : strTrimmed);
  }
  return patterns.join(QLatin1Char(' '));
}

QMessageBox::Icon IconOf(UINT nType) {
  switch (nType & MB_ICONMASK) {
    case MB_ICONHAND:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONWARNING:
    case MB_ICONEXCLAMATION:
      return QMessageBox::Warning;
    case MB_ICONINFORMATION:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

struct ButtonSpec {
  QMessageBox::StandardButton button;
  const char* pszText;
  int nId;
};

// The buttons of a message box of the type, in their order on the screen.
std::vector<ButtonSpec> ButtonsOf(UINT nButtons) {
  static const ButtonSpec kOk{QMessageBox::Ok, "OK", IDOK};
  static const ButtonSpec kCancel{QMessageBox::Cancel, "キャンセル", IDCANCEL};
  static const ButtonSpec kYes{QMessageBox::Yes, "はい(&Y)", IDYES};
  static const ButtonSpec kNo{QMessageBox::No, "いいえ(&N)", IDNO};
  switch (nButtons) {
    case MB_OKCANCEL:
      return {kOk, kCancel};
    case MB_YESNOCANCEL:
      return {kYes, kNo, kCancel};
    case MB_YESNO:
      return {kYes, kNo};
    default:
      return {kOk};
  }
}

// Which of nCount buttons is the default: the first unless the type names
// a later one that is there.
std::size_t DefaultButtonOf(UINT nType, std::size_t nCount) {
  std::size_t nDefault = 0;
  if (nType & MB_DEFBUTTON2) nDefault = 1;
  if (nType & MB_DEFBUTTON3) nDefault = 2;
  return nDefault < nCount ? nDefault : 0;
}

// The program's filters in the dialog: shown as the program wrote them, the
// patterns Qt matches with following in parentheses, hidden. Gives the
// filters as set and as shown.
void SetNameFilters(QFileDialog& dlg, const SaveFileRequest& request, QStringList& filters,
                    QStringList& shownFilters) {
  dlg.setOption(QFileDialog::HideNameFilterDetails);
  for (const auto& [strDisplay, strPattern] : request.arFilters) {
    shownFilters.push_back(QtFromCp932(strDisplay).trimmed());
    filters.push_back(QtFromCp932(strDisplay) + QStringLiteral(" (") +
                      QtPatterns(QtFromCp932(strPattern)) + QStringLiteral(")"));
  }
  if (filters.isEmpty()) return;
  dlg.setNameFilters(filters);
  const int nIndex = request.nFilterIndex >= 1 && request.nFilterIndex <= filters.size()
                         ? request.nFilterIndex - 1
                         : 0;
  dlg.selectNameFilter(filters[nIndex]);
}

// The dialog's labels in Japanese, or as the hook set them.
void SetLabels(QFileDialog& dlg, const SaveFileRequest& request) {
  std::map<int, QString> labels{
      {stc4, QString::fromUtf8("ファイルの場所(&I):")},
      {stc3, QString::fromUtf8("ファイル名(&N):")},
      {stc2, QString::fromUtf8("ファイルの種類(&T):")},
      {IDOK, QString::fromUtf8("保存(&S)")},
      {IDCANCEL, QString::fromUtf8("キャンセル")},
  };
  for (const auto& [nId, strText] : request.controlTexts) labels[nId] = QtFromCp932(strText);
  dlg.setLabelText(QFileDialog::LookIn, labels[stc4]);
  dlg.setLabelText(QFileDialog::FileName, labels[stc3]);
  dlg.setLabelText(QFileDialog::FileType, labels[stc2]);
  dlg.setLabelText(QFileDialog::Accept, labels[IDOK]);
  dlg.setLabelText(QFileDialog::Reject, labels[IDCANCEL]);
  // Qt leaves these labels without the control their access key leads to.
  for (const auto& [pszLabel, pszBuddy] :
       {std::pair{"lookInLabel", "lookInCombo"}, std::pair{"fileTypeLabel", "fileTypeCombo"}}) {
    if (auto* pLabel = dlg.findChild<QLabel*>(QString::fromLatin1(pszLabel))) {
      pLabel->setBuddy(dlg.findChild<QWidget*>(QString::fromLatin1(pszBuddy)));
    }
  }
}

// Opens the dialog on the folder of the proposal when it names one, else the
// initial folder asked for, else the documents folder.
void ProposeFile(QFileDialog& dlg, const SaveFileRequest& request) {
  const QString strProposal = QtFromCp932(request.strProposal);
  const QString strName = strProposal.mid(strProposal.lastIndexOf(QLatin1Char('/')) + 1);
  QString strFolder = QtSaveFolderFor(strProposal);
  if (!QFileInfo(strProposal).isAbsolute() && !request.strInitialDir.empty()) {
    strFolder = QtSaveFolderFor(QtFromCp932(request.strInitialDir) + QLatin1Char('/'));
  }
  dlg.setDirectory(strFolder);
  dlg.selectFile(strName);
}

}  // namespace

CQtUiBackend::CQtUiBackend(int& argc, char** argv) {
  if (!QApplication::instance()) m_pApp = std::make_unique<QApplication>(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setFont(CQtDialogMetrics::DefaultFont());
  // Qt's own texts (the file dialog's columns and tool tips) in Japanese,
  // as the rest of the program speaks.
  m_pTranslator = std::make_unique<QTranslator>();
  if (m_pTranslator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(m_pTranslator.get());
  }
  m_pFilter = new CQtEventFilter(
      nullptr, [this](QObject* pWatched, QEvent* pEvent) { return FilterEvent(pWatched, pEvent); });
  qApp->installEventFilter(m_pFilter);
}

CQtUiBackend::~CQtUiBackend() {
  if (qApp) {
    qApp->removeEventFilter(m_pFilter);
    QCoreApplication::removeTranslator(m_pTranslator.get());
  }
  delete m_pFilter;
  m_progress.clear();
}

INT_PTR CQtUiBackend::RunModal(CDialog& dlg) {
  if (!dlg.BeginModalSession()) return dlg.GetModalResult();
  CWnd* pOwnerWnd = dlg.GetOwnerWnd();
  auto pView = std::make_unique<CQtDialogView>(
      dlg, OwnerWidget(pOwnerWnd ? pOwnerWnd->GetSafeHwnd() : nullptr), [this] { AfterInput(); });
  CQtDialogView* pRaw = pView.get();
  m_views.push_back(pRaw);
  ShowFocusCuesIfKeyboard(pRaw->Window());
  pRaw->Show();
  AnnounceShown(pRaw->Window(), &dlg);
  QEventLoop loop;
  m_loops[pRaw] = &loop;
  while (!dlg.IsEnding()) loop.exec();
  m_loops.erase(pRaw);
  std::erase(m_views, pRaw);
  pView.reset();
  return dlg.GetModalResult();
}

int CQtUiBackend::MessageBox(HWND hOwner, const CString& strText, const CString& strCaption,
                             UINT nType) {
  // As on Windows, Esc and the close box answer only where there is a
  // Cancel (or a lone OK); a question waits for Yes or No.
  const UINT nButtons = nType & MB_TYPEMASK;
  const bool bEscapes = nButtons != MB_YESNO;
  CQtMessageBox box(OwnerWidget(hOwner), bEscapes);
  box.setWindowTitle(QtFromCp932(strCaption));
  box.setTextFormat(Qt::PlainText);
  box.setText(QtFromCp932(strText));
  box.setIcon(IconOf(nType));
  const std::vector<ButtonSpec> buttons = ButtonsOf(nButtons);
  QMessageBox::StandardButtons standard;
  for (const ButtonSpec& button : buttons) standard |= button.button;
  box.setStandardButtons(standard);
  BOOL bHasCancel = FALSE;
  for (const ButtonSpec& button : buttons) {
    box.button(button.button)->setText(QString::fromUtf8(button.pszText));
    box.button(button.button)->setIcon(QIcon());
    if (button.nId == IDCANCEL) bHasCancel = TRUE;
  }
  box.setDefaultButton(buttons[DefaultButtonOf(nType, buttons.size())].button);
  if (bEscapes) {
    box.setEscapeButton(box.button(bHasCancel ? QMessageBox::Cancel : QMessageBox::Ok));
  }
  ShowFocusCuesIfKeyboard(&box);
  AnnounceShown(&box, nullptr);
  box.exec();
  const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
  for (const ButtonSpec& button : buttons) {
    if (button.button == clicked) return button.nId;
  }
  return bHasCancel ? IDCANCEL : buttons.front().nId;
}

BOOL CQtUiBackend::GetSaveFileName(SaveFileRequest& request) {
  const QString strTitle = QtFromCp932(request.strTitle);
  QFileDialog dlg(OwnerWidget(request.hOwner), strTitle);
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setFileMode(QFileDialog::AnyFile);
  if (!(request.dwFlags & OFN_OVERWRITEPROMPT)) dlg.setOption(QFileDialog::DontConfirmOverwrite);
  QStringList filters;
  QStringList shownFilters;
  SetNameFilters(dlg, request, filters, shownFilters);
  SetLabels(dlg, request);
  ProposeFile(dlg, request);
  QtFitFileDialog(dlg);

  ShowFocusCuesIfKeyboard(&dlg);
  for (;;) {
    AnnounceShown(&dlg, nullptr);
    if (dlg.exec() != QDialog::Accepted) return FALSE;
    const QString strChosen = dlg.selectedFiles().value(0);
    CString strResult;
    if (strChosen.isEmpty()) return FALSE;
    if (!QtToCp932(strChosen, strResult)) {
      // The program keeps paths in CP932; a name without that form would
      // come out mangled, so the user picks another.
      CQtMessageBox::Warn(
          &dlg, strTitle,
          QtForeignCharMessage(QtFirstForeignChar(strChosen)) + QLatin1Char('\n') + strChosen);
      continue;
    }
    request.strResult = strResult;
    // With the details hidden, Qt names the chosen filter by its shown text.
    const QString strChosenFilter = dlg.selectedNameFilter();
    qsizetype nIndex = filters.indexOf(strChosenFilter);
    if (nIndex < 0) nIndex = shownFilters.indexOf(strChosenFilter.trimmed());
    if (nIndex >= 0) request.nFilterIndex = static_cast<int>(nIndex) + 1;
    return TRUE;
  }
}

void CQtUiBackend::ProgressOpen(CWnd& wnd) {
  CWnd* pParent = wnd.GetParent();
  auto pWindow =
      std::make_unique<CQtProgressWindow>(OwnerWidget(pParent ? pParent->GetSafeHwnd() : nullptr));
  pWindow->setWindowTitle(QtFromCp932(wnd.GetText()));
  pWindow->adjustSize();
  if (QScreen* pScreen = QGuiApplication::primaryScreen()) {
    QRect rc(QPoint(0, 0), pWindow->size());
    rc.moveCenter(pScreen->availableGeometry().center());
    pWindow->move(rc.topLeft());
  }
  pWindow->show();
  // The caller starts its work as soon as this returns and hands no events
  // to anyone meanwhile: wait (a little at most) until the window is on
  // the screen, so that it is painted, not left black.
  QElapsedTimer waited;
  waited.start();
  while (pWindow->windowHandle() && !pWindow->windowHandle()->isExposed() &&
         waited.elapsed() < 2000) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QThread::msleep(5);
  }
  pWindow->Flush();
  m_progress[&wnd] = std::move(pWindow);
}

void CQtUiBackend::ProgressTitle(CWnd& wnd, const CString& strTitle) {
  if (CQtProgressWindow* pWindow = ProgressWindowOf(wnd)) pWindow->SetTitle(QtFromCp932(strTitle));
}

void CQtUiBackend::ProgressMessage(CWnd& wnd, const CString& strText) {
  if (CQtProgressWindow* pWindow = ProgressWindowOf(wnd)) pWindow->SetMessage(QtFromCp932(strText));
}

void CQtUiBackend::ProgressScale(CWnd& wnd, int nPercent) {
  if (CQtProgressWindow* pWindow = ProgressWindowOf(wnd)) pWindow->SetScale(nPercent);
}

void CQtUiBackend::ProgressClose(CWnd& wnd) {
  auto it = m_progress.find(&wnd);
  if (it == m_progress.end()) return;
  it->second->hide();
  m_progress.erase(it);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CQtUiBackend::OnPageActivated(CPropertySheet& sheet, CPropertyPage&) {
  if (CQtDialogView* pView = ViewOf(sheet)) pView->Sync();
}

void CQtUiBackend::OnFocusChanged(CWnd& wnd, BOOL) {
  if (CQtDialogView* pView = ViewOf(wnd)) pView->FocusTo(wnd);
}

void CQtUiBackend::OnWindowChanged(CWnd& wnd) {
  CQtDialogView* pView = ViewOf(wnd);
  if (!pView) return;
  pView->Changed(wnd);
  if (&wnd == &pView->Dialog() && pView->Dialog().IsEnding()) {
    if (auto it = m_loops.find(pView); it != m_loops.end()) it->second->quit();
  }
}

void CQtUiBackend::OnWindowDestroyed(CWnd& wnd) {
  for (CQtDialogView* pView : m_views) pView->Destroyed(wnd);
  m_progress.erase(&wnd);
}

void CQtUiBackend::OnEditSelection(CEdit& edit) {
  if (CQtDialogView* pView = ViewOf(edit)) pView->ShowSelection(edit);
}

void CQtUiBackend::OnForeground(CWnd& wnd) {
  QWidget* pWidget = WidgetOf(wnd);
  if (!pWidget) return;
  pWidget->window()->raise();
  pWidget->window()->activateWindow();
}

QWidget* CQtUiBackend::WidgetOf(const CWnd& wnd) const {
  for (auto it = m_views.rbegin(); it != m_views.rend(); ++it) {
    if (QWidget* pWidget = (*it)->FindWidget(&wnd)) return pWidget;
  }
  return nullptr;
}

QWidget* CQtUiBackend::TopWindow() const {
  return m_views.empty() ? nullptr : m_views.back()->Window();
}

CQtProgressWindow* CQtUiBackend::ProgressWindowOf(const CWnd& wnd) const {
  auto it = m_progress.find(&wnd);
  return it == m_progress.end() ? nullptr : it->second.get();
}

UINT CQtUiBackend::VirtualKeyOf(int nQtKey, Qt::KeyboardModifiers modifiers) {
  switch (nQtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      // Tab and Shift+Tab run over the page and the sheet's buttons as the
      // window objects order them; Ctrl+Tab stays Qt's own.
      return (modifiers & Qt::ControlModifier) ? 0 : VK_TAB;
    default:
      break;
  }
  // Access keys: the window objects find the control and what it does.
  const bool bAlnum =
      (nQtKey >= Qt::Key_A && nQtKey <= Qt::Key_Z) || (nQtKey >= Qt::Key_0 && nQtKey <= Qt::Key_9);
  if (bAlnum && (modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier)) {
    return static_cast<UINT>(nQtKey);
  }
  if (nQtKey >= Qt::Key_F1 && nQtKey <= Qt::Key_F12) {
    return VK_F1 + static_cast<UINT>(nQtKey - Qt::Key_F1);
  }
  return 0;
}

bool CQtUiBackend::FilterEvent(QObject* pWatched, QEvent* pEvent) {
  if (!pWatched->isWidgetType()) return false;
  auto* pWidget = static_cast<QWidget*>(pWatched);
  switch (pEvent->type()) {
    case QEvent::ShortcutOverride: {
      // A key the dialog takes is not a Qt shortcut (the access keys of
      // labels, group boxes and buttons).
      auto* pKey = static_cast<QKeyEvent*>(pEvent);
      if (m_views.empty() || ViewOfWidget(pWidget) != m_views.back() ||
          VirtualKeyOf(pKey->key(), pKey->modifiers()) == 0) {
        return false;
      }
      pKey->accept();
      return true;
    }
    case QEvent::KeyPress:
      ShowFocusCues(pWidget->window());
      return RouteKey(pWidget, *static_cast<QKeyEvent*>(pEvent));
    case QEvent::FocusIn: {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(pEvent)->reason();
      if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
      CQtDialogView* pView = ViewOfWidget(pWidget);
      CWnd* pWnd = pView ? pView->FindWnd(pWidget) : nullptr;
      if (!pWnd || IsDialogKind(pWnd->GetKind()) || CWnd::GetFocus() == pWnd) return false;
      if (pView->RefusesForeignText()) return false;
      // The user moved the focus (click): the window objects
      // follow, and an edit left behind reports EN_KILLFOCUS.
      if (CUiInput::Focus(*pWnd)) AfterInput();
      return false;
    }
    default:
      return false;
  }
}

bool CQtUiBackend::RouteKey(QWidget* pTarget, const QKeyEvent& event) {
  if (m_views.empty()) return false;
  CQtDialogView* pView = ViewOfWidget(pTarget);
  if (pView != m_views.back()) return false;
  const UINT nVirtKey = VirtualKeyOf(event.key(), event.modifiers());
  if (nVirtKey == 0) return false;
  if (pView->RefusesForeignText()) return true;
  UINT nModifiers = 0;
  if ((event.modifiers() & Qt::ShiftModifier) || event.key() == Qt::Key_Backtab) {
    nModifiers |= MK_SHIFT;
  }
  if (event.modifiers() & Qt::ControlModifier) nModifiers |= MK_CONTROL;
  if (event.modifiers() & Qt::AltModifier) nModifiers |= MK_ALT;
  CUiInput::PressKey(pView->Dialog(), nVirtKey, nModifiers);
  AfterInput();
  return true;
}

CQtDialogView* CQtUiBackend::ViewOf(const CWnd& wnd) const {
  for (auto it = m_views.rbegin(); it != m_views.rend(); ++it) {
    if ((*it)->Contains(wnd)) return *it;
  }
  return nullptr;
}

CQtDialogView* CQtUiBackend::ViewOfWidget(const QWidget* pWidget) const {
  if (!pWidget) return nullptr;
  const QWidget* pWindow = pWidget->window();
  for (auto it = m_views.rbegin(); it != m_views.rend(); ++it) {
    if ((*it)->Window() == pWindow) return *it;
  }
  return nullptr;
}

QWidget* CQtUiBackend::OwnerWidget(HWND hOwner) const {
  if (hOwner) {
    if (CWnd* pOwner = CWnd::FromHandle(hOwner)) {
      if (QWidget* pWidget = WidgetOf(*pOwner)) return pWidget->window();
    }
  }
  return TopWindow();
}

void CQtUiBackend::AfterInput() {
  const std::vector<CQtDialogView*> views = m_views;
  for (CQtDialogView* pView : views) {
    if (std::find(m_views.begin(), m_views.end(), pView) == m_views.end()) continue;
    pView->Sync();
    if (pView->Dialog().IsEnding()) {
      if (auto it = m_loops.find(pView); it != m_loops.end()) it->second->quit();
    }
  }
}

void CQtUiBackend::ShowFocusCues(QWidget* pWindow) {
  m_bKeyboardUsed = true;
  if (!pWindow || pWindow->testAttribute(Qt::WA_KeyboardFocusChange)) return;
  pWindow->setAttribute(Qt::WA_KeyboardFocusChange);
  if (QWidget* pFocus = pWindow->focusWidget()) pFocus->update();
}

void CQtUiBackend::ShowFocusCuesIfKeyboard(QWidget* pWindow) {
  if (m_bKeyboardUsed) ShowFocusCues(pWindow);
}

void CQtUiBackend::AnnounceShown(QWidget* pWindow, CDialog* pDlg) {
  if (!m_shownHook) return;
  QPointer<QWidget> pGuard(pWindow);
  QTimer::singleShot(0, pWindow, [this, pGuard, pDlg] {
    if (pGuard && pGuard->isVisible() && m_shownHook) m_shownHook(pGuard.data(), pDlg);
  });
}
