// Compaction of the store file: a compacted copy beside the file takes its place.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "store/database.h"
#include "store/filelock.h"
#include "store/table.h"

namespace quillet {

namespace fs = std::filesystem;

void (*TKADaoDatabase::OnCompactionGap)(const std::string& storeFile) = nullptr;

namespace {

// The file itself when the name is a symbolic link: the copy must be made in its folder
// and renamed over it, not over the link.
std::string fileBehind(const std::string& path) {
  std::error_code ec;
  fs::path real = fs::canonical(path, ec);
  return ec ? path : real.string();
}

[[noreturn]] void compactFailed(const std::string& file, const std::string& why) {
  throw CompactError("The data is saved; only the compaction of " + file + " failed: " + why);
}

}  // namespace

void TKADaoDatabase::CompactAccessDatabase(const std::string& fileName, const std::string& /*password*/) {
  // The engine keeps no passwords; the argument is accepted for callers that pass one.
  TKADaoDatabase db;
  db.Database = fileName;
  db.SmartOpen = false;
  db.CreateIfMissing = false;
  db.SetActive(true);
  db.CloseAndCompact(false);
}

void TKADaoDatabase::CloseAndCompact(bool keepLock) {
  if (!db_) return;
  const std::string target = fileBehind(Database);
  const fs::path parent = fs::path(target).parent_path();
  const std::string folder = parent.empty() ? std::string(".") : parent.string();

  auto closeAll = [&] {
    closeConnection();
    if (!keepLock) lock_.release();
  };

  // A store the user may not write is left as it is.
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0) {
    const int e = errno;
    closeAll();
    compactFailed(target, std::strerror(e));
  }
  if (ReadOnly || sqlite3_db_readonly(db_, "main") == 1 || (st.st_mode & 0222) == 0 ||
      ::access(target.c_str(), W_OK) != 0) {
    closeAll();
    compactFailed(target, "the file is read-only; it is left as it was");
  }

  auto views = views_;
  for (auto* v : views) {
    try {
      v->Close();
    } catch (...) {
    }
  }
  // Work that was never committed is not the store's data.
  RollbackTransaction();

  std::string copy;
  const int fd = createLockedPrivateFile(folder, "mdb", "", copy);
  if (fd < 0) {
    const int e = errno;
    closeAll();
    compactFailed(target, "cannot create a temporary file in " + folder + ": " + std::strerror(e));
  }
  FileLock copyLock;
  copyLock.adopt(fd);
  auto fail = [&](const std::string& why) {
    if (copyLock.names(copy)) ::unlink(copy.c_str());
    copyLock.release();
    closeAll();
    compactFailed(target, why);
  };

  // The copy is written by the connection that holds the store, into the private file
  // made above (the engine writes into an existing empty file and keeps its mode).
  {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_, "VACUUM INTO ?1;", -1, &raw, nullptr) != SQLITE_OK) fail(sqlite3_errmsg(db_));
    Statement vacuum;
    vacuum.adopt(raw);
    sqlite3_bind_text(vacuum.get(), 1, copy.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(vacuum.get()) != SQLITE_DONE) fail(sqlite3_errmsg(db_));
  }
  // The copy must be on disk before it takes the original's place.
  if (::fsync(fd) != 0) fail(std::string("cannot write the compacted copy: ") + std::strerror(errno));
  ::fchmod(fd, st.st_mode & 07777);

  closeConnection();
  if (OnCompactionGap) OnCompactionGap(target);
  if (!copyLock.names(copy)) fail("the compacted copy " + copy + " was removed");
  if (::rename(copy.c_str(), target.c_str()) != 0)
    fail("cannot replace the file by its compacted copy: " + std::string(std::strerror(errno)));
  // The engine keeps its journal beside the file between transactions while it holds the
  // file; one left by a killed run (committed, so not needed for recovery) belonged to the
  // file just replaced and would stay for ever.
  ::unlink((target + "-journal").c_str());
  syncFolder(folder);

  if (keepLock) {
    // The copy is the store now, and it is locked already.
    lock_ = std::move(copyLock);
  } else {
    copyLock.release();
    lock_.release();
  }
}

}  // namespace quillet
