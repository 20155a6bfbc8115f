// The store under faults: a second program during the close, a killed compaction's copy,
// a failed open, a symbolic link, a read-only file, a mistyped name, a lost transaction.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "store/database.h"
#include "store/datamodule.h"
#include "store/schema.h"
#include "store/table.h"
#include "temp_dir.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> entries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

unsigned modeOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 0777;
}

std::int64_t countRows(const std::string& path, const std::string& table) {
  sqlite3* db = nullptr;
  std::int64_t n = -1;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, ("SELECT count(*) FROM [" + table + "]").c_str(), -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
      n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return n;
}

// Runs the action during every compaction of the scope, in the moment between the engine
// letting go of the store and the copy taking its place.
class DuringCompaction {
 public:
  explicit DuringCompaction(std::function<void(const std::string&)> action) {
    action_ = std::move(action);
    TKADaoDatabase::OnCompactionGap = [](const std::string& file) { action_(file); };
  }
  ~DuringCompaction() {
    TKADaoDatabase::OnCompactionGap = nullptr;
    action_ = nullptr;
  }

 private:
  static inline std::function<void(const std::string&)> action_;
};

// Whether a second process can open the store now: its exit status tells.
std::string openInChild(const std::string& path) {
  int pipefd[2];
  if (::pipe(pipefd) != 0) return "no pipe";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipefd[0]);
    TKADaoDatabase other;
    other.Database = path;
    other.CreateIfMissing = false;
    std::string error = openError(other);
    if (error.empty()) error = "opened";
    (void)!::write(pipefd[1], error.data(), error.size());
    ::_exit(0);
  }
  ::close(pipefd[1]);
  std::string got;
  char buf[512];
  for (ssize_t n; (n = ::read(pipefd[0], buf, sizeof buf)) > 0;) got.append(buf, static_cast<std::size_t>(n));
  ::close(pipefd[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return got;
}

struct Ui : HeadlessStoreUi {};

void addCategory(TDM& dm, int id, const char* name) {
  dm.Category1->Insert();
  dm.Category1ID->SetAsInteger(id);
  dm.Category1NAME->SetAsString(name);
  dm.Category1->Post();
}

}  // namespace

// Fault: the store was let go between the close and the compaction's rename, so a second
// program could open the file that was about to be replaced and mix its data in.
TEST(StoreUnderFaults, ASecondProgramIsRefusedWhileTheStoreClosesAndCompacts) {
  TempDir dir;
  const std::string path = dir / "Quillet.mdb";
  Ui ui;
  TDM dm(ui, path, "");
  dm.DataModuleCreate();
  addCategory(dm, 1, "Food");

  std::vector<std::string> seen;
  {
    DuringCompaction probe([&](const std::string& file) {
      EXPECT_EQ(file, path);
      seen.push_back(openInChild(path));
      TKADaoDatabase here;
      here.Database = path;
      seen.push_back(openError(here));
    });
    dm.EmptyAllTables();  // closes, compacts and reopens
    addCategory(dm, 2, "Rent");
    dm.DataModuleDestroy();  // closes and compacts at exit
  }
  const std::string locked = "database is locked: another program is using the store " + path;
  EXPECT_EQ(seen, (std::vector<std::string>{locked, locked, locked, locked}));
  // Once the compacted file is in place the store is free again and holds only its own data.
  EXPECT_EQ(openInChild(path), "opened");
  EXPECT_EQ(countRows(path, "Category1"), 1);
  EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"Quillet.mdb"});
}

// Fault: the compaction's copy was readable by everyone while it was written, and a killed
// run's copy stayed for ever.
TEST(StoreUnderFaults, TheCompactionCopyIsPrivateAndADeadRunsCopyIsRemovedAtOpen) {
  TempDir dir;
  const std::string path = dir / "new/folder/Quillet.mdb";
  {
    Ui ui;
    TDM dm(ui, path, "");
    dm.DataModuleCreate();
    EXPECT_EQ(modeOf(dir / "new"), 0700u);
    EXPECT_EQ(modeOf(dir / "new/folder"), 0700u);
    std::vector<std::pair<std::string, unsigned>> copies;
    DuringCompaction probe([&](const std::string&) {
      for (const auto& name : entries(dir / "new/folder"))
        if (name.rfind("mdb", 0) == 0) copies.emplace_back(name, modeOf(dir / ("new/folder/" + name)));
    });
    dm.DataModuleDestroy();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].first.size(), 9u);
    EXPECT_EQ(copies[0].second, 0600u);
  }

  const std::string folder = dir / "new/folder";
  const std::string sqliteHead("SQLite format 3\0rest", 20);
  writeFile(folder + "/mdbAb12Cd", sqliteHead);  // a killed compaction's copy
  writeFile(folder + "/mdbZZZZZZ", "");            // killed before it was written
  writeFile(folder + "/mdbPage1z", std::string(4096, '\0') + "page 2");  // page 1 not written yet
  writeFile(folder + "/mdbnotes.txt", sqliteHead);  // not a name the compaction gives
  writeFile(folder + "/mdbQ1w2E3", "a file of the user's own");
  writeFile(folder + "/mdbZZZZZZ-journal", "x");  // the engine's journal of a dead copy
  writeFile(folder + "/mdbLive00", sqliteHead);  // another program's copy, being written
  writeFile(folder + "/mdbLive00-journal", "x");
  const int live = ::open((folder + "/mdbLive00").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(live, LOCK_EX | LOCK_NB), 0);

  TKADaoDatabase db;
  db.Database = path;
  db.SetActive(true);
  EXPECT_EQ(entries(folder), (std::vector<std::string>{"Quillet.mdb", "mdbLive00", "mdbLive00-journal", "mdbQ1w2E3",
                                                       "mdbnotes.txt"}));
  ::close(live);
}

// Fault: after an open that failed half-way, closing saved the window's (unread) filter
// choices over the stored ones and compacted the file.
TEST(StoreUnderFaults, AStoreWhoseOpenFailedStaysByteForByteAsItWas) {
  TempDir dir;
  const std::string path = dir / "Quillet.mdb";
  {
    TKADaoDatabase db;
    db.Database = path;
    db.SetActive(true);
    db.exec("INSERT INTO [_AllFilters] (FRECEIPT, FBILLABLE, FCLEARED) VALUES (2, 1, 2);");
    db.exec("DROP TABLE [Transaction];");
  }
  const std::string before = readFile(path);
  ASSERT_FALSE(before.empty());

  Ui ui;
  {
    TDM dm(ui, path, "");
    EXPECT_THROW(dm.DataModuleCreate(), StoreError);
    EXPECT_TRUE(dm.StoreBusy);
    EXPECT_FALSE(dm.Opened());
    EXPECT_NO_THROW(dm.DataModuleDestroy());
    EXPECT_FALSE(dm.Database->Active());
  }
  EXPECT_EQ(readFile(path), before);
  EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"Quillet.mdb"});
}

// Fault: compaction renamed over a symbolic link (the link became a file) and over a file
// the user may not write.
TEST(StoreUnderFaults, ALinkedStoreIsCompactedBehindItsLinkAndAReadOnlyOneIsLeftAlone) {
  TempDir dir;
  fs::create_directories(dir.path() / "real");
  fs::create_directories(dir.path() / "link");
  const std::string target = dir / "real/Quillet.mdb";
  const std::string link = dir / "link/Quillet.mdb";
  {
    TKADaoDatabase db;
    db.Database = target;
    db.SetActive(true);
  }
  fs::create_symlink(target, link);
  {
    Ui ui;
    TDM dm(ui, link, "");
    dm.DataModuleCreate();
    dm.Category1->Insert();
    dm.Category1NAME->SetAsString("Food");
    dm.Category1->Post();
    dm.DataModuleDestroy();
  }
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::read_symlink(link), target);
  EXPECT_EQ(countRows(target, "Category1"), 1);
  EXPECT_EQ(entries(dir / "link"), std::vector<std::string>{"Quillet.mdb"});
  EXPECT_EQ(entries(dir / "real"), std::vector<std::string>{"Quillet.mdb"});

  ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
  const std::string before = readFile(target);
  {
    Ui ui;
    TDM dm(ui, link, "");
    dm.DataModuleCreate();
    EXPECT_EQ(dm.Category1->RecordCount(), 1);
    try {
      dm.DataModuleDestroy();
      ADD_FAILURE() << "a read-only store was compacted";
    } catch (const CompactError& e) {
      EXPECT_NE(std::string(e.what()).find("The data is saved; only the compaction of " + target + " failed"),
                std::string::npos)
          << e.what();
    }
    EXPECT_FALSE(dm.Database->Active());
  }
  EXPECT_EQ(readFile(target), before);
  EXPECT_EQ(modeOf(target), 0444u);
  EXPECT_EQ(entries(dir / "real"), std::vector<std::string>{"Quillet.mdb"});
}

// Fault: a mistyped store name became a new, empty store.
TEST(StoreUnderFaults, AMissingStoreIsOnlyCreatedWhenThatIsAllowed) {
  TempDir dir;
  TKADaoDatabase db;
  db.Database = dir / "Quilet.mdb";
  db.CreateIfMissing = false;
  EXPECT_EQ(openError(db), "no store at " + (dir / "Quilet.mdb"));
  EXPECT_TRUE(entries(dir.path()).empty());
  db.CreateIfMissing = true;
  EXPECT_EQ(openError(db), "");
  EXPECT_EQ(modeOf(db.Database), 0600u);
}

// An empty file is what a run killed while it created the store leaves behind.
TEST(StoreUnderFaults, AnEmptyStoreFileIsMadeAStoreAgain) {
  TempDir dir;
  const std::string path = dir / "Quillet.mdb";
  writeFile(path, "");
  Ui ui;
  TDM dm(ui, path, "");
  EXPECT_NO_THROW(dm.DataModuleCreate());
  EXPECT_EQ(dm.Transaction->RecordCount(), 0);
}

// Fault: a batch the engine rolled back by itself was "committed" without a word, and the
// rows written after it were saved one by one.
TEST(StoreUnderFaults, ATransactionTheEngineRolledBackIsAnErrorAndNothingIsWrittenAfterIt) {
  TempDir dir;
  Ui ui;
  TDM dm(ui, dir / "Quillet.mdb", "");
  dm.DataModuleCreate();
  addCategory(dm, 1, "Old");

  dm.Database->BeginTransaction();
  dm.Database->BeginTransaction();
  addCategory(dm, 2, "New");
  EXPECT_FALSE(dm.Database->TransactionLost());
  // What the engine does on a full disk or an I/O error: the whole transaction is gone.
  ASSERT_EQ(sqlite3_exec(dm.Database->handle(), "ROLLBACK;", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_TRUE(dm.Database->TransactionLost());
  EXPECT_THROW(addCategory(dm, 3, "Stray"), StoreError);
  dm.Category1->Cancel();
  EXPECT_NO_THROW(dm.Database->CommitTransaction());  // the inner level only counts
  EXPECT_THROW(dm.Database->CommitTransaction(), StoreError);
  EXPECT_FALSE(dm.Database->TransactionLost());
  dm.Category1->Refresh();
  EXPECT_EQ(dm.Category1->RecordCount(), 1);
  EXPECT_EQ(dm.Category1NAME->AsString(), "Old");
}

TEST(StoreUnderFaults, RollingTheReplacementBackKeepsTheOldRows) {
  TempDir dir;
  Ui ui;
  TDM dm(ui, dir / "Quillet.mdb", "");
  dm.DataModuleCreate();
  addCategory(dm, 1, "Old");
  dm.BeginReplaceAll();
  EXPECT_EQ(dm.Category1->RecordCount(), 0);
  addCategory(dm, 2, "New");
  dm.RollbackReplaceAll();
  EXPECT_EQ(dm.Category1->RecordCount(), 1);
  EXPECT_EQ(dm.Category1NAME->AsString(), "Old");
  dm.BeginReplaceAll();
  addCategory(dm, 3, "Newer");
  dm.CommitReplaceAll();
  dm.Reopen();
  EXPECT_EQ(dm.Category1->RecordCount(), 1);
  EXPECT_EQ(dm.Category1NAME->AsString(), "Newer");
}

// A run killed after a commit leaves the engine's journal beside the store (kept open
// between transactions); the next close removes it instead of leaving it for ever.
TEST(StoreUnderFaults, AJournalAKilledRunLeftIsGoneAfterTheNextClose) {
  TempDir dir;
  const std::string path = dir / "Quillet.mdb";
  {
    TKADaoDatabase db;
    db.Database = path;
    db.SetActive(true);
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    TKADaoDatabase db;
    db.Database = path;
    db.SetActive(true);
    db.exec("INSERT INTO [Category1] VALUES (1, 'Food');");
    ::_exit(0);  // as a kill: no close
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_EQ(entries(dir.path()), (std::vector<std::string>{"Quillet.mdb", "Quillet.mdb-journal"}));

  Ui ui;
  TDM dm(ui, path, "");
  dm.DataModuleCreate();
  EXPECT_EQ(dm.Category1->RecordCount(), 1);
  dm.DataModuleDestroy();
  EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"Quillet.mdb"});
  EXPECT_EQ(countRows(path, "Category1"), 1);
}
