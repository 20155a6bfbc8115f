// The import when the store fails under it: the old data stays, whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "exchange/transfer.h"
#include "tests/exchange/recording_ui.h"
#include "tests/support/handheld_fixture.h"
#include "tests/support/temp_store.h"

namespace quillet::exchange {
namespace {

using namespace testing;
namespace fs = std::filesystem;

std::string scalar(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  std::string out;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
      out = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return out;
}

// Runs the import in a child whose files may not grow past `limit` bytes (a full disk),
// with SIGXFSZ ignored so that writes fail with EFBIG instead of killing it. Returns what
// the child saw: "aborted: <text>", "imported", or "other: <text>".
std::string importWithFileLimit(const std::string& storePath, const std::string& folder, rlim_t limit) {
  int pipefd[2];
  if (::pipe(pipefd) != 0) return "no pipe";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipefd[0]);
    std::string seen;
    {
      HeadlessStoreUi storeUi;
      TDM dm(storeUi, storePath, "");
      dm.DataModuleCreate();
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit rl{limit, limit};
      ::setrlimit(RLIMIT_FSIZE, &rl);
      RecordingUi ui;
      try {
        importFromFolder(dm, folder, ui);
        seen = "imported";
      } catch (const ImportAborted& e) {
        seen = std::string("aborted: ") + e.what();
      } catch (const std::exception& e) {
        seen = std::string("other: ") + e.what();
      }
      if (ui.count(Kind::Beep) != 0) seen += " (finished)";
      try {
        dm.DataModuleDestroy();
      } catch (...) {
      }
    }
    (void)!::write(pipefd[1], seen.data(), seen.size());
    ::_exit(0);
  }
  ::close(pipefd[1]);
  std::string got;
  char buf[1024];
  for (ssize_t n; (n = ::read(pipefd[0], buf, sizeof buf)) > 0;) got.append(buf, static_cast<std::size_t>(n));
  ::close(pipefd[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return got;
}

// Fault: a full disk during the fill left all ten tables empty (the emptying had been
// committed before), while the import reported the nine other tables as imported.
TEST(ImportUnderFaults, AFullDiskDuringTheFillKeepsTheOldDataWhole) {
  fixture::TempDir dir;
  const std::string storePath = dir.file("store/Quillet.mdb");
  const std::string oldFolder = dir.makeDir("old");
  fixture::writeHandheldFolder(oldFolder, richData());
  {
    HeadlessStoreUi storeUi;
    TDM dm(storeUi, storePath, "");
    dm.DataModuleCreate();
    RecordingUi quiet;
    ASSERT_EQ(importFromFolder(dm, oldFolder, quiet), 0);
    dm.DataModuleDestroy();
  }
  const std::string sum =
      "SELECT (SELECT count(*) FROM [Transaction]) || '/' || (SELECT count(*) FROM [Account]) || '/' || "
      "(SELECT group_concat(NAME, ',') FROM [Category4]) || '/' || (SELECT total(AMOUNT) FROM [Transaction])";
  const std::string before = scalar(storePath, sum);
  ASSERT_EQ(before.substr(0, 4), std::to_string(richData().transactions.size()) + "/2/");

  const std::string bigFolder = dir.makeDir("big");
  fixture::writeHandheldFolder(bigFolder, fixture::syntheticData(4000, 40));
  const auto storeSize = static_cast<rlim_t>(fs::file_size(storePath));

  const std::string seen = importWithFileLimit(storePath, bigFolder, storeSize + 16384);

  EXPECT_EQ(seen.rfind(std::string("aborted: ") + kImportAbortedText + "\n", 0), 0u) << seen;
  EXPECT_EQ(scalar(storePath, "PRAGMA integrity_check"), "ok");
  EXPECT_EQ(scalar(storePath, sum), before);
}

// Without the limit the same child imports everything: the limit above is what failed.
TEST(ImportUnderFaults, WithRoomTheSameImportReplacesTheData) {
  fixture::TempDir dir;
  const std::string storePath = dir.file("store/Quillet.mdb");
  {
    HeadlessStoreUi storeUi;
    TDM dm(storeUi, storePath, "");
    dm.DataModuleCreate();
  }
  const std::string bigFolder = dir.makeDir("big");
  fixture::writeHandheldFolder(bigFolder, fixture::syntheticData(4000, 40));
  EXPECT_EQ(importWithFileLimit(storePath, bigFolder, RLIM_INFINITY), "imported (finished)");
  EXPECT_EQ(scalar(storePath, "SELECT count(*) FROM [Transaction]"), "4000");
}

// Fault: a FIFO in the folder hung the import for ever, and a killed hung import had
// already emptied the store.
TEST(ImportUnderFaults, AFifoInTheFolderIsReportedAndTheRestImported) {
  fixture::TempStore store;
  const std::string folder = store.dir.makeDir("handheld");
  const fixture::HandheldData data = richData();
  fixture::writeHandheldFolder(folder, data);
  fs::remove(folder + "/QL_Account.pdb");
  ASSERT_EQ(::mkfifo((folder + "/QL_Account.pdb").c_str(), 0600), 0);
  RecordingUi ui;
  EXPECT_EQ(importFromFolder(store.dm(), folder, ui), 1);
  EXPECT_EQ(ui.texts(Kind::Error), std::vector<std::string>{"Can't import accounts\nnot a regular file"});
  EXPECT_EQ(store.dm().Account->RecordCount(), 0);
  EXPECT_EQ(store.dm().Transaction->RecordCount(), static_cast<int>(data.transactions.size()));
}

}  // namespace
}  // namespace quillet::exchange
