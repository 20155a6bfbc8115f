// The View, File and Help commands.
#include <QAction>
#include <QDockWidget>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>

#include "app/controltexts.h"
#include "app/grid.h"
#include "app/mainform.h"
#include "app/uitext.h"

namespace quillet::app {

void TMainForm::Showalltables1Click() {
  Showalltables1->setChecked(!Showalltables1->isChecked());
  const bool all = Showalltables1->isChecked();
  for (QWidget* page : {Category1TabSheet, Category2TabSheet, Category3TabSheet, Category4TabSheet,
                        BalanceTypeTabSheet, RemindTypeTabSheet, CustomNamesTabSheet})
    MainPageControl->setTabVisible(MainPageControl->indexOf(page), all);
  // A page whose tab is gone must not stay in front: the nearest page before it with a tab
  // takes its place (the four main pages always have theirs).
  int current = MainPageControl->currentIndex();
  if (current >= 0 && !MainPageControl->isTabVisible(current)) {
    while (current > 0 && !MainPageControl->isTabVisible(current)) --current;
    MainPageControl->setCurrentIndex(current);
  }
  SetStatusText(msg(all ? text::MsgAllTablesVisible : text::MsgMainTablesVisible));
}

void TMainForm::Showhints1Click() {
  Showhints1->setChecked(!Showhints1->isChecked());
  hintsEnabled_ = Showhints1->isChecked();
  if (!hintsEnabled_) QToolTip::hideText();
  SetStatusText(msg(hintsEnabled_ ? text::MsgHintsEnabled : text::MsgHintsDisabled));
}

void TMainForm::Showfilteredcolumns1Click() {
  Showfilteredcolumns1->setChecked(!Showfilteredcolumns1->isChecked());
  AccToDBCheckBoxClick();
  SetStatusText(msg(Showfilteredcolumns1->isChecked() ? text::MsgFilteredColumnsVisible
                                                      : text::MsgFilteredColumnsHidden));
}

// Follows the panel rather than the check: the panel may have been hidden another way.
void TMainForm::Showfilteringpanel1Click() {
  const bool visible = TransactionsFilterPanel->isHidden();
  // Back into the page, at its top, whether it was docked or floating.
  TransactionsFilterPanel->setFloating(false);
  TransactionsTabSheet->addDockWidget(Qt::TopDockWidgetArea, TransactionsFilterPanel);
  TransactionsFilterPanel->setVisible(visible);
  Showfilteringpanel1->setChecked(visible);
  SetStatusText(msg(visible ? text::MsgFilterPanelVisible : text::MsgFilterPanelHidden));
}

void TMainForm::Allowfilterpanelfloating1Click() {
  Allowfilterpanelfloating1->setChecked(!Allowfilterpanelfloating1->isChecked());
  const bool floating = Allowfilterpanelfloating1->isChecked();
  // With a title bar to take hold of, the panel can be dragged out of its page; without one
  // and without the features there is nothing to drag.
  TransactionsFilterPanel->setFeatures(floating ? QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable
                                                : QDockWidget::NoDockWidgetFeatures);
  TransactionsFilterPanel->setTitleBarWidget(floating ? nullptr : fixedPanelTitle_);
  SetStatusText(msg(floating ? text::MsgFloatingEnabled : text::MsgFloatingDisabled));
}

void TMainForm::Restoredefaultcolumns1Click() {
  LoadTransactionColumns(DefaultColumnLayout);
  AccToDBCheckBoxClick();  // hides the filtered columns again as the options say
  SetStatusText(msg(text::MsgDefaultColumnsRestored));
}

void TMainForm::ImportExportconfirmations1Click() {
  ImportExportconfirmations1->setChecked(!ImportExportconfirmations1->isChecked());
  SetStatusText(msg(ImportExportconfirmations1->isChecked() ? text::MsgConfirmationsEnabled
                                                            : text::MsgConfirmationsDisabled));
}

void TMainForm::Importatstartup1Click() {
  Importatstartup1->setChecked(!Importatstartup1->isChecked());
  SetStatusText(msg(Importatstartup1->isChecked() ? text::MsgImportAtStartupEnabled : text::MsgImportAtStartupDisabled));
}

void TMainForm::Exit1Click() { close(); }

QString TMainForm::HelpPath() const { return ProgramFolder + msg(text::MsgHelpFile); }

// The document opens with the desktop's application for its type; when that fails the
// program shows nothing of its own.
void TMainForm::Contents1Click() { (void)dialogs_->openDocument(HelpPath().toStdString()); }

void TMainForm::About1Click() { dialogs_->inform(text::message(text::MsgAboutCaption), text::message(text::MsgAbout)); }

// A floating panel leaves the page: once it is let go, it moves beside the window when it
// lies over it, to the first side where the screen has room for it.
void TMainForm::PlaceFloatingPanel() {
  QDockWidget* panel = TransactionsFilterPanel;
  if (!panel->isFloating()) return;
  const QRect window = frameGeometry();
  const QRect own = panel->frameGeometry();
  if (!own.intersects(window)) return;
  const QScreen* s = screen();
  const QRect room = s ? s->availableGeometry() : QRect();
  const int gap = 4;
  const QPoint candidates[] = {
      {window.left(), window.bottom() + 1 + gap},             // below
      {window.left(), window.top() - own.height() - gap},     // above
      {window.right() + 1 + gap, window.top()},               // right
      {window.left() - own.width() - gap, window.top()},      // left
  };
  for (const QPoint& at : candidates) {
    if (room.isNull() || room.contains(QRect(at, own.size()))) {
      panel->move(at + (panel->pos() - own.topLeft()));
      return;
    }
  }
}

void TMainForm::wireViewCommands() {
  ReportSaveDialogTitle = DesignedText("ReportSaveDialog", TextRole::DialogTitle);
  // Tabs highlight under the mouse.
  MainPageControl->tabBar()->setAttribute(Qt::WA_Hover, true);

  auto* letGo = new QTimer(this);
  letGo->setObjectName(QStringLiteral("FloatingPanelPlacement"));
  letGo->setInterval(50);
  connect(letGo, &QTimer::timeout, this, [this, letGo] {
    if (QGuiApplication::mouseButtons() != Qt::NoButton) return;  // still being dragged
    letGo->stop();
    PlaceFloatingPanel();
  });
  connect(TransactionsFilterPanel, &QDockWidget::topLevelChanged, this, [letGo](bool floating) {
    if (floating)
      letGo->start();
    else
      letGo->stop();
  });
}

}  // namespace quillet::app
