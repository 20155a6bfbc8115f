#include "app_fixture.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "store/database.h"
#include "store/paths.h"
#include "text/messages.h"

namespace quillet::app::testing {

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

void AppTest::SetUp() {
  home_ = std::make_unique<quillet::fixture::TempDir>();
  ::setenv("HOME", home_->path().c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", home_->makeDir("config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", home_->makeDir("data").c_str(), 1);
  home_->makeDir("program");
  text::applyEnglishMessages();  // as a freshly loaded program has them
}

void AppTest::TearDown() {
  if (program_) Stop();
  home_.reset();
}

QuilletProgram& AppTest::Start() {
  Environment env;
  env.dialogs = &dialogs_;
  env.shiftHeld = [this] { return stopping_ ? shiftAtExit_ : shiftAtStart_; };
  env.programFolder = QString::fromStdString(home_->file("program"));
  stopping_ = false;
  program_ = std::make_unique<QuilletProgram>(env);
  program_->Start();
  return *program_;
}

void AppTest::Stop() {
  if (!program_) return;
  stopping_ = true;
  if (program_->MainForm()) program_->MainForm()->close();
  program_->Shutdown();
  program_.reset();
}

std::string AppTest::StorePath() const { return DefaultStorePath(); }

void AppTest::MakeStore(const std::string& sql) {
  {
    TKADaoDatabase db;
    db.Database = StorePath();
    db.ProgramFolder = home_->file("program");
    db.SetActive(true);  // creates the store with its tables
    db.SetActive(false);
  }
  if (!sql.empty()) ExecOnStore(sql);
}

void AppTest::ExecOnStore(const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(StorePath().c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

long long AppTest::QueryStore(const std::string& sql) {
  sqlite3* db = nullptr;
  long long result = -1;
  if (sqlite3_open_v2(StorePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
      result = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return result;
}

void AppTest::WriteSettings(const SettingsKey::Values& values) const {
  WriteFileBytes(SettingsFile(), SettingsKey::Serialize(values));
}

std::vector<DialogCall> AppTest::Errors() const {
  std::vector<DialogCall> errors;
  for (const auto& c : dialogs_.calls)
    if (c.kind == DialogCall::Error) errors.push_back(c);
  return errors;
}

SettingsKey::Value Dword(std::uint32_t v) {
  SettingsKey::Value value;
  value.kind = ValueKind::Dword;
  value.dword = v;
  return value;
}

SettingsKey::Value Sz(const std::string& s) {
  SettingsKey::Value value;
  value.kind = ValueKind::Sz;
  value.bytes = s;
  return value;
}

SettingsKey::Value Binary(const std::vector<std::uint8_t>& bytes) {
  SettingsKey::Value value;
  value.kind = ValueKind::Binary;
  value.bytes.assign(bytes.begin(), bytes.end());
  return value;
}

}  // namespace quillet::app::testing
