// The View, File and Help commands.
#include <QAction>
#include <QDockWidget>
#include <QTabWidget>
#include <QToolTip>

#include "app/mainform.h"
#include "app/uitext.h"

namespace quillet::app {

void TMainForm::Showalltables1Click() {
  Showalltables1->setChecked(!Showalltables1->isChecked());
  const bool all = Showalltables1->isChecked();
  for (QWidget* page : {Category1TabSheet, Category2TabSheet, Category3TabSheet, Category4TabSheet,
                        BalanceTypeTabSheet, RemindTypeTabSheet, CustomNamesTabSheet})
    MainPageControl->setTabVisible(MainPageControl->indexOf(page), all);
  SetStatusText(msg(all ? text::MsgAllTablesVisible : text::MsgMainTablesVisible));
}

void TMainForm::Showhints1Click() {
  Showhints1->setChecked(!Showhints1->isChecked());
  hintsEnabled_ = Showhints1->isChecked();
  if (!hintsEnabled_) QToolTip::hideText();
  SetStatusText(msg(hintsEnabled_ ? text::MsgHintsEnabled : text::MsgHintsDisabled));
}

void TMainForm::Allowfilterpanelfloating1Click() {
  Allowfilterpanelfloating1->setChecked(!Allowfilterpanelfloating1->isChecked());
  const bool floating = Allowfilterpanelfloating1->isChecked();
  // With a title bar to take hold of, the panel can be dragged out of its page.
  TransactionsFilterPanel->setFeatures(floating ? QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable
                                                : QDockWidget::NoDockWidgetFeatures);
  TransactionsFilterPanel->setTitleBarWidget(floating ? nullptr : fixedPanelTitle_);
  SetStatusText(msg(floating ? text::MsgFloatingEnabled : text::MsgFloatingDisabled));
}

void TMainForm::Importatstartup1Click() {
  Importatstartup1->setChecked(!Importatstartup1->isChecked());
  SetStatusText(msg(Importatstartup1->isChecked() ? text::MsgImportAtStartupEnabled : text::MsgImportAtStartupDisabled));
}

void TMainForm::Exit1Click() { close(); }


// The commands below come with the view options and the Russian set; until then they change
// nothing, not even their check.
void TMainForm::Showfilteredcolumns1Click() {}
void TMainForm::Showfilteringpanel1Click() {}
void TMainForm::Restoredefaultcolumns1Click() {}
void TMainForm::ImportExportconfirmations1Click() {}
void TMainForm::Language1Click() {}
void TMainForm::Contents1Click() {}
void TMainForm::About1Click() {}

void TMainForm::wireViewCommands() {}

}  // namespace quillet::app
