#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>

#include "store/database.h"
#include "store/schema.h"
#include "store/table.h"
#include "temp_dir.h"

using namespace quillet;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> tablesIn(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  std::vector<std::string> names;
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name", -1, &st, nullptr);
  while (sqlite3_step(st) == SQLITE_ROW) names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
  sqlite3_finalize(st);
  sqlite3_close(db);
  return names;
}

}  // namespace

TEST(Database, CreatesAPrivateStoreWithEveryTableWhenNoneExists) {
  TempDir dir;
  TKADaoDatabase db;
  db.Database = dir / "data/sub/Quillet.mdb";
  db.ProgramFolder = dir / "program";
  db.SetActive(true);
  db.SetActive(false);
  auto names = tablesIn(db.Database);
  EXPECT_EQ(names.size(), StoreSchema().size());
  for (const auto& t : StoreSchema()) EXPECT_NE(std::find(names.begin(), names.end(), t.name), names.end()) << t.name;
  struct stat st {};
  ASSERT_EQ(stat(db.Database.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(Database, SmartOpenUsesTheFileBesideTheProgram) {
  TempDir dir;
  fs::create_directories(dir.path() / "program");
  {
    TKADaoDatabase seed;
    seed.Database = dir / "program/Quillet.mdb";
    seed.SetActive(true);
    seed.exec("INSERT INTO [Category1] VALUES (7, 'Food');");
  }
  TKADaoDatabase db;
  db.Database = dir / "configured/Quillet.mdb";
  db.ProgramFolder = dir / "program";
  db.SetActive(true);
  EXPECT_EQ(db.Database, dir / "program/Quillet.mdb");
  EXPECT_FALSE(fs::exists(dir / "configured/Quillet.mdb"));
  TKADaoTable view(db, "Category1", "Category1", TableSchema("Category1").columns);
  view.Open();
  EXPECT_EQ(view.RecordCount(), 1);
}

TEST(Database, AFileThatIsNotADatabaseIsRefusedAndLeftUnchanged) {
  TempDir dir;
  const std::string path = dir / "Quillet.mdb";
  const std::string garbage = "this is a spreadsheet, not a store\n" + std::string(5000, 'x');
  writeFile(path, garbage);
  TKADaoDatabase db;
  db.Database = path;
  EXPECT_EQ(openError(db), "file is not a database");
  EXPECT_FALSE(db.Active());
  EXPECT_EQ(readFile(path), garbage);
  EXPECT_THROW(TKADaoDatabase::CompactAccessDatabase(path, ""), StoreError);
  EXPECT_EQ(readFile(path), garbage);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(Database, ASecondOpenIsRefusedAndTheFirstGoesOn) {
  TempDir dir;
  TKADaoDatabase first;
  first.Database = dir / "Quillet.mdb";
  first.SetActive(true);
  TKADaoDatabase second;
  second.Database = first.Database;
  EXPECT_EQ(openError(second), "database is locked: another program is using the store " + first.Database);
  EXPECT_FALSE(second.Active());
  TKADaoTable view(first, "Currency", "Currency", TableSchema("Currency").columns);
  view.Open();
  view.Insert();
  view.FieldByName("NAME").SetAsString("EUR");
  view.Post();
  view.Refresh();
  EXPECT_EQ(view.RecordCount(), 1);
}

TEST(Database, AMissingTableReachesTheCallerWithTheEngineText) {
  TempDir dir;
  TKADaoDatabase db;
  db.Database = dir / "Quillet.mdb";
  db.SetActive(true);
  db.exec("DROP TABLE [RemindType];");
  EXPECT_FALSE(db.EmptyTable("RemindType"));
  EXPECT_TRUE(db.EmptyTable("BalanceType"));
  TKADaoTable view(db, "RemindType", "RemindType", TableSchema("RemindType").columns);
  try {
    view.Open();
    ADD_FAILURE();
  } catch (const StoreError& e) {
    EXPECT_STREQ(e.what(), "no such table: RemindType");
  }
  EXPECT_FALSE(view.Active());
}

TEST(Database, ClosingTheConnectionClosesItsViews) {
  TempDir dir;
  TKADaoDatabase db;
  db.Database = dir / "Quillet.mdb";
  db.SetActive(true);
  TKADaoTable view(db, "Account", "Account", TableSchema("Account").columns);
  view.Open();
  db.SetActive(false);
  EXPECT_FALSE(view.Active());
}

TEST(Database, CompactionReplacesTheFileInPlaceThroughAnMdbTempFile) {
  TempDir dir;
  const std::string path = dir / "Quillet.mdb";
  {
    TKADaoDatabase db;
    db.Database = path;
    db.SetActive(true);
    db.exec("CREATE TABLE junk(x); INSERT INTO junk VALUES (randomblob(200000)); DROP TABLE junk;");
    db.exec("INSERT INTO [Category2] VALUES (7, 'Food');");
  }
  const auto before = fs::file_size(path);
  TKADaoDatabase::CompactAccessDatabase(path, "");
  EXPECT_LT(fs::file_size(path), before);
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(dir.path())) left.push_back(e.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"Quillet.mdb"});
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  TKADaoDatabase db;
  db.Database = path;
  db.SetActive(true);
  TKADaoTable view(db, "Category2", "Category2", TableSchema("Category2").columns);
  view.Open();
  ASSERT_EQ(view.RecordCount(), 1);
  EXPECT_EQ(view.FieldByName("NAME").AsString(), "Food");
}

TEST(Database, FailedCompactionKeepsTheOriginalUsable) {
  TempDir dir;
  const std::string path = dir / "Quillet.mdb";
  TKADaoDatabase holder;
  holder.Database = path;
  holder.SetActive(true);
  holder.exec("INSERT INTO [Category2] VALUES (7, 'Food');");
  // The store is still held open exclusively: the copy cannot be read.
  const std::string bytes = readFile(path);
  EXPECT_THROW(TKADaoDatabase::CompactAccessDatabase(path, ""), StoreError);
  EXPECT_EQ(readFile(path), bytes);
  for (const auto& e : fs::directory_iterator(dir.path()))
    EXPECT_NE(e.path().filename().string().rfind("mdb", 0), 0u) << "temporary file left: " << e.path();
  TKADaoTable view(holder, "Category2", "Category2", TableSchema("Category2").columns);
  view.Open();
  EXPECT_EQ(view.RecordCount(), 1);
}
