// The filter refresh over a store of 32,767 transactions with the chart window open, beside
// the same refreshes before the window was ever opened and after it was closed, in one run.
// Prints the medians and the ratio open / never opened per grouping; goal <= 1.3.
#include <stdlib.h>

#include <QApplication>
#include <QComboBox>
#include <QSignalBlocker>

#include "app/dbcontrols.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/chartwindow.h"
#include "app/mainform.h"
#include "app/program.h"
#include "store/balancetotal.h"
#include "store/datamodule.h"
#include "window_bench.h"

using namespace quillet;
using namespace quillet::app;
namespace fs = std::filesystem;

namespace {

constexpr int kRows = 32767;
const int kRuns = std::getenv("QUILLET_BENCH_RUNS") ? std::max(3, std::atoi(std::getenv("QUILLET_BENCH_RUNS"))) : 15;

using bench::QuietDialogs;

// Median and range of kRuns refreshes, each processed up to its paint.
struct Timing {
  double median, low, high;
};

// Each refresh switches the From date condition (1 in 1000 rows) on or off, so that the rows,
// the total and the chart change every time.
Timing refreshes(TMainForm& form) {
  std::vector<double> ms;
  form.AccToDBCheckBoxClick();  // warm
  QCoreApplication::processEvents();
  for (int i = 0; i < kRuns; ++i) {
    {
      const QSignalBlocker quiet(form.FromDateDBCheckBox);
      form.FromDateDBCheckBox->setChecked(!form.FromDateDBCheckBox->isChecked());
    }
    const auto start = std::chrono::steady_clock::now();
    form.AccToDBCheckBoxClick();
    QCoreApplication::processEvents();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.front(), ms.back()};
}

template <typename F>
Timing timed(F&& f) {
  std::vector<double> ms;
  f();
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    f();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.front(), ms.back()};
}

void print(const char* what, const Timing& t) {
  std::printf("  %-34s %8.2f ms  (%.2f .. %.2f)\n", what, t.median, t.low, t.high);
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path root = bench::makeBenchHome("chart");
  QApplication application(argc, argv);
  bench::writeTransactionsPageSetting();  // the grid shown
  bench::makeStore(kRows, "INSERT INTO _AllFilters (DATE_FROM, DATE_FROM_ENABLED, BALANCE_CURRENCY) VALUES (37001, 0, 1);");

  QuietDialogs dialogs;
  int status = 0;
  {
    QuilletProgram program(bench::quietEnvironment(dialogs));
    program.Start();
    QCoreApplication::processEvents();
    TMainForm& form = *program.MainForm();

    const Timing never = refreshes(form);
    std::printf("filter refresh over %d transactions, median of %d runs (range)\n", kRows, kRuns);
    print("chart window never opened:", never);
    // The parts: the total's own reading, and the groups' reading without the chart.
    TDM& dm = *program.DataModule();
    const std::int32_t currency = dm.AllFiltersBALANCE_CURRENCY->AsInteger();
    print("  of which the total alone:", timed([&] { BalanceTotalIn(dm, currency); }));
    for (analysis::Grouping g : {analysis::Grouping::Month, analysis::Grouping::Category1})
      print((std::string("groups alone, by ") + analysis::GroupingName(g) + ":").c_str(),
            timed([&] { analysis::TotalsByGroup(dm, currency, g); }));
    form.Charts1Click();
    QCoreApplication::processEvents();
    double worst = 0;
    for (int g = 0; g < analysis::kGroupingCount; ++g) {
      form.ChartWindow1->setGrouping(static_cast<analysis::Grouping>(g));
      const Timing open = refreshes(form);
      const std::string what = std::string("chart open, by ") + analysis::GroupingName(static_cast<analysis::Grouping>(g)) + ":";
      print(what.c_str(), open);
      worst = std::max(worst, open.median / never.median);
    }
    form.ChartWindow1->close();
    QCoreApplication::processEvents();
    const Timing closed = refreshes(form);
    print("chart window closed again:", closed);
    std::printf("  ratio open / never opened, worst grouping: %.2f (goal <= 1.3)\n", worst);
    std::printf("  ratio closed / never opened: %.2f (goal 1.0)\n", closed.median / never.median);
    form.close();
    program.Shutdown();
    if (dialogs.shown) status = 1;
  }
  std::error_code ec;
  fs::remove_all(root, ec);
  return status;
}
