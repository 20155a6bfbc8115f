// The ten record decoders on arbitrary bytes: the first byte picks the table (modulo 10),
// the rest is the record. A record that decodes is exported again and the exported bytes
// decoded once more: the second export must equal the first (a decoded row is a fixed
// point of export and import).
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "pdb/records.h"
#include "store/datamodule.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace quillet;
using namespace quillet::pdb;

struct Store {
  std::string dir;
  HeadlessStoreUi ui;
  std::unique_ptr<TDM> dm;

  Store() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillet-fuzz-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!::mkdtemp(name.data())) std::abort();
    dir = name.data();
    dm = std::make_unique<TDM>(ui, dir + "/Quillet.mdb", dir);
    dm->DataModuleCreate();
    dm->BatchModeOn();  // one long transaction: no sync per row
  }
};

Store& store() {
  static Store* s = [] {
    auto* made = new Store();
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(store().dir, ec);
    });
    return made;
  }();
  return *s;
}

void emptyView(int table) {
  TKADaoTable& view = store().dm->DataView(table);
  if (view.IsEmpty()) return;
  store().dm->Database->EmptyTable(kTableLayouts[table].table);
  view.Refresh();
}

// The records the layout's export gives for the view's rows.
std::vector<Bytes> exportRows(int table) {
  const TableLayout& l = kTableLayouts[table];
  const int n = store().dm->DataView(table).RecordCount();
  std::vector<std::uint32_t> sizes;
  for (int i = 0; i < n; ++i) {
    sizes.push_back(l.size(i));
    if (sizes.back() > kRecordBufferSize) std::abort();
  }
  std::vector<Bytes> out;
  for (int i = 0; i < n; ++i) {
    const std::uint8_t* p = l.data(i);
    out.emplace_back(p, p + sizes[static_cast<std::size_t>(i)]);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > kMaxRecordLength + 1) return 0;
  const int table = data[0] % 10;
  const auto length = static_cast<std::uint32_t>(size - 1);
  std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[length ? length : 1]);
  if (length) std::memcpy(exact.get(), data + 1, length);

  emptyView(table);
  const TableLayout& l = kTableLayouts[table];
  try {
    l.decode(exact.get(), length);
  } catch (const FormatError&) {
    return 0;
  } catch (const ConvertError&) {
    return 0;  // invalid date or time words
  }
  if (store().dm->DataView(table).RecordCount() != 1) std::abort();

  const std::vector<Bytes> first = exportRows(table);
  emptyView(table);
  l.decode(first.at(0).data(), static_cast<std::uint32_t>(first[0].size()));  // must decode again
  const std::vector<Bytes> second = exportRows(table);
  if (first != second) {
    std::fprintf(stderr, "%s: export of the re-imported record differs\n", l.table);
    std::abort();
  }
  takeExportWarnings();
  return 0;
}
