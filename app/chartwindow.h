#pragma once
// The chart window: a bar chart of the filtered transactions' totals by group, in the total's
// currency. It has no refresh of its own: the main window's filter refresh redraws it while
// it is shown. It keeps its grouping and geometry in the program's settings key.
#include <QWidget>
#include <functional>
#include <vector>

#include "analysis/groups.h"

class QBarCategoryAxis;
class QBarSeries;
class QBarSet;
class QCategoryAxis;
class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QValueAxis;
class QAbstractAxis;

namespace quillet {
class TDM;
}

namespace quillet::app {

class Dialogs;

// Settings values of the chart window, after the main window's twelve.
namespace setting {
inline constexpr const char* kChartGrouping = "ChartWindow->Grouping";
inline constexpr const char* kChartGeometry = "ChartWindow->Geometry";
}  // namespace setting

// Groupings without an order of their own show this many groups, then one for the rest.
inline constexpr std::size_t kChartLargestGroups = 20;
// More months than this are labelled by year rather than one name per bar.
inline constexpr std::size_t kChartMonthsNamed = 36;
// A stored geometry larger than this is not read.
inline constexpr std::size_t kChartGeometryMaxSize = 1024;

class ChartWindow : public QWidget {
  Q_OBJECT

 public:
  // store: the data module while the store is open, else nullptr.
  ChartWindow(std::function<TDM*()> store, Dialogs& dialogs, QWidget* parent = nullptr);
  // Saves the settings when shown.
  ~ChartWindow() override;

  // Reads the groups again and redraws; does nothing while hidden.
  void refresh();
  // Whether a filter refresh should read the groups for this window (it is shown).
  bool following() const { return isVisible(); }
  // Draws groups that the filter refresh has read already, in this window's grouping.
  void showTotals(const analysis::GroupTotals& totals);
  // Texts in the message set in force.
  void retranslate();

  analysis::Grouping grouping() const;
  void setGrouping(analysis::Grouping grouping);

  // The chart as an image or drawing; false when the file cannot be written.
  bool exportPng(const QString& fileName);
  bool exportSvg(const QString& fileName);
  // Asks for a file and a type, then writes it.
  void exportChart();

  void saveSettings() const;

  // What the chart shows, in bar order (for tests and exports).
  const std::vector<analysis::Group>& shownGroups() const { return shown_; }
  QString axisTitle() const;
  // The names under the bars: one per bar, or one per year (or run of years) of many months.
  QStringList axisLabels() const;
  QString statusLine() const;
  bool chartIsEmpty() const;

  QComboBox* GroupingComboBox = nullptr;
  QPushButton* ExportButton = nullptr;
  QLabel* StatusLabel = nullptr;
  QChartView* ChartView = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void readSettings();
  void draw(const analysis::GroupTotals& totals, const QString& currencyName);
  void clearChart();

  std::function<TDM*()> store_;
  Dialogs* dialogs_;
  QChart* chart_ = nullptr;
  QBarSet* bars_ = nullptr;
  void useAxis(QAbstractAxis* axis);
  QBarSeries* series_ = nullptr;
  QBarCategoryAxis* categories_ = nullptr;
  QCategoryAxis* years_ = nullptr;  // many months: labels by year
  QValueAxis* amounts_ = nullptr;
  std::vector<analysis::Group> shown_;
  QString currencyName_;
  QStringList drawnNames_;  // the names under the bars as last drawn
  double drawnLow_ = 0, drawnHigh_ = 0;
  bool empty_ = true;
  QString error_;  // why the last refresh showed nothing
  bool placed_ = false;  // geometry restored or placed beside the main window
};

// "Charts", the line of a filter that shows nothing, and the gathered groups' name, in the
// message set in force.
QString ChartsCommandText();
QString ChartsEmptyText();
QString ChartsOtherText();

}  // namespace quillet::app
