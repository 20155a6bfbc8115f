// An import of a handheld folder with 32,767 transactions started from the window's Import
// button (offscreen; from the click to the final status text with the grids painted) beside
// `quillet-cli import` of the same folder as a whole process, in one run. Prints both with
// their ratio; goal <= 1.3.
//
//   QT_QPA_PLATFORM=offscreen build-bench/bin/bench_exchange [runs]
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <QApplication>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/grid.h"
#include "app/program.h"
#include "tests/support/handheld_fixture.h"
#include "text/messages.h"
#include "window_bench.h"

extern char** environ;

using namespace quillet;
using namespace quillet::app;
namespace fs = std::filesystem;

namespace {

constexpr int kTransactions = 32767;
constexpr int kOtherRows = 300;

using bench::QuietDialogs;

double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The window over the default store, manual exchange from the folder, no questions, the
// Transactions page in front; the import's time from the click to the painted grids.
double windowImport(QuietDialogs& dialogs) {
  QuilletProgram program(bench::quietEnvironment(dialogs));
  program.Start();
  QCoreApplication::processEvents();
  TMainForm& form = *program.MainForm();
  const auto start = std::chrono::steady_clock::now();
  form.ImportButton->click();
  QCoreApplication::processEvents();  // the grids paint the new rows
  const double s = seconds(start);
  if (form.StatusText().toStdString() != text::message(text::MsgImportFinished) ||
      form.TransactionsKADaoDBGrid->model()->rowCount() != kTransactions) {
    std::fprintf(stderr, "the window's import did not finish as expected\n");
    ++dialogs.shown;
  }
  program.MainForm()->close();
  program.Shutdown();
  return s;
}

// quillet-cli import of the folder into a store of its own, as a whole process.
double cliImport(const std::string& folder, const std::string& store) {
  std::vector<std::string> args = {QUILLET_CLI_PATH, "import", folder, "--db", store};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  int status = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0 || ::waitpid(pid, &status, 0) != pid ||
      !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "quillet-cli import failed\n");
    status = -1;
  }
  const double s = seconds(start);
  posix_spawn_file_actions_destroy(&actions);
  return status == -1 ? -1.0 : s;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const fs::path root = bench::makeBenchHome("exchange");
  fs::create_directories(root / "data");
  fs::create_directories(root / "in");
  QApplication application(argc, argv);

  const std::string folder = (root / "in").string();
  fixture::writeHandheldFolder(folder, fixture::syntheticData(kTransactions, kOtherRows));
  bench::writeExchangeSettings(folder, false);

  QuietDialogs dialogs;
  const std::string cliStore = (root / "cli.mdb").string();
  // Warm-up: the first window of the process, the files in the page cache, both stores filled.
  windowImport(dialogs);
  cliImport(folder, cliStore);
  std::vector<double> window, cli, ratios;
  for (int i = 0; i < runs; ++i) {
    window.push_back(windowImport(dialogs));
    cli.push_back(cliImport(folder, cliStore));
    ratios.push_back(window.back() / cli.back());
  }
  std::error_code ec;
  fs::remove_all(root, ec);
  if (dialogs.shown || *std::min_element(cli.begin(), cli.end()) < 0) return 1;

  std::printf("import of %d transactions, %d runs (median, range)\n", kTransactions, runs);
  std::printf("  window, Import button to painted grids: %8.1f ms  [%.1f .. %.1f]\n", median(window) * 1e3,
              *std::min_element(window.begin(), window.end()) * 1e3,
              *std::max_element(window.begin(), window.end()) * 1e3);
  std::printf("  quillet-cli import, whole process:      %8.1f ms  [%.1f .. %.1f]\n", median(cli) * 1e3,
              *std::min_element(cli.begin(), cli.end()) * 1e3, *std::max_element(cli.begin(), cli.end()) * 1e3);
  const double ratio = median(window) / median(cli);
  std::printf("  ratio of medians: %.2f  (runs %.2f .. %.2f)  %s\n", ratio,
              *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()),
              ratio <= 1.3 ? "(goal <= 1.3 met)" : "(goal <= 1.3 NOT met)");
  return 0;
}
