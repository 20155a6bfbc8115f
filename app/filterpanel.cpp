// The transaction filter panel's refresh and the report.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <cstdio>
#include <memory>

#include "analysis/filter.h"
#include "analysis/groups.h"
#include "analysis/report.h"
#include "app/chartwindow.h"
#include "app/controltexts.h"
#include "app/dbcontrols.h"
#include "app/grid.h"
#include "app/mainform.h"
#include "app/uitext.h"

namespace quillet::app {

namespace {

// The panel's check boxes of the conditions that take a value, in condition order.
std::array<TDBCheckBox*, analysis::kValueConditions> conditionBoxes(const TMainForm& f) {
  return {f.AccToDBCheckBox,     f.AccFromDBCheckBox,   f.FromDateDBCheckBox,
          f.ToDateDBCheckBox,    f.Category1DBCheckBox, f.Category2DBCheckBox,
          f.Category3DBCheckBox, f.Category4DBCheckBox, f.CurrencyDBCheckBox};
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

void TMainForm::AccToDBCheckBoxClick() {
  filterText_.clear();
  if (!dm_ || dm_->StoreBusy) return;
  guarded([this] {
    // Values from the filter row; whether a condition is on, from its check box.
    analysis::FilterState state = analysis::StoredFilterState(*dm_);
    const auto boxes = conditionBoxes(*this);
    for (std::size_t i = 0; i < boxes.size(); ++i) state.on[i] = boxes[i]->isChecked();
    filterText_ = analysis::FilterExpression(state);
    analysis::ApplyFilter(*dm_->Transaction, filterText_);
    for (const auto& c : analysis::FilteredColumnVisibility(state, Showfilteredcolumns1->isChecked())) {
      const int index = TransactionsKADaoDBGrid->ColumnIndex(c.fieldName);
      if (index >= 0) TransactionsKADaoDBGrid->SetColumnVisible(index, c.visible);
    }
    if (ChartWindow1 && ChartWindow1->following()) {
      // One reading of the shown rows serves the total and the chart: the groups' pass adds
      // every converted amount in single precision exactly as BalanceTotal does.
      const analysis::GroupTotals totals = analysis::TotalsByGroup(
          *dm_, dm_->AllFiltersBALANCE_CURRENCY->AsInteger(), ChartWindow1->grouping());
      TransactionsTotalEdit->setText(QString::fromStdString(analysis::TotalText(totals.total)));
      ChartWindow1->showTotals(totals);
    } else {
      TransactionsTotalEdit->setText(QString::fromStdString(analysis::TotalText(dm_->BalanceTotal())));
    }
    emit FilterRefreshed();
  });
}

void TMainForm::createReportSaveDialog() {
  ReportSaveDialog = new QFileDialog(this);
  ReportSaveDialog->setObjectName(QStringLiteral("ReportSaveDialog"));
  ReportSaveDialog->setAcceptMode(QFileDialog::AcceptSave);
  ReportSaveDialog->setFileMode(QFileDialog::AnyFile);
  ReportSaveDialog->setDefaultSuffix(QStringLiteral("txt"));
  ReportSaveDialog->setOption(QFileDialog::DontConfirmOverwrite, false);  // asks before overwriting
  ReportSaveDialog->setSizeGripEnabled(true);
  ApplyControlTexts(ReportSaveDialog, DesignedControlTexts());
  // The title of the text set in force (the Russian set replaces it).
  if (!ReportSaveDialogTitle.isEmpty()) ReportSaveDialog->setWindowTitle(ReportSaveDialogTitle);
  if (!ReportSaveDialog->nameFilters().isEmpty()) ReportSaveDialog->selectNameFilter(ReportSaveDialog->nameFilters()[0]);
}

void TMainForm::Exportreport1Click() {
  // A date still being typed is part of the filter state the report stores; text that is no
  // date stops the report before anything is asked or written.
  if (dm_ && !dm_->StoreBusy) {
    FromDateDBEdit->commitText();
    ToDateDBEdit->commitText();
  }
  if (!ReportSaveDialog) createReportSaveDialog();
  if (!dialogs().runFileDialog(*ReportSaveDialog)) return;
  const QStringList files = ReportSaveDialog->selectedFiles();
  if (files.isEmpty() || !dm_) return;
  const QString fileName = files.first();
  ReportSaveDialog->selectFile(fileName);  // offered again next time
  // The chosen type, not the name's extension, picks the layout.
  const bool textLayout = ReportSaveDialog->nameFilters().indexOf(ReportSaveDialog->selectedNameFilter()) == 0;

  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(QFile::encodeName(fileName).constData(), "wb"));
  if (!file) {
    SetStatusText(msg(text::MsgReportError));
    dialogs().error(text::message(text::MsgErrorCaption), StatusText().toStdString());
    return;
  }
  SetStatusText(msg(text::MsgReportExporting));

  TKADaoDBGrid* grid = TransactionsKADaoDBGrid;
  analysis::ReportSource source;
  for (int i = 0; i < grid->ColumnCount(); ++i)
    if (grid->ColumnVisible(i))
      source.columns.push_back({grid->ColumnTitle(i).toStdString(), dm_->Transaction->FindField(grid->ColumnFieldName(i))});
  source.conditions = [this] {
    dm_->SaveFilterState();
    return analysis::StoredFilterState(*dm_);
  };
  source.label = [this, grid](int c) -> std::string {
    if (c == analysis::kDateFrom) return FromDateDBCheckBox->text().toStdString();
    if (c == analysis::kDateTo) return ToDateDBCheckBox->text().toStdString();
    const int index = grid->ColumnIndex(analysis::Conditions()[static_cast<std::size_t>(c)].gridColumn);
    return index >= 0 ? grid->ColumnTitle(index).toStdString() : std::string();
  };
  source.value = [this](int c) -> std::string {
    const QWidget* shown[analysis::kConditionCount] = {
        AccToDBLookupComboBox,     AccFromDBLookupComboBox,   FromDateDBEdit,           ToDateDBEdit,
        Category1DBLookupComboBox, Category2DBLookupComboBox, Category3DBLookupComboBox, Category4DBLookupComboBox,
        CurrencyDBLookupComboBox,  ReceiptComboBox,           BillableComboBox,          ClearedComboBox};
    const QWidget* w = shown[c];
    if (const auto* e = qobject_cast<const QLineEdit*>(w)) return e->text().toStdString();
    if (const auto* b = qobject_cast<const QComboBox*>(w)) return b->currentText().toStdString();
    return {};
  };
  source.footer = [this]() -> std::array<std::string, 3> {
    return {TransactionsTotalLabel->text().toStdString(), TransactionsTotalEdit->text().toStdString(),
            TransactionsTotalCurrencyDBLookupComboBox->currentText().toStdString()};
  };
  analysis::ReportWriter writer(file.get(),
                                textLayout ? analysis::ReportLayout::Text : analysis::ReportLayout::CommaSeparated);
  analysis::WriteReport(writer, *dm_->Transaction, source, formats_);
  SetStatusText(msg(text::MsgReportExported) + fileName + u'"');
}

// Every filter control is connected to the refresh where the panel is built.
void TMainForm::wireFilterPanel() {}

}  // namespace quillet::app
