#pragma once
// Grids over the store's table views. The model reads a row only when the view asks for one
// of its cells, so lookups and display texts are worked out for the rows being painted.
#include <QAbstractTableModel>
#include <QTableView>
#include <functional>
#include <string>
#include <vector>

#include "app/columnlayout.h"
#include "store/table.h"

namespace quillet::app {

class Dialogs;

// One designed column of a grid: the field it shows and its title.
struct GridColumnDef {
  std::string fieldName;
  QString title;
};

// A read-only table model over one data source. Columns are set by the grid; rows follow
// the view through its data source.
class ViewTableModel : public QAbstractTableModel, public DataSourceListener {
  Q_OBJECT

 public:
  explicit ViewTableModel(QObject* parent = nullptr);
  ~ViewTableModel() override;

  // Binds to the data source (nullptr unbinds). Unbind before the data source goes away.
  void setDataSource(TDataSource* source);
  TDataSource* dataSource() const { return source_; }
  TKADaoTable* view() const { return source_ ? &source_->DataSet() : nullptr; }

  void setFormats(const Formats& formats);
  void setColumns(std::vector<GridColumnDef> columns);
  const std::vector<GridColumnDef>& columns() const { return columns_; }
  void setTitle(int column, const QString& title);
  // The field shown in a column, when the view has it.
  TField* field(int column) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // What a cell shows, as text (check boxes as "True"/"False"); for copying.
  QString cellText(int row, int column) const;
  int currentRow() const { return current_; }

  void dataReset() override;
  void rowInserted(int row) override;
  void rowRemoved(int row) override;
  void rowChanged(int row) override;
  void currentChanged(int row) override;

 signals:
  void viewMoved(int row);
  // Around the removal of a row by the view, before any listener of the model hears of it.
  void removalStarting();
  void removalDone();

 private:
  void resolveFields();
  bool rowReadable(int row) const;
  QString displayText(int row, int column) const;

  TDataSource* source_ = nullptr;
  std::vector<GridColumnDef> columns_;
  std::vector<TField*> fields_;
  Formats formats_;
  int rows_ = 0;
  int current_ = -1;
};

// The grid: navigates and shows rows, never edits. Its column collection (order, titles,
// widths, visibility) is what the settings store and the designed layout restore.
class TKADaoDBGrid : public QTableView {
  Q_OBJECT

 public:
  explicit TKADaoDBGrid(QWidget* parent = nullptr);
  ~TKADaoDBGrid() override;

  // What the grid needs of the window: the deletion question and the error display.
  void setDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }
  void setErrorHandler(std::function<void(const std::exception&)> handler) { onError_ = std::move(handler); }

  void SetDataSource(TDataSource* source);
  TDataSource* DataSource() const { return model_->dataSource(); }
  ViewTableModel* Model() const { return model_; }
  void SetFormats(const Formats& formats) { model_->setFormats(formats); }

  // Column collection in display order.
  int ColumnCount() const { return model_->columnCount(); }
  ColumnLayout Columns() const;
  void SetColumns(const ColumnLayout& columns);
  // Index of the first column bound to the field, or -1.
  int ColumnIndex(const std::string& fieldName) const;
  std::string ColumnFieldName(int index) const;
  QString ColumnTitle(int index) const;
  int ColumnWidth(int index) const;
  bool ColumnVisible(int index) const;
  void SetColumnVisible(int index, bool visible);
  void MoveColumn(int from, int to);
  void SetColumnWidth(int index, int width);
  // Sets the title of the first column bound to the field.
  void SetColumnTitle(const std::string& fieldName, const QString& title);
  void ShowAllColumns();
  // Width the grid gives a column of this kind of field when the design leaves it open.
  int DefaultColumnWidth(FieldType type, const QString& title) const;
  // A designed width, in pixels of the designed 8-point font, in pixels of the grid's font:
  // scaled by the ratio of the average letter widths, so order and proportions stay.
  int ScaledWidth(int designed) const;
  // Average width of a letter (A-Z, a-z) in the grid's font, and in the designed font.
  double AverageLetterWidth() const;
  static constexpr double kDesignedLetterWidth = 5.5;

  // Memo display of the view (Ctrl+M).
  bool ShowMemos() const;
  void SetShowMemos(bool on);

  // Grid commands of the keyboard.
  void DeleteCurrentRecord();        // Ctrl+Delete, after "Delete record?"
  QString SelectedRowsText() const;  // Ctrl+C: selected rows (else the current row), tab-separated
  void CopySelectedRows();
  void SelectAllRows();              // Ctrl+A
  void DeselectAllRows();            // Ctrl+N

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Keyboard moves with Ctrl move the highlight with the current row: the row you see is the
  // row the commands act on.
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event = nullptr) const override;

 private:
  int logical(int index) const;
  bool browsing() const;
  void followView(int row);
  void moveView(const QModelIndex& current);
  // A current row outside a non-empty highlight moves to the nearest highlighted row.
  void keepCurrentHighlighted();
  void guarded(const std::function<void()>& f);

  ViewTableModel* model_;
  std::vector<int> widths_;  // per model column; kept while a column is hidden
  Dialogs* dialogs_ = nullptr;
  std::function<void(const std::exception&)> onError_;
  bool following_ = false;
  bool removing_ = false;
};

}  // namespace quillet::app
