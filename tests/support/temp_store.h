#pragma once
// Temporary folders and fresh stores for tests.
//
//   quillet::fixture::TempStore store;            // new empty store, DM set
//   DM->Category1->RecordCount();
//   store.dir.path()                              // a scratch folder beside the store
#include <memory>
#include <string>
#include <vector>

#include "store/datamodule.h"

namespace quillet::fixture {

// A new empty folder below the system's temporary folder, removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string file(const std::string& name) const;
  // Creates a sub-folder (and its parents) and returns its path.
  std::string makeDir(const std::string& name) const;

 private:
  std::string path_;
};

// The names in a folder, sorted; none for a folder that is missing or cannot be read.
std::vector<std::string> filesIn(const std::string& folder);

// A fresh store: a TDM over "<temp>/store/Quillet.mdb" with a HeadlessStoreUi, opened by
// DataModuleCreate, so quillet::DM points at it. Only one may exist at a time (DM is global).
// The destructor destroys the data module (closing the store) and removes the folders.
class TempStore {
 public:
  TempStore();
  ~TempStore();
  TempStore(const TempStore&) = delete;
  TempStore& operator=(const TempStore&) = delete;

  TDM& dm() const { return *dm_; }
  const std::string& storePath() const { return storePath_; }

  TempDir dir;  // scratch folder for handheld files (the store lives in a sub-folder)
  HeadlessStoreUi ui;

 private:
  std::string storePath_;
  std::unique_ptr<TDM> dm_;
};

}  // namespace quillet::fixture
