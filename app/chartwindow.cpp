#include "app/chartwindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QSvgGenerator>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>

#include "app/dialogs.h"
#include "app/settings.h"
#include "app/uitext.h"
#include "store/datamodule.h"

namespace quillet::app {
namespace {

// The window's texts in both message sets.
enum ChartText : int {
  TxtTitle,
  TxtGrouping,
  TxtMonth,
  TxtCategory1,
  TxtCategory2,
  TxtCategory3,
  TxtCategory4,
  TxtAccountTo,
  TxtAccountFrom,
  TxtCurrency,
  TxtExport,
  TxtEmpty,
  TxtNoStore,
  TxtOther,
  TxtAmount,
  TxtExportTitle,
  TxtPngFilter,
  TxtSvgFilter,
  TxtExportError,
  TxtExported,
};

struct TextPair {
  const char* english;
  const char* russian;
};

constexpr TextPair kTexts[] = {
    {"Charts", "Диаграммы"},
    {"Group by:", "Группировать по:"},
    {"Month", "Месяцам"},
    {"Category 1", "Категории 1"},
    {"Category 2", "Категории 2"},
    {"Category 3", "Категории 3"},
    {"Category 4", "Категории 4"},
    {"To account", "Счёту получателя"},
    {"From account", "Счёту отправителя"},
    {"Currency", "Валюте"},
    {"Export...", "Экспорт..."},
    {"The filter shows no transactions", "Фильтр не показывает ни одной транзакции"},
    {"No database is open", "База данных не открыта"},
    {"Other", "Прочие"},
    {"Amount, %1", "Сумма, %1"},
    {"Export chart", "Экспорт диаграммы"},
    {"PNG image (*.png)", "Изображение PNG (*.png)"},
    {"SVG drawing (*.svg)", "Рисунок SVG (*.svg)"},
    {"Error while exporting chart", "Ошибка при экспорте диаграммы"},
    {"Chart is exported to \"%1\"", "Диаграмма экспортирована в \"%1\""},
};

// The Russian set is in force when the program's title is not plain ASCII.
bool russianInForce() {
  for (unsigned char c : text::message(text::MsgTitle))
    if (c >= 0x80) return true;
  return false;
}

QString chartText(ChartText t) {
  const TextPair& p = kTexts[t];
  return QString::fromUtf8(russianInForce() ? p.russian : p.english);
}

const QString kNoneName = QString::fromUtf8("\xE2\x80\x94");  // "—"

QString groupName(const analysis::Group& g) {
  switch (g.kind) {
    case analysis::Group::Kind::Named: return handheldText(g.name);
    case analysis::Group::Kind::Month: return QString::fromStdString(g.name);
    case analysis::Group::Kind::None: return kNoneName;
    case analysis::Group::Kind::Other: return chartText(TxtOther);
  }
  return {};
}

}  // namespace

QString ChartsCommandText() { return chartText(TxtTitle); }
QString ChartsEmptyText() { return chartText(TxtEmpty); }
QString ChartsOtherText() { return chartText(TxtOther); }

ChartWindow::ChartWindow(std::function<TDM*()> store, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), store_(std::move(store)), dialogs_(&dialogs) {
  setObjectName(QStringLiteral("ChartWindow"));
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* groupingLabel = new QLabel(this);
  groupingLabel->setObjectName(QStringLiteral("GroupingLabel"));
  GroupingComboBox = new QComboBox(this);
  GroupingComboBox->setObjectName(QStringLiteral("GroupingComboBox"));
  for (int i = 0; i < analysis::kGroupingCount; ++i) GroupingComboBox->addItem(QString());
  groupingLabel->setBuddy(GroupingComboBox);
  ExportButton = new QPushButton(this);
  ExportButton->setObjectName(QStringLiteral("ExportButton"));
  top->addWidget(groupingLabel);
  top->addWidget(GroupingComboBox);
  top->addStretch(1);
  top->addWidget(ExportButton);
  layout->addLayout(top);

  StatusLabel = new QLabel(this);
  StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
  StatusLabel->setAlignment(Qt::AlignCenter);
  layout->addWidget(StatusLabel);

  chart_ = new QChart;
  chart_->legend()->hide();
  auto* series = new QBarSeries(chart_);
  series_ = series;
  bars_ = new QBarSet(QString(), series);
  series->append(bars_);
  chart_->addSeries(series);
  categories_ = new QBarCategoryAxis(chart_);
  categories_->setTruncateLabels(false);
  years_ = new QCategoryAxis(chart_);
  years_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
  years_->setVisible(false);
  chart_->addAxis(years_, Qt::AlignBottom);
  amounts_ = new QValueAxis(chart_);
  amounts_->setLabelFormat(QStringLiteral("%.2f"));
  chart_->addAxis(categories_, Qt::AlignBottom);
  chart_->addAxis(amounts_, Qt::AlignLeft);
  series->attachAxis(categories_);
  series->attachAxis(amounts_);
  ChartView = new QChartView(chart_, this);  // takes the chart
  ChartView->setObjectName(QStringLiteral("ChartView"));
  ChartView->setRenderHint(QPainter::Antialiasing);
  layout->addWidget(ChartView, 1);

  resize(720, 460);
  readSettings();
  retranslate();
  clearChart();

  connect(GroupingComboBox, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
  connect(ExportButton, &QPushButton::clicked, this, [this] { exportChart(); });
}

ChartWindow::~ChartWindow() {
  if (isVisible()) saveSettings();
}

void ChartWindow::retranslate() {
  setWindowTitle(chartText(TxtTitle));
  findChild<QLabel*>(QStringLiteral("GroupingLabel"))->setText(chartText(TxtGrouping));
  for (int i = 0; i < analysis::kGroupingCount; ++i) GroupingComboBox->setItemText(i, chartText(ChartText(TxtMonth + i)));
  ExportButton->setText(chartText(TxtExport));
}

analysis::Grouping ChartWindow::grouping() const {
  return static_cast<analysis::Grouping>(std::clamp(GroupingComboBox->currentIndex(), 0, analysis::kGroupingCount - 1));
}

void ChartWindow::setGrouping(analysis::Grouping grouping) { GroupingComboBox->setCurrentIndex(static_cast<int>(grouping)); }

void ChartWindow::refresh() {
  if (!isVisible()) return;
  retranslate();
  TDM* dm = store_ ? store_() : nullptr;
  error_.clear();
  if (!dm || dm->StoreBusy || !dm->Database->Active()) {
    error_ = chartText(TxtNoStore);
    clearChart();
    return;
  }
  try {
    const std::int32_t currency = dm->AllFiltersBALANCE_CURRENCY->AsInteger();
    showTotals(analysis::TotalsByGroup(*dm, currency, grouping()));
  } catch (const std::exception& e) {
    // The main window reports the store's errors; the chart only says why it is empty.
    error_ = QString::fromUtf8(e.what());
    clearChart();
  }
}

void ChartWindow::showTotals(const analysis::GroupTotals& totals) {
  retranslate();
  error_.clear();
  TDM* dm = store_ ? store_() : nullptr;
  Variant name;
  if (dm) name = dm->Currency->Lookup("ID", Variant::fromInteger(dm->AllFiltersBALANCE_CURRENCY->AsInteger()), "NAME");
  draw(totals, handheldText(name.toText()));
}

void ChartWindow::clearChart() {
  shown_.clear();
  drawnNames_.clear();
  empty_ = true;
  if (bars_->count() > 0) bars_->remove(0, bars_->count());
  useAxis(categories_);
  categories_->clear();
  amounts_->setRange(0, 1);
  amounts_->setTitleText(currencyName_.isEmpty() ? QString() : chartText(TxtAmount).arg(currencyName_));
  StatusLabel->setText(error_.isEmpty() ? chartText(TxtEmpty) : error_);
  StatusLabel->show();
}

void ChartWindow::draw(const analysis::GroupTotals& totals, const QString& currencyName) {
  currencyName_ = currencyName;
  if (totals.groups.empty()) {
    clearChart();
    return;
  }
  shown_ = analysis::HasNaturalOrder(grouping()) ? totals.groups
                                                 : analysis::LargestGroups(totals.groups, kChartLargestGroups);
  empty_ = false;
  StatusLabel->hide();
  StatusLabel->clear();

  QList<qreal> values;
  QStringList names;
  double low = 0, high = 0;
  values.reserve(static_cast<qsizetype>(shown_.size()));
  for (const analysis::Group& g : shown_) {
    values.append(g.amount);
    names.append(groupName(g));
    low = std::min(low, g.amount);
    high = std::max(high, g.amount);
  }
  // Category names must differ for the axis: two accounts of one name get their place.
  QSet<QString> seen;
  for (qsizetype i = 0; i < names.size(); ++i) {
    if (seen.contains(names[i])) names[i] += QStringLiteral(" (%1)").arg(i + 1);
    seen.insert(names[i]);
  }
  if (high == low) high = low + 1;
  const QString title = chartText(TxtAmount).arg(currencyName_);
  if (amounts_->titleText() != title) amounts_->setTitleText(title);

  // The same groups as drawn: only the changed bars move, the axes stay.
  if (names == drawnNames_ && bars_->count() == values.size()) {
    for (qsizetype i = 0; i < values.size(); ++i)
      if (bars_->at(i) != values[i]) bars_->replace(i, values[i]);
    if (low != drawnLow_ || high != drawnHigh_) {
      drawnLow_ = low;
      drawnHigh_ = high;
      amounts_->setRange(low, high);
      amounts_->applyNiceNumbers();
    }
    return;
  }
  drawnNames_ = names;
  drawnLow_ = low;
  drawnHigh_ = high;
  if (bars_->count() > 0) bars_->remove(0, bars_->count());
  categories_->clear();
  for (const QString& label : years_->categoriesLabels()) years_->remove(label);
  if (analysis::HasNaturalOrder(grouping()) && shown_.size() > kChartMonthsNamed) {
    // Decades of months: one label per year, or per run of years, centred under its bars.
    const int runYears = static_cast<int>(shown_.size() / 12 / 25) + 1;
    int runStart = -1;
    QString label;
    for (std::size_t i = 0; i < shown_.size(); ++i) {
      const analysis::Group& g = shown_[i];
      const int year = g.kind == analysis::Group::Kind::Month ? names[static_cast<qsizetype>(i)].left(4).toInt() : -1;
      const int run = year < 0 ? -1 : year / runYears;
      if (i > 0 && run != runStart) years_->append(label, static_cast<qreal>(i) - 0.5);
      if (i == 0 || run != runStart) {
        runStart = run;
        label = year < 0 ? kNoneName : QString::number(run * runYears);
      }
    }
    years_->append(label, static_cast<qreal>(shown_.size()) - 0.5);
    years_->setStartValue(-0.5);
    years_->setRange(-0.5, static_cast<qreal>(shown_.size()) - 0.5);
    useAxis(years_);
  } else {
    categories_->append(names);
    useAxis(categories_);
  }
  bars_->append(values);
  // Many or long names lie slanted rather than cut short.
  qsizetype longest = 0;
  for (const QString& n : names) longest = std::max(longest, n.size());
  categories_->setLabelsAngle(names.size() > 8 || names.size() * longest > 60 ? -45 : 0);
  amounts_->setRange(low, high);
  amounts_->applyNiceNumbers();
}

QString ChartWindow::axisTitle() const { return amounts_->titleText(); }
QStringList ChartWindow::axisLabels() const {
  return years_->isVisible() ? years_->categoriesLabels() : categories_->categories();
}

void ChartWindow::useAxis(QAbstractAxis* axis) {
  QAbstractAxis* other = axis == categories_ ? static_cast<QAbstractAxis*>(years_) : categories_;
  if (series_->attachedAxes().contains(other)) series_->detachAxis(other);
  other->setVisible(false);
  if (!series_->attachedAxes().contains(axis)) series_->attachAxis(axis);
  axis->setVisible(true);
}
QString ChartWindow::statusLine() const { return StatusLabel->isVisibleTo(this) ? StatusLabel->text() : QString(); }
bool ChartWindow::chartIsEmpty() const { return empty_ && bars_->count() == 0; }

bool ChartWindow::exportPng(const QString& fileName) {
  const QPixmap image = ChartView->grab();
  return !image.isNull() && image.save(fileName, "PNG");
}

bool ChartWindow::exportSvg(const QString& fileName) {
  QSvgGenerator svg;
  svg.setFileName(fileName);
  svg.setSize(ChartView->size());
  svg.setViewBox(ChartView->rect());
  svg.setTitle(windowTitle());
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  ChartView->render(&painter);
  return painter.end();
}

void ChartWindow::exportChart() {
  QFileDialog dialog(this, chartText(TxtExportTitle));
  dialog.setObjectName(QStringLiteral("ChartExportDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters({chartText(TxtPngFilter), chartText(TxtSvgFilter)});
  dialog.setDefaultSuffix(QStringLiteral("png"));
  connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    dialog.setDefaultSuffix(dialog.nameFilters().indexOf(filter) == 1 ? QStringLiteral("svg") : QStringLiteral("png"));
  });
  if (!dialogs_->runFileDialog(dialog)) return;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return;
  // The chosen type, not the name's extension, picks the format.
  const bool svg = dialog.nameFilters().indexOf(dialog.selectedNameFilter()) == 1;
  const bool written = svg ? exportSvg(files.first()) : exportPng(files.first());
  if (!written) {
    dialogs_->error(text::message(text::MsgErrorCaption), chartText(TxtExportError).toStdString());
    return;
  }
  StatusLabel->setText(chartText(TxtExported).arg(files.first()));
}

// ---------------------------------------------------------------- settings

void ChartWindow::readSettings() {
  // Silent, as the main window's settings are: what is missing or malformed keeps its default.
  try {
    const SettingsKey key(kProgramSettingsKey, false);
    if (key.ValueExists(setting::kChartGrouping)) {
      const std::uint32_t g = key.ReadInteger(setting::kChartGrouping);
      if (g < static_cast<std::uint32_t>(analysis::kGroupingCount)) GroupingComboBox->setCurrentIndex(static_cast<int>(g));
    }
    const std::size_t size = key.GetDataSize(setting::kChartGeometry);
    if (size > 0 && size <= kChartGeometryMaxSize) {
      QByteArray bytes(static_cast<qsizetype>(size), '\0');
      key.ReadBinaryData(setting::kChartGeometry, bytes.data(), size);
      placed_ = restoreGeometry(bytes);
    }
  } catch (const std::exception&) {
  }
}

void ChartWindow::saveSettings() const {
  try {
    SettingsKey key(kProgramSettingsKey);
    key.WriteInteger(setting::kChartGrouping, static_cast<std::uint32_t>(grouping()));
    const QByteArray geometry = saveGeometry();
    key.WriteBinaryData(setting::kChartGeometry, geometry.constData(), static_cast<std::size_t>(geometry.size()));
    key.Commit();
  } catch (const std::exception&) {
  }
}

void ChartWindow::showEvent(QShowEvent* event) {
  if (!placed_) {
    placed_ = true;
    // Beside the main window, on its right, when the screen has room.
    if (QWidget* main = parentWidget()) {
      const QRect frame = main->frameGeometry();
      QPoint at(frame.right() + 1, frame.top());
      if (const QScreen* screen = main->screen()) {
        const QRect room = screen->availableGeometry();
        if (at.x() + width() > room.right()) at.setX(std::max(room.left(), room.right() - width()));
      }
      move(at);
    }
  }
  QWidget::showEvent(event);
  refresh();
}

void ChartWindow::closeEvent(QCloseEvent* event) {
  saveSettings();
  QWidget::closeEvent(event);
}

}  // namespace quillet::app
