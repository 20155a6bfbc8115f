// The View menu's Charts command: opens the chart window beside the main window and keeps
// it following the filter refresh.
#include <QAction>
#include <QMenu>

#include "app/chartwindow.h"
#include "app/mainform.h"

namespace quillet::app {

// Alt+D: free among the menu items' keys and the menu bar's access keys.
inline constexpr const char* kChartsKeys = "Alt+D";

void TMainForm::wireCharts() {
  Charts1 = new QAction(this);
  Charts1->setObjectName(QStringLiteral("Charts1"));
  Charts1->setShortcut(QKeySequence(QLatin1String(kChartsKeys)));
  Charts1->setText(ChartsCommandText());
  View1->addSeparator()->setObjectName(QStringLiteral("ViewMenuSeparator3"));
  View1->addAction(Charts1);
  // The language may change while the program runs: the text is taken when the menu opens.
  connect(View1, &QMenu::aboutToShow, this, [this] { Charts1->setText(ChartsCommandText()); });
  connect(Charts1, &QAction::triggered, this, [this] { guarded([this] { Charts1Click(); }); });
}

void TMainForm::Charts1Click() {
  if (!ChartWindow1) {
    // The filter refresh feeds a shown window (one reading for the total and the groups);
    // with it closed a refresh costs what it did.
    ChartWindow1 = new ChartWindow([this] { return dm_; }, dialogs(), this);
  }
  ChartWindow1->show();
  ChartWindow1->raise();
  ChartWindow1->activateWindow();
}

}  // namespace quillet::app
