#include "cli/common.h"

#include <cstdio>
#include <exception>

#include "cli/usage.h"
#include "exchange/folders.h"
#include "store/paths.h"

namespace quillet::cli {

void write(std::FILE* f, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), f);
  std::fflush(f);
}

void line(std::FILE* f, std::string_view text) {
  std::string s(text);
  s.push_back('\n');
  write(f, s);
}

int usageError(const std::string& why) {
  line(stderr, "quillet-cli: " + why);
  write(stderr, kUsage);
  return kExitUsage;
}

namespace {

// Closes without saving: the data module then has nothing left to write at its end.
void closeUnsaved(TDM& dm) { dm.Database->SetActive(false); }

}  // namespace

OpenStore::~OpenStore() {
  if (mode != StoreMode::ReadOnly || !dm) return;
  try {
    closeUnsaved(*dm);
  } catch (...) {
  }
}

std::unique_ptr<OpenStore> openStore(const std::optional<std::string>& db, StoreMode mode) {
  auto store = std::make_unique<OpenStore>();
  store->mode = mode;
  const std::string storePath = db ? *db : DefaultStorePath();
  // An explicit store is that file and no other: the copy beside the program is only
  // looked for when the default store is used.
  store->dm = std::make_unique<TDM>(store->ui, storePath, db ? std::string() : exchange::ProgramFolder());
  // A mistyped --db must not become an empty store that an export then writes out over
  // good handheld files.
  store->dm->Database->CreateIfMissing = mode == StoreMode::Create;
  store->dm->Database->ReadOnly = mode == StoreMode::ReadOnly;
  try {
    store->dm->DataModuleCreate();
  } catch (const std::exception& e) {
    line(stderr, e.what());
    return nullptr;
  }
  return store;
}

int notCompacted(int status) { return status == kExitOk ? kExitNotCompacted : status; }

int closeStore(OpenStore& store, int status) {
  try {
    if (store.mode == StoreMode::ReadOnly) closeUnsaved(*store.dm);
    else store.dm->DataModuleDestroy();
  } catch (const CompactError& e) {
    line(stderr, e.what());
    return notCompacted(status);
  } catch (const std::exception& e) {
    line(stderr, e.what());
    return kExitUsage;
  }
  return status;
}

}  // namespace quillet::cli
