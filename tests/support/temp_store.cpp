#include "tests/support/temp_store.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace quillet::fixture {

TempDir::TempDir() {
  std::error_code ec;
  std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) base = "/tmp";
  std::string pattern = (base / "quillet-test-XXXXXX").string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!::mkdtemp(name.data())) throw std::runtime_error("cannot create a temporary folder below " + base.string());
  path_ = name.data();
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const { return path_ + "/" + name; }

std::string TempDir::makeDir(const std::string& name) const {
  std::string p = file(name);
  std::filesystem::create_directories(p);
  return p;
}

TempStore::TempStore() {
  const std::string storeFolder = dir.makeDir("store");
  const std::string programFolder = dir.makeDir("program");
  storePath_ = storeFolder + "/Quillet.mdb";
  dm_ = std::make_unique<TDM>(ui, storePath_, programFolder);
  dm_->DataModuleCreate();
}

TempStore::~TempStore() { dm_.reset(); }

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace quillet::fixture
