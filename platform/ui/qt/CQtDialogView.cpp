#include "CQtDialogView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>

#include "CButton.h"
#include "CComboBox.h"
#include "CEdit.h"
#include "CListCtrl.h"
#include "CPropertySheet.h"
#include "CQtByteLimitValidator.h"
#include "CQtListView.h"
#include "CQtMessageBox.h"
#include "CQtMultiLineButton.h"
#include "CQtPushButton.h"
#include "CQtStaticText.h"
#include "CToolTipCtrl.h"
#include "CUiInput.h"
#include "QtText.h"

namespace {

constexpr DWORD SS_TYPEMASK = 0x001F;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr int LVCFMT_RIGHT = 1;
constexpr int LVCFMT_CENTER = 2;
// A dialog too large for its screen shrinks in these steps, down to the
// smallest font still legible.
constexpr int kShrinkStep = 5;
constexpr int kMinPercent = 50;

// The size the user gave each resizable dialog, by template, for the rest
// of the session.
std::map<UINT, QSize>& RememberedSizes() {
  static std::map<UINT, QSize> sizes;
  return sizes;
}

BOOL IsDialogKind(ControlKind kind) {
  return kind == ControlKind::Dialog || kind == ControlKind::Page || kind == ControlKind::Sheet;
}

BOOL IsMultiLine(const CWnd& wnd) {
  return wnd.GetKind() == ControlKind::PushButton && (wnd.GetStyle() & BS_MULTILINE) != 0;
}

QWidget* NewStatic(DWORD dwStyle, QWidget* pParent) {
  auto* pLabel = new CQtStaticText(pParent);
  Qt::Alignment align = Qt::AlignLeft;
  if ((dwStyle & SS_TYPEMASK) == SS_CENTER) align = Qt::AlignHCenter;
  if ((dwStyle & SS_TYPEMASK) == SS_RIGHT) align = Qt::AlignRight;
  align |= (dwStyle & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop;
  pLabel->setAlignment(align);
  // A static wraps its text to its width, between any two Japanese
  // characters; the one-character-wide statics rely on it.
  pLabel->setWordWrap((dwStyle & SS_CENTERIMAGE) == 0);
  if (dwStyle & SS_SUNKEN) {
    pLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pLabel->setIndent(2);
  }
  pLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
  return pLabel;
}

QWidget* NewEdit(DWORD dwStyle, QWidget* pParent) {
  auto* pEdit = new QLineEdit(pParent);
  pEdit->setValidator(new CQtByteLimitValidator(pEdit));
  pEdit->setFrame((dwStyle & WS_BORDER) != 0);
  pEdit->setTextMargins(1, 0, 1, 0);
  return pEdit;
}

QWidget* NewListView(DWORD dwStyle, QWidget* pParent) {
  auto* pTree = new CQtListView(pParent);
  pTree->setRootIsDecorated(false);
  pTree->setItemsExpandable(false);
  pTree->setUniformRowHeights(true);
  pTree->setSelectionBehavior(QAbstractItemView::SelectRows);
  pTree->header()->setStretchLastSection(false);
  pTree->header()->setSectionsMovable(false);
  pTree->setFrameShape((dwStyle & WS_BORDER) ? QFrame::StyledPanel : QFrame::NoFrame);
  return pTree;
}

void UpdateButton(QWidget* pWidget, const QString& strText) {
  if (auto* pMulti = dynamic_cast<CQtMultiLineButton*>(pWidget)) {
    pMulti->SetCaption(strText);
  } else if (auto* pButton = qobject_cast<QPushButton*>(pWidget);
             pButton && pButton->text() != strText) {
    pButton->setText(strText);
  }
}

void UpdateCheckBox(const CWnd& wnd, QCheckBox& box, const QString& strText) {
  if (box.text() != strText) box.setText(strText);
  const auto* pButton = dynamic_cast<const CButton*>(&wnd);
  const int nCheck = pButton ? pButton->GetCheck() : BST_UNCHECKED;
  box.setTristate(nCheck == BST_INDETERMINATE);
  box.setCheckState(nCheck == BST_CHECKED         ? Qt::Checked
                    : nCheck == BST_INDETERMINATE ? Qt::PartiallyChecked
                                                  : Qt::Unchecked);
}

// The rows are set again only when they differ from those shown.
void UpdateCombo(CWnd& wnd, QComboBox& combo) {
  auto* pCCombo = dynamic_cast<CComboBox*>(&wnd);
  const int nCount = pCCombo ? pCCombo->GetCount() : 0;
  QStringList items;
  for (int i = 0; i < nCount; ++i) {
    CString strItem;
    pCCombo->GetLBText(i, strItem);
    items.push_back(QtFromCp932(strItem));
  }
  QStringList current;
  for (int i = 0; i < combo.count(); ++i) current.push_back(combo.itemText(i));
  if (current != items) {
    combo.clear();
    combo.addItems(items);
  }
  combo.setCurrentIndex(pCCombo ? pCCombo->GetCurSel() : -1);
}

// Tooltip texts are plain; long ones wrap rather than run off the screen.
QString TipMarkup(const CString& strText) {
  if (strText.empty()) return QString();
  QString strEscaped = QtFromCp932(strText).toHtmlEscaped();
  strEscaped.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
  return QStringLiteral("<qt>") + strEscaped + QStringLiteral("</qt>");
}

Qt::Alignment ColumnAlignment(int nFormat) {
  switch (nFormat & 3) {
    case LVCFMT_RIGHT:
      return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

}  // namespace

CQtDialogView::CQtDialogView(CDialog& dlg, QWidget* pOwner, std::function<void()> afterInput)
    : m_dlg(dlg),
      m_bSheet(dlg.GetKind() == ControlKind::Sheet),
      m_pWindow(new CQtDialogWindow(
          pOwner,
          [this] {
            Input([this] { m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
          })),
      m_afterInput(std::move(afterInput)),
      m_bResizable(!m_bSheet && dlg.GetTemplate() &&
                   (dlg.GetTemplate()->dwStyle & WS_THICKFRAME) != 0) {
  m_pWindow->setFont(MetricsOf(m_dlg).Font());
  if (m_bResizable) m_pWindow->SetOnResize([this] { Layout(); });
  m_pWindow->setObjectName(QtFromCp932(m_dlg.GetUiName()));
  if (m_bSheet) {
    m_pPageFrame = new QFrame(m_pWindow);
    static_cast<QFrame*>(m_pPageFrame)->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    m_pTabs = new QTabBar(m_pWindow);
    m_pTabs->setDrawBase(false);
    m_pTabs->setExpanding(false);
    m_pTabs->setFocusPolicy(Qt::NoFocus);
    QObject::connect(m_pTabs, &QTabBar::currentChanged, m_pTabs, [this](int nIndex) {
      if (m_nUpdating) return;
      auto& sheet = static_cast<CPropertySheet&>(m_dlg);
      if (nIndex != sheet.GetActiveIndex())
        Input([&sheet, nIndex] { sheet.SetActivePage(nIndex); });
    });
  }
  m_entries.emplace(&m_dlg, Entry{m_pWindow, m_dlg.GetKind(), 0});
  m_windows.emplace(m_pWindow, &m_dlg);
  Sync();
}

CQtDialogView::~CQtDialogView() {
  if (m_bResizable) RememberedSizes()[m_dlg.GetTemplateID()] = m_pWindow->size();
  m_pWindow->hide();
  delete m_pWindow;
}

QWidget* CQtDialogView::FindWidget(const CWnd* pWnd) const {
  auto it = m_entries.find(pWnd);
  return it == m_entries.end() ? nullptr : it->second.pWidget.data();
}

CWnd* CQtDialogView::FindWnd(const QWidget* pWidget) const {
  for (const QWidget* p = pWidget; p; p = p->parentWidget()) {
    auto it = m_windows.find(p);
    if (it != m_windows.end()) return it->second;
    if (p == m_pWindow) break;
  }
  return nullptr;
}

void CQtDialogView::Show() {
  const QWidget* pOwner = m_pWindow->parentWidget();
  const bool bOwnerShown = pOwner && pOwner->isVisible();
  QScreen* pScreen = bOwnerShown ? pOwner->window()->screen() : QGuiApplication::primaryScreen();
  const QRect rcAvailable = pScreen ? pScreen->availableGeometry() : QRect();
  if (rcAvailable.isValid()) {
    FitInto(rcAvailable);
  } else {
    Layout();
  }
  if (rcAvailable.isValid()) {
    const QSize frame = FrameAllowance();
    QRect rc(QPoint(0, 0), m_pWindow->size() + frame);
    rc.moveCenter(bOwnerShown ? pOwner->window()->frameGeometry().center() : rcAvailable.center());
    // Inside the available area, the title bar first when it cannot all fit.
    rc.moveLeft(
        std::max(rcAvailable.left(), std::min(rc.left(), rcAvailable.right() + 1 - rc.width())));
    rc.moveTop(
        std::max(rcAvailable.top(), std::min(rc.top(), rcAvailable.bottom() + 1 - rc.height())));
    m_pWindow->move(rc.topLeft());
  }
  m_pWindow->show();
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) m_pWindow->raise();
  m_pWindow->activateWindow();
  if (CWnd* pFocus = CWnd::GetFocus(); pFocus && Contains(*pFocus)) FocusTo(*pFocus);
  // The focused row of each list in view, now that the lists have their size.
  for (const auto& [pWnd, entry] : m_entries) {
    if (auto* pTree = qobject_cast<QTreeWidget*>(entry.pWidget.data());
        pTree && pTree->currentItem()) {
      pTree->scrollToItem(pTree->currentItem());
    }
  }
}

QSize CQtDialogView::FrameAllowance() const {
  const QStyle* pStyle = m_pWindow->style();
  const int nTitle = std::max(pStyle->pixelMetric(QStyle::PM_TitleBarHeight),
                              QFontMetrics(QApplication::font()).height() + 10);
  const int nBorder = 4;
  return QSize(2 * nBorder, nTitle + 2 * nBorder);
}

void CQtDialogView::FitInto(const QRect& rcAvailable) {
  const QSize room = rcAvailable.size() - FrameAllowance();
  for (int nPercent = 100;; nPercent -= kShrinkStep) {
    ScaleTo(nPercent);
    const QSize need = m_bResizable ? m_baseSize : m_pWindow->size();
    if ((need.width() <= room.width() && need.height() <= room.height()) ||
        nPercent - kShrinkStep < kMinPercent) {
      break;
    }
  }
  if (!m_bResizable) return;
  // A size the user chose earlier in the session, within the screen.
  QSize size = m_pWindow->size();
  if (auto it = RememberedSizes().find(m_dlg.GetTemplateID()); it != RememberedSizes().end()) {
    size = it->second;
  }
  size = size.boundedTo(room).expandedTo(m_pWindow->minimumSize());
  if (m_pWindow->size() != size) m_pWindow->resize(size);
}

void CQtDialogView::ScaleTo(int nPercent) {
  if (nPercent == m_nPercent) {
    Layout();
    return;
  }
  m_nPercent = nPercent;
  m_metrics.clear();
  m_pWindow->setFont(MetricsOf(m_dlg).Font());
  for (const auto& [pWnd, entry] : m_entries) {
    if (!entry.pWidget || pWnd == &m_dlg) continue;
    if (entry.kind == ControlKind::Page) entry.pWidget->setFont(MetricsOf(*pWnd).Font());
  }
  Layout();
  for (const auto& [pWnd, entry] : m_entries) {
    if (!entry.pWidget || pWnd == &m_dlg) continue;
    entry.pWidget->setGeometry(GeometryOf(*pWnd));
    auto* pTree = qobject_cast<QTreeWidget*>(entry.pWidget.data());
    if (const auto* pList = dynamic_cast<const CListCtrl*>(pWnd); pList && pTree) {
      ApplyColumnWidths(*pList, *pTree);
    }
  }
}

void CQtDialogView::Sync() {
  std::set<const CWnd*> seen;
  m_tooltips.clear();
  SyncTree(m_dlg, seen);
  std::vector<const CWnd*> gone;
  for (const auto& [pWnd, entry] : m_entries) {
    if (!seen.count(pWnd)) gone.push_back(pWnd);
  }
  for (const CWnd* pWnd : gone) Drop(pWnd);
  // Statics again: the controls their access keys lead to exist now.
  std::vector<CWnd*> statics;
  for (const auto& [pWnd, entry] : m_entries) {
    if (entry.kind == ControlKind::Static) statics.push_back(const_cast<CWnd*>(pWnd));
  }
  for (CWnd* pStatic : statics) Update(*pStatic);
  ApplyToolTips();
  if (m_bSheet) UpdateTabs();
  Layout();
  if (CWnd* pFocus = CWnd::GetFocus(); pFocus && Contains(*pFocus)) {
    QWidget* pWidget = FindWidget(pFocus);
    if (pWidget && !pWidget->hasFocus()) FocusTo(*pFocus);
  }
  ShowDefaultButton();
}

void CQtDialogView::SyncTree(CWnd& wnd, std::set<const CWnd*>& seen) {
  if (!wnd.GetSafeHwnd()) return;
  seen.insert(&wnd);
  if (&wnd != &m_dlg) {
    const bool bNew = Ensure(wnd);
    Update(wnd);
    // The selection set before the widget existed (the dialog's first focus).
    if (auto* pEdit = dynamic_cast<CEdit*>(&wnd); pEdit && bNew) ShowSelection(*pEdit);
  } else {
    Update(wnd);
  }
  if (wnd.GetKind() == ControlKind::ToolTip) m_tooltips.push_back(&wnd);
  // Copied: a child may go while its parent is walked.
  const std::vector<CWnd*> children = wnd.GetChildren();
  for (CWnd* pChild : children) SyncTree(*pChild, seen);
}

bool CQtDialogView::Ensure(CWnd& wnd) {
  auto it = m_entries.find(&wnd);
  if (it != m_entries.end()) {
    // The address may have been reused by another window.
    if (it->second.kind == wnd.GetKind() && it->second.nID == wnd.GetDlgCtrlID() &&
        (it->second.pWidget || wnd.GetKind() == ControlKind::ToolTip)) {
      return false;
    }
    Drop(&wnd);
  }
  CWnd* pParent = wnd.GetParent();
  QWidget* pParentWidget = pParent ? FindWidget(pParent) : nullptr;
  if (!pParentWidget) pParentWidget = m_pWindow;
  QWidget* pWidget = Create(wnd, pParentWidget);
  m_entries[&wnd] = Entry{pWidget, wnd.GetKind(), wnd.GetDlgCtrlID()};
  if (!pWidget) return true;
  m_windows[pWidget] = &wnd;
  pWidget->setGeometry(GeometryOf(wnd));
  Wire(wnd, pWidget);
  if (wnd.GetKind() == ControlKind::GroupBox) {
    pWidget->lower();
  } else if (wnd.GetKind() == ControlKind::Page && m_pPageFrame) {
    m_pPageFrame->lower();
  }
  return true;
}

QWidget* CQtDialogView::Create(CWnd& wnd, QWidget* pParent) {
  const DWORD dwStyle = wnd.GetStyle();
  QWidget* pWidget = nullptr;
  switch (wnd.GetKind()) {
    case ControlKind::Static:
      pWidget = NewStatic(dwStyle, pParent);
      break;
    case ControlKind::Edit:
      pWidget = NewEdit(dwStyle, pParent);
      break;
    case ControlKind::PushButton:
      pWidget = IsMultiLine(wnd) ? new CQtMultiLineButton(pParent) : new CQtPushButton(pParent);
      break;
    case ControlKind::CheckBox:
      pWidget = new QCheckBox(pParent);
      break;
    case ControlKind::GroupBox:
      pWidget = new QGroupBox(pParent);
      pWidget->setAttribute(Qt::WA_TransparentForMouseEvents);
      pWidget->setFocusPolicy(Qt::NoFocus);
      break;
    case ControlKind::ComboBox:
      pWidget = new QComboBox(pParent);
      break;
    case ControlKind::ListView:
      pWidget = NewListView(dwStyle, pParent);
      break;
    case ControlKind::ToolTip:
      return nullptr;
    case ControlKind::Page:
      pWidget = new QWidget(pParent);
      pWidget->setFont(MetricsOf(wnd).Font());
      pWidget->setObjectName(
          QStringLiteral("page%1").arg(static_cast<const CDialog&>(wnd).GetTemplateID()));
      break;
    default:
      pWidget = new QWidget(pParent);
      break;
  }
  if (pWidget->focusPolicy() & Qt::TabFocus) {
    // Tab keys go to the window objects; Qt's own focus moves (Ctrl+Tab)
    // stop only at the template's tab stops.
    pWidget->setFocusPolicy((dwStyle & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
  }
  if (wnd.GetDlgCtrlID() != 0 && !IsDialogKind(wnd.GetKind())) {
    pWidget->setObjectName(QStringLiteral("id%1").arg(wnd.GetDlgCtrlID()));
  }
  return pWidget;
}

void CQtDialogView::Wire(CWnd&, QWidget* pWidget) {
  // Each handler looks the window up again: it may have gone meanwhile.
  const WndOf wndOf = [this, pWidget]() -> CWnd* {
    auto it = m_windows.find(pWidget);
    return it == m_windows.end() ? nullptr : it->second;
  };
  if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget)) {
    QObject::connect(pButton, &QAbstractButton::clicked, pButton, [this, wndOf] {
      if (m_nUpdating) return;
      if (CWnd* pWnd = wndOf()) Input([pWnd] { CUiInput::Click(*pWnd); });
    });
  } else if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget)) {
    WireEdit(pEdit, wndOf);
  } else if (auto* pCombo = qobject_cast<QComboBox*>(pWidget)) {
    WireCombo(pCombo, wndOf);
  } else if (auto* pTree = qobject_cast<QTreeWidget*>(pWidget)) {
    WireList(pTree, wndOf);
  }
}

void CQtDialogView::WireEdit(QLineEdit* pEdit, const WndOf& wndOf) {
  QObject::connect(pEdit, &QLineEdit::textEdited, pEdit,
                   [this, wndOf, pEdit](const QString& strText) {
                     if (m_nUpdating) return;
                     CWnd* pWnd = wndOf();
                     CString strTyped;
                     if (!pWnd) return;
                     if (!QtToCp932(strText, strTyped)) {
                       // Shown as typed; refused before the user leaves the field.
                       m_pForeign = pEdit;
                       return;
                     }
                     if (m_pForeign == pEdit) m_pForeign = nullptr;
                     Input([pWnd, &strTyped] { CUiInput::TypeText(*pWnd, strTyped); });
                   });
}

void CQtDialogView::WireCombo(QComboBox* pCombo, const WndOf& wndOf) {
  QObject::connect(pCombo, &QComboBox::activated, pCombo, [this, wndOf](int nIndex) {
    if (m_nUpdating) return;
    auto* pWnd = dynamic_cast<CComboBox*>(wndOf());
    if (!pWnd || !pWnd->IsReachable()) return;
    Input([pWnd, nIndex] {
      pWnd->TakeFocus(FALSE);
      pWnd->SetCurSel(nIndex);
      if (CWnd* pParent = pWnd->GetParent()) {
        pParent->SendMessage(WM_COMMAND,
                             MAKEWPARAM(static_cast<WORD>(pWnd->GetDlgCtrlID()), CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(pWnd->GetSafeHwnd()));
      }
    });
  });
}

void CQtDialogView::WireList(QTreeWidget* pTree, const WndOf& wndOf) {
  QObject::connect(
      pTree, &QTreeWidget::itemChanged, pTree,
      [this, wndOf, pTree](QTreeWidgetItem* pItem, int nColumn) {
        if (m_nUpdating || nColumn != 0) return;
        auto* pList = dynamic_cast<CListCtrl*>(wndOf());
        if (!pList) return;
        const int nRow = pTree->indexOfTopLevelItem(pItem);
        const BOOL bChecked = pItem->checkState(0) == Qt::Checked;
        if (nRow < 0 || pList->GetCheck(nRow) == bChecked) return;
        Input([pList, nRow, bChecked] { CUiInput::SetRowCheck(*pList, nRow, bChecked); });
      });
  QObject::connect(pTree, &QTreeWidget::currentItemChanged, pTree,
                   [this, wndOf, pTree](QTreeWidgetItem* pItem, QTreeWidgetItem*) {
                     if (m_nUpdating || !pItem) return;
                     auto* pList = dynamic_cast<CListCtrl*>(wndOf());
                     if (!pList) return;
                     const int nRow = pTree->indexOfTopLevelItem(pItem);
                     if (nRow < 0 || pList->GetItemState(nRow, LVIS_SELECTED)) return;
                     Input([pList, nRow] { CUiInput::SelectRow(*pList, nRow); });
                   });
  QObject::connect(pTree, &QTreeWidget::itemDoubleClicked, pTree,
                   [this, wndOf, pTree](QTreeWidgetItem* pItem, int) {
                     if (m_nUpdating || !pItem) return;
                     auto* pList = dynamic_cast<CListCtrl*>(wndOf());
                     const int nRow = pTree->indexOfTopLevelItem(pItem);
                     if (!pList || nRow < 0) return;
                     Input([pList, nRow] { CUiInput::DoubleClickRow(*pList, nRow); });
                   });
}

void CQtDialogView::Update(CWnd& wnd) {
  QWidget* pWidget = FindWidget(&wnd);
  if (!pWidget) return;
  ++m_nUpdating;
  const QSignalBlocker blocker(pWidget);
  const QString strText = QtFromCp932(wnd.GetText());
  if (&wnd == &m_dlg) {
    if (pWidget->windowTitle() != strText) pWidget->setWindowTitle(strText);
    pWidget->setEnabled(wnd.IsWindowEnabled());
    --m_nUpdating;
    return;
  }
  const bool bVisible = (wnd.GetStyle() & WS_VISIBLE) != 0;
  if (pWidget->isHidden() == bVisible) pWidget->setVisible(bVisible);
  const bool bEnabled = wnd.IsWindowEnabled() != FALSE;
  if (pWidget->isEnabledTo(pWidget->parentWidget()) != bEnabled) pWidget->setEnabled(bEnabled);
  switch (wnd.GetKind()) {
    case ControlKind::Static:
      if (auto* pLabel = qobject_cast<QLabel*>(pWidget)) UpdateStatic(wnd, *pLabel, strText);
      break;
    case ControlKind::Edit:
      if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget)) UpdateEdit(wnd, *pEdit, strText);
      break;
    case ControlKind::PushButton:
      UpdateButton(pWidget, strText);
      break;
    case ControlKind::CheckBox:
      if (auto* pBox = qobject_cast<QCheckBox*>(pWidget)) UpdateCheckBox(wnd, *pBox, strText);
      break;
    case ControlKind::GroupBox:
      if (auto* pGroup = qobject_cast<QGroupBox*>(pWidget); pGroup && pGroup->title() != strText) {
        pGroup->setTitle(strText);
      }
      break;
    case ControlKind::ComboBox:
      if (auto* pCombo = qobject_cast<QComboBox*>(pWidget)) UpdateCombo(wnd, *pCombo);
      break;
    case ControlKind::ListView:
      if (auto* pTree = qobject_cast<QTreeWidget*>(pWidget)) {
        if (auto* pList = dynamic_cast<CListCtrl*>(&wnd)) UpdateList(*pList, *pTree);
      }
      break;
    default:
      break;
  }
  --m_nUpdating;
}

void CQtDialogView::UpdateStatic(const CWnd& wnd, QLabel& label, const QString& strText) {
  // An access key in a static moves the focus to the control it names;
  // without one to go to, the mark is not shown.
  const bool bMnemonic = !(wnd.GetStyle() & SS_NOPREFIX) && strText.contains(QLatin1Char('&'));
  QWidget* pBuddy = bMnemonic ? BuddyOf(wnd) : nullptr;
  const QString strShown = bMnemonic && !pBuddy ? QtStripMnemonic(strText) : strText;
  if (label.buddy() != pBuddy) label.setBuddy(pBuddy);
  if (label.text() != strShown) label.setText(strShown);
}

void CQtDialogView::UpdateEdit(CWnd& wnd, QLineEdit& edit, const QString& strText) {
  if (edit.text() != strText && &edit != m_pForeign) {
    // As SetWindowText leaves an edit: its text shown from the start.
    edit.setText(strText);
    edit.setCursorPosition(0);
  }
  edit.setReadOnly((wnd.GetStyle() & ES_READONLY) != 0);
  auto* pValidator = static_cast<CQtByteLimitValidator*>(const_cast<QValidator*>(edit.validator()));
  if (auto* pCEdit = dynamic_cast<CEdit*>(&wnd); pCEdit && pValidator) {
    pValidator->SetLimit(static_cast<int>(pCEdit->GetLimitText()));
    pValidator->SetDigits(pCEdit->IsDigitsField() != FALSE);
  }
}

QWidget* CQtDialogView::BuddyOf(const CWnd& wnd) const {
  const CWnd* pTarget = CDialog::GetLabelTarget(wnd);
  return pTarget ? FindWidget(pTarget) : nullptr;
}

void CQtDialogView::UpdateList(CListCtrl& list, QTreeWidget& tree) {
  const QSignalBlocker blocker(tree.selectionModel());
  const auto& columns = list.GetColumns();
  const int nColumns = std::max<int>(1, static_cast<int>(columns.size()));
  QStringList headings;
  for (const ListColumn& column : columns) headings.push_back(QtFromCp932(column.strHeading));
  QStringList shown;
  if (QTreeWidgetItem* pHeader = tree.headerItem()) {
    for (int i = 0; i < tree.columnCount(); ++i) shown.push_back(pHeader->text(i));
  }
  if (tree.columnCount() != nColumns || (!columns.empty() && shown != headings)) {
    tree.setColumnCount(nColumns);
    if (!columns.empty()) tree.setHeaderLabels(headings);
    ApplyColumnWidths(list, tree);
  }
  tree.setHeaderHidden(columns.empty());
  const DWORD dwEx = list.GetExtendedStyle();
  const bool bChecks = (dwEx & LVS_EX_CHECKBOXES) != 0;
  tree.setAllColumnsShowFocus((dwEx & LVS_EX_FULLROWSELECT) != 0);
  tree.setSelectionMode((list.GetStyle() & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                                          : QAbstractItemView::ExtendedSelection);

  const int nRows = list.GetItemCount();
  if (tree.topLevelItemCount() != nRows) {
    tree.clear();
    for (int i = 0; i < nRows; ++i) tree.addTopLevelItem(new QTreeWidgetItem());
  }
  QTreeWidgetItem* pCurrent = nullptr;
  for (int i = 0; i < nRows; ++i) {
    const ListRow* pRow = list.GetRow(i);
    QTreeWidgetItem* pItem = tree.topLevelItem(i);
    for (int c = 0; c < nColumns; ++c) {
      const QString strCell = c < static_cast<int>(pRow->arTexts.size())
                                  ? QtFromCp932(pRow->arTexts[static_cast<size_t>(c)])
                                  : QString();
      if (pItem->text(c) != strCell) pItem->setText(c, strCell);
      if (c < static_cast<int>(columns.size())) {
        pItem->setTextAlignment(c, ColumnAlignment(columns[static_cast<size_t>(c)].nFormat));
      }
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (bChecks) flags |= Qt::ItemIsUserCheckable;
    if (pItem->flags() != flags) pItem->setFlags(flags);
    if (bChecks) {
      const Qt::CheckState state = list.GetCheck(i) ? Qt::Checked : Qt::Unchecked;
      if (pItem->data(0, Qt::CheckStateRole) != QVariant(static_cast<int>(state))) {
        pItem->setCheckState(0, state);
      }
    } else if (pItem->data(0, Qt::CheckStateRole).isValid()) {
      pItem->setData(0, Qt::CheckStateRole, QVariant());
    }
    const bool bSelected = (pRow->nState & LVIS_SELECTED) != 0;
    if (pItem->isSelected() != bSelected) pItem->setSelected(bSelected);
    if (pRow->nState & LVIS_FOCUSED) pCurrent = pItem;
  }
  if (pCurrent && tree.currentItem() != pCurrent) {
    tree.setCurrentItem(pCurrent, 0, QItemSelectionModel::NoUpdate);
  }
}

void CQtDialogView::ApplyColumnWidths(const CListCtrl& list, QTreeWidget& tree) const {
  const auto& columns = list.GetColumns();
  // The last column takes the list's width: what does not fit is cut with
  // an ellipsis, not hidden past the list's edge.
  for (int i = 0; i + 1 < static_cast<int>(columns.size()); ++i) {
    const int nWidth = columns[static_cast<size_t>(i)].nWidth;
    if (nWidth >= 0) tree.setColumnWidth(i, nWidth * m_nPercent / 100);
  }
  if (auto* pList = dynamic_cast<CQtListView*>(&tree)) pList->FitLastColumn();
}

void CQtDialogView::UpdateTabs() {
  auto& sheet = static_cast<CPropertySheet&>(m_dlg);
  ++m_nUpdating;
  const QSignalBlocker blocker(m_pTabs);
  while (m_pTabs->count() > sheet.GetPageCount()) m_pTabs->removeTab(m_pTabs->count() - 1);
  while (m_pTabs->count() < sheet.GetPageCount()) m_pTabs->addTab(QString());
  for (int i = 0; i < sheet.GetPageCount(); ++i) {
    const QString strCaption = QtFromCp932(sheet.GetPage(i)->GetCaption());
    if (m_pTabs->tabText(i) != strCaption) m_pTabs->setTabText(i, strCaption);
  }
  if (sheet.GetActiveIndex() >= 0) m_pTabs->setCurrentIndex(sheet.GetActiveIndex());
  m_pTabs->setEnabled(sheet.IsWindowEnabled());
  --m_nUpdating;
}

void CQtDialogView::ApplyToolTips() {
  std::map<QWidget*, QString> tips;
  for (const CWnd* pWnd : m_tooltips) {
    const auto* pTip = dynamic_cast<const CToolTipCtrl*>(pWnd);
    if (!pTip || !pTip->IsActive()) continue;
    for (const ToolTipTool& tool : pTip->GetTools()) {
      if (QWidget* pWidget = FindWidget(tool.pWnd)) tips[pWidget] = TipMarkup(tool.strText);
    }
  }
  for (const QPointer<QWidget>& pWidget : m_tipped) {
    if (pWidget && !tips.count(pWidget.data())) pWidget->setToolTip(QString());
  }
  m_tipped.clear();
  for (const auto& [pWidget, strTip] : tips) {
    if (pWidget->toolTip() != strTip) pWidget->setToolTip(strTip);
    m_tipped.emplace_back(pWidget);
  }
}

void CQtDialogView::Changed(CWnd& wnd) {
  auto it = m_entries.find(&wnd);
  if (it == m_entries.end() || it->second.kind != wnd.GetKind() ||
      it->second.nID != wnd.GetDlgCtrlID()) {
    Sync();
    return;
  }
  Update(wnd);
  if (wnd.GetKind() == ControlKind::PushButton) ShowDefaultButton();
  if (wnd.GetKind() == ControlKind::ToolTip) ApplyToolTips();
  if (m_bSheet && (&wnd == &m_dlg || wnd.GetKind() == ControlKind::Page)) UpdateTabs();
}

void CQtDialogView::Destroyed(const CWnd& wnd) {
  if (&wnd == &m_dlg) return;
  Drop(&wnd);
}

void CQtDialogView::Drop(const CWnd* pWnd) {
  auto it = m_entries.find(pWnd);
  if (it == m_entries.end()) return;
  QPointer<QWidget> pWidget = it->second.pWidget;
  m_entries.erase(it);
  if (!pWidget) return;
  // The widget and everything inside it go; their keys are compared, never
  // followed.
  m_windows.erase(pWidget.data());
  for (const QWidget* pInner : pWidget->findChildren<QWidget*>()) m_windows.erase(pInner);
  pWidget->hide();
  // The widget may be the one whose signal is being handled.
  pWidget->deleteLater();
}

void CQtDialogView::FocusTo(const CWnd& wnd) {
  QWidget* pWidget = FindWidget(&wnd);
  if (pWidget && !pWidget->hasFocus()) {
    ++m_nUpdating;
    pWidget->setFocus(Qt::OtherFocusReason);
    --m_nUpdating;
  }
  ShowDefaultButton();
}

void CQtDialogView::ShowSelection(CEdit& edit) {
  auto* pEdit = qobject_cast<QLineEdit*>(FindWidget(&edit));
  if (!pEdit) return;
  // The window objects count bytes of CP932 text, Qt characters.
  int nStart = 0;
  int nEnd = 0;
  edit.GetSel(nStart, nEnd);
  const CString& strText = edit.GetText();
  const auto chars = [&strText](int nBytes) {
    return static_cast<int>(
        QtFromCp932(strText.substr(0, static_cast<std::size_t>(nBytes))).size());
  };
  pEdit->setSelection(chars(nStart), chars(nEnd) - chars(nStart));
}

void CQtDialogView::ShowDefaultButton() {
  const CWnd* pFocus = CWnd::GetFocus();
  const bool bOnButton =
      pFocus && Contains(*pFocus) && pFocus->GetKind() == ControlKind::PushButton;
  for (const auto& [pWnd, entry] : m_entries) {
    auto* pButton = qobject_cast<QPushButton*>(entry.pWidget.data());
    if (!pButton || entry.kind != ControlKind::PushButton) continue;
    const auto* pCButton = dynamic_cast<const CButton*>(pWnd);
    const bool bDefault = bOnButton ? pWnd == pFocus : pCButton && pCButton->IsDefaultButton();
    if (pButton->isDefault() != bDefault) pButton->setDefault(bDefault);
  }
}

const CWnd* CQtDialogView::Container(const CWnd& wnd) const {
  for (const CWnd* p = wnd.GetParent(); p; p = p->GetParent()) {
    if (IsDialogKind(p->GetKind())) return p;
    if (p == &m_dlg) return p;
  }
  return &m_dlg;
}

const CQtDialogMetrics& CQtDialogView::MetricsOf(const CWnd& container) const {
  auto it = m_metrics.find(&container);
  if (it != m_metrics.end()) return *it->second;
  const DialogTemplate* pTemplate = nullptr;
  if (container.GetKind() == ControlKind::Sheet) {
    const auto& sheet = static_cast<const CPropertySheet&>(container);
    for (int i = 0; i < sheet.GetPageCount() && !pTemplate; ++i) {
      pTemplate = sheet.GetPage(i)->GetTemplate();
    }
  } else if (IsDialogKind(container.GetKind())) {
    pTemplate = static_cast<const CDialog&>(container).GetTemplate();
  }
  return *m_metrics.emplace(&container, std::make_unique<CQtDialogMetrics>(pTemplate, m_nPercent))
              .first->second;
}

int CQtDialogView::TabHeight() const {
  return m_pTabs ? QFontMetrics(MetricsOf(m_dlg).Font()).height() + 12 : 0;
}

QPoint CQtDialogView::SheetOrigin() const {
  const int nMargin = MetricsOf(m_dlg).ToPixelX(4);
  return QPoint(nMargin, nMargin + TabHeight());
}

QRect CQtDialogView::GeometryOf(const CWnd& wnd) const {
  if (wnd.GetKind() == ControlKind::Page) {
    return MetricsOf(wnd).ToPixels(wnd.GetDialogUnitRect()).translated(SheetOrigin());
  }
  const CWnd* pContainer = Container(wnd);
  const CQtDialogMetrics& metrics = MetricsOf(*pContainer);
  QRect rc = metrics.ToPixels(wnd.GetDialogUnitRect());
  if (wnd.GetKind() == ControlKind::ComboBox) {
    // The template's height is that of the dropped-down list.
    rc.setHeight(std::min(rc.height(), QFontMetrics(metrics.Font()).height() + 8));
  }
  if (wnd.GetKind() == ControlKind::CheckBox) rc = WidenedToText(wnd, rc, metrics);
  if (m_bSheet && pContainer == &m_dlg) rc.translate(SheetOrigin());
  if (m_bResizable && pContainer == &m_dlg) rc = Stretched(rc);
  return rc;
}

QRect CQtDialogView::WidenedToText(const CWnd& wnd, const QRect& rc,
                                   const CQtDialogMetrics& metrics) const {
  QCheckBox probe(QtFromCp932(wnd.GetText()));
  probe.setFont(metrics.Font());
  const int nNeed = probe.sizeHint().width();
  const CWnd* pContainer = Container(wnd);
  const auto* pDialog = dynamic_cast<const CDialog*>(pContainer);
  const DialogTemplate* pTemplate = pDialog ? pDialog->GetTemplate() : nullptr;
  const int nRight = pTemplate ? metrics.ToPixelX(pTemplate->cx) : rc.right() + 1;
  QRect rcWide = rc;
  rcWide.setWidth(std::max(rc.width(), std::min(nNeed, nRight - rc.left())));
  return rcWide;
}

QRect CQtDialogView::Stretched(const QRect& rc) const {
  if (!m_rcGrow.isValid()) return rc;
  const int dx = std::max(0, m_pWindow->width() - m_baseSize.width());
  const int dy = std::max(0, m_pWindow->height() - m_baseSize.height());
  if (rc == m_rcGrow) return rc.adjusted(0, 0, dx, dy);
  QRect rcOut = rc;
  if (rc.top() >= m_rcGrow.bottom()) rcOut.translate(0, dy);
  if (rc.left() <= m_rcGrow.left() + 2 && rc.right() >= m_rcGrow.right() - 2) {
    rcOut.setWidth(rc.width() + dx);
  }
  return rcOut;
}

void CQtDialogView::Layout() {
  const CQtDialogMetrics& metrics = MetricsOf(m_dlg);
  QSize size;
  if (m_bResizable) {
    m_baseSize = metrics.ToPixels(m_dlg.GetDialogUnitRect()).size();
    m_rcGrow = QRect();
    for (const CWnd* pChild : m_dlg.GetChildren()) {
      if (pChild->GetKind() == ControlKind::ListView) {
        m_rcGrow = metrics.ToPixels(pChild->GetDialogUnitRect());
        break;
      }
    }
    m_pWindow->setMinimumSize(m_baseSize);
    if (!m_pWindow->testAttribute(Qt::WA_Resized)) {
      m_pWindow->resize(m_baseSize);
    } else if (m_pWindow->width() < m_baseSize.width() ||
               m_pWindow->height() < m_baseSize.height()) {
      m_pWindow->resize(m_pWindow->size().expandedTo(m_baseSize));
    }
    for (const CWnd* pChild : m_dlg.GetChildren()) {
      QWidget* pWidget = FindWidget(pChild);
      if (pWidget && pWidget->geometry() != GeometryOf(*pChild)) {
        pWidget->setGeometry(GeometryOf(*pChild));
      }
    }
    return;
  }
  if (!m_bSheet) {
    size = metrics.ToPixels(m_dlg.GetDialogUnitRect()).size();
  } else {
    const int nMargin = metrics.ToPixelX(4);
    const QPoint origin = SheetOrigin();
    // The frame holds the pages; the sheet's own rectangle also takes in its
    // button row.
    const auto& sheet = static_cast<const CPropertySheet&>(m_dlg);
    QRect rcPages(origin, QSize(0, 0));
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
      if (const DialogTemplate* pTemplate = sheet.GetPage(i)->GetTemplate()) {
        rcPages = rcPages.united(
            metrics.ToPixels(RECT{0, 0, pTemplate->cx, pTemplate->cy}).translated(origin));
      }
    }
    QRect rcAll = rcPages.united(metrics.ToPixels(m_dlg.GetDialogUnitRect()).translated(origin));
    for (const CWnd* pChild : m_dlg.GetChildren()) {
      if (pChild->GetKind() == ControlKind::ToolTip) continue;
      rcAll = rcAll.united(GeometryOf(*pChild));
    }
    m_pTabs->setGeometry(nMargin, nMargin, rcPages.width(), TabHeight());
    m_pPageFrame->setGeometry(rcPages);
    for (const CWnd* pChild : m_dlg.GetChildren()) {
      QWidget* pWidget = FindWidget(pChild);
      if (pWidget && pWidget->geometry() != GeometryOf(*pChild)) {
        pWidget->setGeometry(GeometryOf(*pChild));
      }
    }
    size = QSize(rcAll.right() + 1 + nMargin, rcAll.bottom() + 1 + nMargin);
  }
  if (m_pWindow->size() != size) m_pWindow->setFixedSize(size);
}

bool CQtDialogView::RefusesForeignText() {
  if (m_bRefusing) return true;
  if (!m_pForeign) return false;
  const QString strChar = QtFirstForeignChar(m_pForeign->text());
  if (strChar.isEmpty()) {
    m_pForeign = nullptr;
    return false;
  }
  m_bRefusing = true;
  const QPointer<QLineEdit> pEdit = m_pForeign;
  CQtMessageBox::Warn(m_pWindow, m_pWindow->windowTitle(), QtForeignCharMessage(strChar));
  m_bRefusing = false;
  if (pEdit) {
    pEdit->setFocus(Qt::OtherFocusReason);
    pEdit->selectAll();
  }
  return true;
}

void CQtDialogView::Input(const std::function<void()>& action) {
  if (RefusesForeignText()) {
    // What Qt changed for the refused input (a tab, a tick) goes back.
    Sync();
    return;
  }
  action();
  if (m_afterInput) m_afterInput();
}
