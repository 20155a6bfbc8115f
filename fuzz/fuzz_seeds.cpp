// Writes starting corpora for the two fuzz targets: one valid record of every table
// (first byte: the table's index) and a small container file of every table.
//   fuzz_seeds RECORDS_DIR CONTAINER_DIR
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "pdb/container.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void be32(Bytes& b, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<std::uint8_t>(v >> s));
}
void be16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v >> 8));
  b.push_back(static_cast<std::uint8_t>(v));
}
void text(Bytes& b, const char* s) { b.insert(b.end(), s, s + std::strlen(s) + 1); }

Bytes idName(std::uint32_t id, const char* name) {
  Bytes b;
  be32(b, id);
  text(b, name);
  return b;
}

std::vector<Bytes> recordsOf(int table) {
  switch (table) {
    case 4: {  // Currency
      Bytes b;
      be32(b, 2);
      be32(b, 0x3F800000u);
      text(b, "USD");
      return {b};
    }
    case 7: {  // CustomNames
      Bytes a, k;
      text(a, "Purpose");
      text(k, "");
      return {a, k};
    }
    case 8: {  // Account
      Bytes b;
      be32(b, 10);
      be32(b, 0x3DCCCCCDu);
      be32(b, 2);
      b.push_back(1);
      b.push_back(2);
      text(b, "Wallet");
      text(b, "line\r\nnext");
      return {b};
    }
    case 9: {  // Transaction
      Bytes b;
      for (std::uint32_t v : {100u, 0u, 11u, 10u, 0x41480000u, 2u, 0xFFFFFFFFu, 1u, 1u, 1u, 7u, 0u, 0u}) be32(b, v);
      for (std::uint32_t w : {30u, 15u, 14u, 9u, 8u, 2002u, 3u}) be16(b, w);
      for (int f = 0; f < 7; ++f) b.push_back(static_cast<std::uint8_t>(f % 3));
      text(b, "first\r\nsecond");
      return {b};
    }
    default:
      return {idName(7, "Food"), idName(0xFFFFFFFFu, "")};
  }
}

bool writeFile(const std::string& path, const Bytes& b) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s RECORDS_DIR CONTAINER_DIR\n", argv[0]);
    return 2;
  }
  const char* tables[10] = {"Category1",   "Category2",  "Category3",   "Category4", "Currency",
                            "BalanceType", "RemindType", "CustomNames", "Account",   "Transaction"};
  for (int t = 0; t < 10; ++t) {
    const std::vector<Bytes> records = recordsOf(t);
    for (std::size_t i = 0; i < records.size(); ++i) {
      Bytes seed{static_cast<std::uint8_t>(t)};
      seed.insert(seed.end(), records[i].begin(), records[i].end());
      if (!writeFile(std::string(argv[1]) + "/" + tables[t] + "-" + std::to_string(i), seed)) return 1;
    }
    const std::string path = std::string(argv[2]) + "/QL_" + tables[t] + ".pdb";
    const std::string name = std::string("QL_") + tables[t];
    if (quillet::pdb::exportPdb(
            path.c_str(), name.c_str(), "DATA", "IDql", static_cast<int>(records.size()),
            [&](int i) { return static_cast<std::uint32_t>(records[static_cast<std::size_t>(i)].size()); },
            [&](int i) {
              const Bytes& r = records[static_cast<std::size_t>(i)];
              std::memcpy(quillet::pdb::recordBuffer, r.data(), r.size());
              return quillet::pdb::recordBuffer;
            },
            nullptr) != 0)
      return 1;
  }
  return 0;
}
