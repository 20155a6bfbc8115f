#include "app/uitext.h"
#include "app/grid.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>
#include <cmath>

#include "app/dialogs.h"
#include "text/codepage.h"

namespace quillet::app {
namespace {

// Handheld texts are stored as the handheld's bytes; the grid shows them decoded.

bool isTrue(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
      return false;
    case Variant::Kind::Integer:
      return v.integer() != 0;
    case Variant::Kind::Float:
      return v.floating() != 0.0;
    case Variant::Kind::Text:
      try {
        return v.toFloat() != 0.0;
      } catch (const std::exception&) {
        return false;
      }
  }
  return false;
}

std::string firstLine(const std::string& s) {
  const std::size_t end = s.find_first_of("\r\n");
  return end == std::string::npos ? s : s.substr(0, end);
}

constexpr const char* kMemoPlaceholder = "(Memo)";
constexpr const char* kRowIndicator = "\u25B6";

}  // namespace

// ---------------------------------------------------------------- ViewTableModel

ViewTableModel::ViewTableModel(QObject* parent) : QAbstractTableModel(parent) {}

ViewTableModel::~ViewTableModel() {
  if (source_) source_->removeListener(this);
}

void ViewTableModel::setDataSource(TDataSource* source) {
  if (source == source_) return;
  if (source_) source_->removeListener(this);
  source_ = source;
  if (source_) source_->addListener(this);
  dataReset();
}

void ViewTableModel::setFormats(const Formats& formats) {
  beginResetModel();
  formats_ = formats;
  endResetModel();
}

void ViewTableModel::setColumns(std::vector<GridColumnDef> columns) {
  beginResetModel();
  columns_ = std::move(columns);
  resolveFields();
  endResetModel();
}

void ViewTableModel::setTitle(int column, const QString& title) {
  if (column < 0 || column >= static_cast<int>(columns_.size())) return;
  columns_[static_cast<std::size_t>(column)].title = title;
  emit headerDataChanged(Qt::Horizontal, column, column);
}

TField* ViewTableModel::field(int column) const {
  if (column < 0 || column >= static_cast<int>(fields_.size())) return nullptr;
  return fields_[static_cast<std::size_t>(column)];
}

void ViewTableModel::resolveFields() {
  fields_.assign(columns_.size(), nullptr);
  TKADaoTable* v = view();
  if (!v) return;
  for (std::size_t i = 0; i < columns_.size(); ++i) fields_[i] = v->FindField(columns_[i].fieldName);
}

int ViewTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int ViewTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

bool ViewTableModel::rowReadable(int row) const {
  const TKADaoTable* v = view();
  return v && v->Active() && row >= 0 && row < rows_ && row < v->RecordCount();
}

QString ViewTableModel::displayText(int row, int column) const {
  const TField* f = field(column);
  if (!f) return {};
  switch (f->DataType()) {
    case FieldType::Memo:
      if (!view()->CacheMemos()) return QString::fromLatin1(kMemoPlaceholder);
      return handheldText(firstLine(f->ValueAt(row).toText()));
    case FieldType::Text:
      return handheldText(f->DisplayTextAt(row, formats_));
    default:
      return QString::fromStdString(f->DisplayTextAt(row, formats_));
  }
}

QVariant ViewTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !rowReadable(index.row())) return {};
  const TField* f = field(index.column());
  if (!f) return {};
  try {
    const bool boolean = f->DataType() == FieldType::Boolean;
    switch (role) {
      case Qt::DisplayRole:
        if (boolean) return {};
        return displayText(index.row(), index.column());
      case Qt::CheckStateRole:
        if (!boolean) return {};
        return isTrue(f->ValueAt(index.row())) ? Qt::Checked : Qt::Unchecked;
      case Qt::TextAlignmentRole:
        if (f->DataType() == FieldType::Integer || f->DataType() == FieldType::Float)
          return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return {};
      default:
        return {};
    }
  } catch (const std::exception&) {
    return {};  // a value that cannot be shown leaves its cell empty
  }
}

QString ViewTableModel::cellText(int row, int column) const {
  const TField* f = field(column);
  if (!f || !rowReadable(row)) return {};
  QString s;
  try {
    s = f->DataType() == FieldType::Boolean ? QString::fromStdString(f->DisplayTextAt(row, formats_))
                                            : displayText(row, column);
  } catch (const std::exception&) {
    return {};
  }
  for (QChar& c : s)
    if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
  return s;
}

QVariant ViewTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  if (orientation == Qt::Horizontal) {
    if (section < 0 || section >= static_cast<int>(columns_.size())) return {};
    return columns_[static_cast<std::size_t>(section)].title;
  }
  return section == current_ ? QString::fromUtf8(kRowIndicator) : QString();
}

Qt::ItemFlags ViewTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void ViewTableModel::dataReset() {
  beginResetModel();
  const TKADaoTable* v = view();
  rows_ = v && v->Active() ? v->RecordCount() : 0;
  current_ = v && v->Active() ? v->RecNo() : -1;
  resolveFields();
  endResetModel();
}

void ViewTableModel::rowInserted(int row) {
  if (row < 0 || row > rows_) {
    dataReset();
    return;
  }
  beginInsertRows({}, row, row);
  ++rows_;
  endInsertRows();
}

void ViewTableModel::rowRemoved(int row) {
  if (row < 0 || row >= rows_) {
    dataReset();
    return;
  }
  emit removalStarting();
  beginRemoveRows({}, row, row);
  --rows_;
  if (current_ >= rows_) current_ = rows_ - 1;
  endRemoveRows();
  emit removalDone();
}

void ViewTableModel::rowChanged(int row) {
  if (row < 0 || row >= rows_ || columns_.empty()) return;
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void ViewTableModel::currentChanged(int row) {
  const int old = current_;
  current_ = row;
  if (old >= 0 && old < rows_) emit headerDataChanged(Qt::Vertical, old, old);
  if (row >= 0 && row < rows_) emit headerDataChanged(Qt::Vertical, row, row);
  emit viewMoved(row);
}

// ---------------------------------------------------------------- TKADaoDBGrid

TKADaoDBGrid::TKADaoDBGrid(QWidget* parent) : QTableView(parent), model_(new ViewTableModel(this)) {
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(true);
  setWordWrap(false);
  setCornerButtonEnabled(false);

  QHeaderView* titles = horizontalHeader();
  titles->setSectionsMovable(true);
  titles->setSectionResizeMode(QHeaderView::Interactive);
  titles->setStretchLastSection(false);
  titles->setHighlightSections(false);
  titles->setMinimumSectionSize(0);
  // A title cut by a narrow column still reads from its start.
  titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  // The row indicator column: fixed rows, so that a large table costs nothing to lay out.
  QHeaderView* rows = verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(fontMetrics().height() + 4);
  rows->setFixedWidth(16);
  rows->setSectionsClickable(false);

  connect(model_, &ViewTableModel::viewMoved, this, &TKADaoDBGrid::followView);
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current, const QModelIndex&) { moveView(current); });
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { keepCurrentHighlighted(); });
  // While a row is removed the selection model picks a new current row of its own (the one
  // above); the view's own choice (the row that moved up into the place) is the one shown.
  connect(model_, &ViewTableModel::removalStarting, this, [this] { removing_ = true; });
  connect(model_, &ViewTableModel::removalDone, this, [this] { removing_ = false; });
  // After a reset the grid's current row is the view's again.
  connect(model_, &QAbstractItemModel::modelReset, this, [this] { followView(model_->currentRow()); });
  connect(titles, &QHeaderView::sectionResized, this, [this](int column, int, int size) {
    if (size > 0 && column >= 0 && column < static_cast<int>(widths_.size()))
      widths_[static_cast<std::size_t>(column)] = size;
  });
}

TKADaoDBGrid::~TKADaoDBGrid() = default;

void TKADaoDBGrid::SetDataSource(TDataSource* source) { model_->setDataSource(source); }

int TKADaoDBGrid::logical(int index) const {
  if (index < 0 || index >= ColumnCount()) return -1;
  return horizontalHeader()->logicalIndex(index);
}

ColumnLayout TKADaoDBGrid::Columns() const {
  ColumnLayout out;
  const QHeaderView* h = horizontalHeader();
  const auto& defs = model_->columns();
  for (int v = 0; v < ColumnCount(); ++v) {
    const int l = h->logicalIndex(v);
    if (l < 0 || l >= static_cast<int>(defs.size())) continue;
    const auto& d = defs[static_cast<std::size_t>(l)];
    out.push_back({d.fieldName, d.title.toStdString(), widths_[static_cast<std::size_t>(l)], !h->isSectionHidden(l)});
  }
  return out;
}

void TKADaoDBGrid::SetColumns(const ColumnLayout& columns) {
  std::vector<GridColumnDef> defs;
  defs.reserve(columns.size());
  for (const auto& c : columns) defs.push_back({c.fieldName, QString::fromStdString(c.title)});
  model_->setColumns(std::move(defs));

  QHeaderView* h = horizontalHeader();
  const int n = static_cast<int>(columns.size());
  widths_.assign(columns.size(), 0);
  // The header keeps moved sections across a reset of the same size: put them back in order.
  for (int i = 0; i < n; ++i) {
    const int v = h->visualIndex(i);
    if (v != i && v >= 0) h->moveSection(v, i);
  }
  for (int i = 0; i < n; ++i) {
    const ColumnDesc& c = columns[static_cast<std::size_t>(i)];
    h->setSectionHidden(i, false);
    h->resizeSection(i, c.width);
    widths_[static_cast<std::size_t>(i)] = c.width;
    h->setSectionHidden(i, !c.visible);
  }
}

int TKADaoDBGrid::ColumnIndex(const std::string& fieldName) const {
  const auto& defs = model_->columns();
  for (int v = 0; v < ColumnCount(); ++v) {
    const int l = logical(v);
    if (l >= 0 && defs[static_cast<std::size_t>(l)].fieldName == fieldName) return v;
  }
  return -1;
}

std::string TKADaoDBGrid::ColumnFieldName(int index) const {
  const int l = logical(index);
  return l < 0 ? std::string() : model_->columns()[static_cast<std::size_t>(l)].fieldName;
}

QString TKADaoDBGrid::ColumnTitle(int index) const {
  const int l = logical(index);
  return l < 0 ? QString() : model_->columns()[static_cast<std::size_t>(l)].title;
}

int TKADaoDBGrid::ColumnWidth(int index) const {
  const int l = logical(index);
  return l < 0 ? 0 : widths_[static_cast<std::size_t>(l)];
}

bool TKADaoDBGrid::ColumnVisible(int index) const {
  const int l = logical(index);
  return l >= 0 && !horizontalHeader()->isSectionHidden(l);
}

void TKADaoDBGrid::SetColumnVisible(int index, bool visible) {
  const int l = logical(index);
  if (l >= 0) horizontalHeader()->setSectionHidden(l, !visible);
}

void TKADaoDBGrid::MoveColumn(int from, int to) {
  if (from < 0 || from >= ColumnCount() || to < 0 || to >= ColumnCount()) return;
  horizontalHeader()->moveSection(from, to);
}

void TKADaoDBGrid::SetColumnWidth(int index, int width) {
  const int l = logical(index);
  if (l < 0 || width < 0) return;
  widths_[static_cast<std::size_t>(l)] = width;
  horizontalHeader()->resizeSection(l, width);
}

void TKADaoDBGrid::SetColumnTitle(const std::string& fieldName, const QString& title) {
  const int index = ColumnIndex(fieldName);
  if (index >= 0) model_->setTitle(logical(index), title);
}

void TKADaoDBGrid::ShowAllColumns() {
  for (int i = 0; i < ColumnCount(); ++i) horizontalHeader()->setSectionHidden(i, false);
}

int TKADaoDBGrid::DefaultColumnWidth(FieldType type, const QString& title) const {
  int characters = 10;
  switch (type) {
    case FieldType::Boolean:
      characters = 5;
      break;
    case FieldType::DateTime:
      characters = 18;
      break;
    default:
      break;
  }
  const int cells = characters * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 4;
  const int heading = horizontalHeader()->fontMetrics().horizontalAdvance(title) + 12;
  return std::max(cells, heading);
}

double TKADaoDBGrid::AverageLetterWidth() const {
  static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return fontMetrics().horizontalAdvance(letters) / static_cast<double>(letters.size());
}

int TKADaoDBGrid::ScaledWidth(int designed) const {
  return static_cast<int>(std::lround(designed * AverageLetterWidth() / kDesignedLetterWidth));
}

bool TKADaoDBGrid::ShowMemos() const {
  const TKADaoTable* v = model_->view();
  return v && v->CacheMemos();
}

void TKADaoDBGrid::SetShowMemos(bool on) {
  TKADaoTable* v = model_->view();
  if (!v || !v->Active() || v->CacheMemos() == on) return;
  v->SetCacheMemos(on);
}

bool TKADaoDBGrid::browsing() const {
  const TKADaoTable* v = model_->view();
  return v && v->Active() && v->state() == TKADaoTable::State::Browse;
}

void TKADaoDBGrid::guarded(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    if (onError_) onError_(e);
  }
}

void TKADaoDBGrid::DeleteCurrentRecord() {
  TKADaoTable* v = model_->view();
  if (!v || !v->Active() || v->IsEmpty() || !dialogs_) return;
  if (!dialogs_->confirm(kConfirmCaption, kDeleteRecordQuestion, Dialogs::Buttons::OkCancel)) return;
  guarded([v] { v->Delete(); });
}

QString TKADaoDBGrid::SelectedRowsText() const {
  std::vector<int> rows;
  for (const QItemSelectionRange& range : selectionModel()->selection())
    for (int r = range.top(); r <= range.bottom(); ++r) rows.push_back(r);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  if (rows.empty() && model_->currentRow() >= 0 && model_->currentRow() < model_->rowCount())
    rows.push_back(model_->currentRow());

  QString out;
  for (int row : rows) {
    bool first = true;
    for (int v = 0; v < ColumnCount(); ++v) {
      if (!ColumnVisible(v)) continue;
      if (!first) out += u'\t';
      first = false;
      out += model_->cellText(row, logical(v));
    }
    out += u'\n';
  }
  return out;
}

void TKADaoDBGrid::CopySelectedRows() {
  const QString text = SelectedRowsText();
  if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void TKADaoDBGrid::SelectAllRows() { selectAll(); }

void TKADaoDBGrid::DeselectAllRows() { clearSelection(); }

void TKADaoDBGrid::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  if (mods == Qt::ControlModifier) {
    switch (event->key()) {
      case Qt::Key_Delete:
        if (browsing()) DeleteCurrentRecord();
        event->accept();
        return;
      case Qt::Key_C:
        if (browsing()) CopySelectedRows();
        event->accept();
        return;
      case Qt::Key_A:
        if (browsing()) SelectAllRows();
        event->accept();
        return;
      case Qt::Key_N:
        if (browsing()) DeselectAllRows();
        event->accept();
        return;
      case Qt::Key_M:
        if (browsing()) guarded([this] { SetShowMemos(!ShowMemos()); });
        event->accept();
        return;
      default:
        break;
    }
  }
  QTableView::keyPressEvent(event);
}

QItemSelectionModel::SelectionFlags TKADaoDBGrid::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
  if (event && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->modifiers() & Qt::ControlModifier) {
      switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
          if (!(key->modifiers() & Qt::ShiftModifier))
            return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
          break;
        default:
          break;
      }
    }
  }
  return QTableView::selectionCommand(index, event);
}

void TKADaoDBGrid::keepCurrentHighlighted() {
  if (following_ || removing_) return;
  QItemSelectionModel* selection = selectionModel();
  const QModelIndex current = currentIndex();
  if (!current.isValid() || !selection->hasSelection() || selection->rowIntersectsSelection(current.row(), {}))
    return;
  int nearest = -1;
  for (const QItemSelectionRange& range : selection->selection())
    for (int r : {range.top(), range.bottom()})
      if (nearest < 0 || std::abs(r - current.row()) < std::abs(nearest - current.row())) nearest = r;
  if (nearest < 0) return;
  selection->setCurrentIndex(model_->index(nearest, current.column()), QItemSelectionModel::NoUpdate);
}

void TKADaoDBGrid::followView(int row) {
  if (following_) return;
  following_ = true;
  if (row >= 0 && row < model_->rowCount() && ColumnCount() > 0) {
    int column = currentIndex().isValid() ? currentIndex().column() : -1;
    if (column < 0 || horizontalHeader()->isSectionHidden(column)) {
      column = 0;
      for (int v = 0; v < ColumnCount(); ++v)
        if (ColumnVisible(v)) {
          column = logical(v);
          break;
        }
    }
    const QModelIndex index = model_->index(row, column);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
  }
  following_ = false;
}

void TKADaoDBGrid::moveView(const QModelIndex& current) {
  if (following_ || removing_ || !current.isValid()) return;
  TKADaoTable* v = model_->view();
  if (!v || !v->Active() || v->RecNo() == current.row()) return;
  following_ = true;
  guarded([v, row = current.row()] { v->SetRecNo(row); });
  following_ = false;
}

}  // namespace quillet::app
