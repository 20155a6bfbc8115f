#include "tests/support/handheld_fixture.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace quillet::fixture {

namespace {

void put8(Bytes& b, std::uint32_t v) { b.push_back(static_cast<std::uint8_t>(v)); }
void put16(Bytes& b, std::uint32_t v) {
  put8(b, v >> 8);
  put8(b, v);
}
void put32(Bytes& b, std::uint32_t v) {
  put8(b, v >> 24);
  put8(b, v >> 16);
  put8(b, v >> 8);
  put8(b, v);
}
void putId(Bytes& b, std::int32_t v) { put32(b, static_cast<std::uint32_t>(v)); }
void putF(Bytes& b, float v) { put32(b, std::bit_cast<std::uint32_t>(v)); }
void putText(Bytes& b, const std::string& s) {
  b.insert(b.end(), s.begin(), s.end());
  put8(b, 0);
}

std::uint16_t get16(const Bytes& b, std::size_t at) {
  return static_cast<std::uint16_t>((b[at] << 8) | b[at + 1]);
}
std::uint32_t get32(const Bytes& b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

template <typename Row>
std::vector<Bytes> recordsOf(const std::vector<Row>& rows) {
  std::vector<Bytes> out;
  out.reserve(rows.size());
  for (const Row& r : rows) out.push_back(recordOf(r));
  return out;
}

}  // namespace

// ---------------------------------------------------------------- rows

HandheldData sampleData() {
  HandheldData d;
  d.category1 = {{1, "Household"}, {2, "Travel"}};
  d.category2 = {{7, "Food"}, {8, "Fuel"}};
  d.category3 = {{1, "Work"}};
  d.category4 = {{-1, "None"}};
  d.currencies = {{1, 1.0f, "RUB"}, {2, 30.5f, "USD"}, {3, 0.1f, "XTS"}};
  d.balanceTypes = {{1, "Cash"}, {2, "Card"}};
  d.remindTypes = {{0, "Never"}, {1, "Daily"}};
  d.customNames = {"Purpose", "Kind", "Project", "Place"};
  d.accounts = {{.id = 10, .amount = 1500.25f, .currencyId = 1, .name = "Wallet", .notes = "pocket money"},
                {.id = 11, .amount = -20.0f, .currencyId = 2, .active = 0, .total = 2, .name = "Card", .notes = ""}};
  TransactionRow t1;
  t1.id = 100;
  t1.accFromId = 10;
  t1.amount = 12.5f;
  t1.currencyId = 1;
  t1.balanceTypeId = 1;
  t1.category1Id = 1;
  t1.category2Id = 7;
  t1.notes = "first\r\nsecond";
  TransactionRow t2;
  t2.id = 101;
  t2.mirrorId = 102;
  t2.accToId = 11;
  t2.accFromId = 10;
  t2.amount = 0.1f;
  t2.currencyId = 2;
  t2.ownRate = 31.25f;
  t2.ownCurrency = 1;
  t2.mirror = 1;
  t2.add = 2;
  t2.cleared = 1;
  t2.date = {0, 0, 0, 29, 2, 2000, 0};
  TransactionRow t3;
  t3.id = 102;
  t3.mirrorId = 101;
  t3.accToId = 10;
  t3.amount = 100.0f;
  t3.currencyId = 1;
  t3.add = 1;
  t3.receipt = 1;
  t3.billable = 1;
  t3.remind = 1;
  t3.remindTypeId = 1;
  t3.date = {59, 59, 23, 31, 12, 2003, 3};
  t3.notes = "monthly";
  d.transactions = {t1, t2, t3};
  return d;
}

HandheldData syntheticData(int transactions, int otherRows) {
  HandheldData d;
  const int n = otherRows > 0 ? otherRows : 1;
  auto name = [](const char* stem, int i) {
    std::string s = std::string(stem) + " " + std::to_string(i);
    s.append(static_cast<std::size_t>(i % 23), 'x');  // varied lengths, 50 bytes at most
    return s;
  };
  for (int i = 0; i < n; ++i) {
    d.category1.push_back({i + 1, name("Purpose", i)});
    d.category2.push_back({i + 1, name("Kind", i)});
    d.category3.push_back({i + 1, name("Project", i)});
    d.category4.push_back({i + 1, name("Place", i)});
    d.currencies.push_back({i + 1, 1.0f + static_cast<float>(i) * 0.25f, name("Cur", i)});
    d.balanceTypes.push_back({i + 1, name("Balance", i)});
    d.remindTypes.push_back({i, name("Remind", i)});
    d.customNames.push_back(name("List", i));
    AccountRow a;
    a.id = i + 1;
    a.amount = static_cast<float>(i) * 10.5f;
    a.currencyId = i % n + 1;
    a.active = static_cast<std::uint8_t>(i % 2);
    a.total = 1;
    a.name = name("Account", i);
    a.notes = i % 3 ? std::string(static_cast<std::size_t>(i % 97), 'n') : std::string();
    d.accounts.push_back(a);
  }
  d.transactions.reserve(static_cast<std::size_t>(transactions > 0 ? transactions : 0));
  for (int i = 0; i < transactions; ++i) {
    TransactionRow t;
    t.id = i + 1;
    t.mirrorId = i % 10 == 0 ? i + 2 : 0;
    t.accToId = i % n + 1;
    t.accFromId = (i + 1) % n + 1;
    t.amount = static_cast<float>(i % 1000) * 1.25f;
    t.currencyId = i % n + 1;
    if (i % 4 == 0) t.ownRate = 2.5f;
    t.remindTypeId = i % n;
    t.balanceTypeId = i % n + 1;
    t.category1Id = i % n + 1;
    t.category2Id = (i * 7) % n + 1;
    t.category3Id = (i * 13) % n + 1;
    t.category4Id = (i * 17) % n + 1;
    t.date = {static_cast<std::uint16_t>(i % 60), static_cast<std::uint16_t>((i / 60) % 60),
              static_cast<std::uint16_t>(i % 24),  static_cast<std::uint16_t>(i % 28 + 1),
              static_cast<std::uint16_t>(i % 12 + 1), static_cast<std::uint16_t>(1995 + i % 30), 0};
    t.ownCurrency = t.ownRate ? 1 : 0;
    t.add = static_cast<std::uint8_t>(i % 2);
    t.cleared = static_cast<std::uint8_t>(i % 3 == 0);
    t.notes = "note " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 41), 'z');
    d.transactions.push_back(std::move(t));
  }
  return d;
}

// ---------------------------------------------------------------- records

Bytes recordOf(const IdNameRow& row) {
  Bytes b;
  putId(b, row.id);
  putText(b, row.name);
  return b;
}

Bytes recordOf(const CurrencyRow& row) {
  Bytes b;
  putId(b, row.id);
  putF(b, row.rate);
  putText(b, row.name);
  return b;
}

Bytes customNameRecord(const std::string& name) {
  Bytes b;
  putText(b, name);
  return b;
}

Bytes recordOf(const AccountRow& row) {
  Bytes b;
  putId(b, row.id);
  putF(b, row.amount);
  putId(b, row.currencyId);
  put8(b, row.active);
  put8(b, row.total);
  putText(b, row.name);
  putText(b, row.notes);
  return b;
}

Bytes recordOf(const TransactionRow& row) {
  Bytes b;
  b.reserve(74 + row.notes.size());
  putId(b, row.id);
  putId(b, row.mirrorId);
  putId(b, row.accToId);
  putId(b, row.accFromId);
  putF(b, row.amount);
  putId(b, row.currencyId);
  if (row.ownRate) {
    putF(b, *row.ownRate);
  } else {
    put32(b, 0xFFFFFFFFu);
  }
  putId(b, row.remindTypeId);
  putId(b, row.balanceTypeId);
  putId(b, row.category1Id);
  putId(b, row.category2Id);
  putId(b, row.category3Id);
  putId(b, row.category4Id);
  const DateWords& w = row.date;
  for (std::uint16_t v : {w.second, w.minute, w.hour, w.day, w.month, w.year, w.seventh}) put16(b, v);
  for (std::uint8_t f : {row.ownCurrency, row.add, row.mirror, row.remind, row.receipt, row.billable, row.cleared})
    put8(b, f);
  putText(b, row.notes);
  return b;
}

std::vector<Bytes> tableRecords(const HandheldData& data, const std::string& table) {
  if (table == "Category1") return recordsOf(data.category1);
  if (table == "Category2") return recordsOf(data.category2);
  if (table == "Category3") return recordsOf(data.category3);
  if (table == "Category4") return recordsOf(data.category4);
  if (table == "Currency") return recordsOf(data.currencies);
  if (table == "BalanceType") return recordsOf(data.balanceTypes);
  if (table == "RemindType") return recordsOf(data.remindTypes);
  if (table == "CustomNames") {
    std::vector<Bytes> out;
    for (const auto& n : data.customNames) out.push_back(customNameRecord(n));
    return out;
  }
  if (table == "Account") return recordsOf(data.accounts);
  if (table == "Transaction") return recordsOf(data.transactions);
  throw std::invalid_argument("no handheld table named " + table);
}

// ---------------------------------------------------------------- files

Bytes pdbBytes(const std::string& name, const std::vector<Bytes>& records, const PdbOptions& options) {
  std::vector<PdbRecord> r;
  r.reserve(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) r.push_back({records[i], 0, static_cast<std::uint32_t>(i)});
  return pdbBytes(name, r, options);
}

Bytes pdbBytes(const std::string& name, const std::vector<PdbRecord>& records, const PdbOptions& options) {
  const bool resource = (options.attributes & 1) != 0;
  const std::size_t entry = resource ? 10 : 8;
  Bytes b;
  std::string n = name.substr(0, 31);
  b.insert(b.end(), n.begin(), n.end());
  b.resize(32, 0);
  put16(b, options.attributes);
  put16(b, 0);
  put32(b, options.creationDate);
  put32(b, options.modificationDate);
  for (int i = 0; i < 4; ++i) put32(b, 0);
  for (const std::string* code : {&options.type, &options.creator}) {
    for (std::size_t i = 0; i < 4; ++i) put8(b, i < code->size() ? static_cast<unsigned char>((*code)[i]) : 0u);
  }
  put32(b, 0);
  put32(b, 0);
  put16(b, static_cast<std::uint32_t>(records.size()));
  std::size_t offset = 78 + entry * records.size() + (options.gap ? 2 : 0);
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (resource) {
      put32(b, 0x74535452u);  // "tSTR"
      put16(b, static_cast<std::uint32_t>(i));
      put32(b, static_cast<std::uint32_t>(offset));
    } else {
      put32(b, static_cast<std::uint32_t>(offset));
      put32(b, (std::uint32_t{records[i].attributes} << 24) | (records[i].uniqueId & 0x00FFFFFFu));
    }
    offset += records[i].data.size();
  }
  if (options.gap) {
    put8(b, 0);
    put8(b, 0);
  }
  for (const auto& r : records) b.insert(b.end(), r.data.begin(), r.data.end());
  return b;
}

std::string handheldFileName(const std::string& table) { return "QL_" + table + ".pdb"; }

std::string writeHandheldFile(const std::string& folder, const HandheldData& data, const std::string& table) {
  const std::string path = folder + "/" + handheldFileName(table);
  writeFileBytes(path, pdbBytes("QL_" + table, tableRecords(data, table)));
  return path;
}

std::vector<std::string> writeHandheldFolder(const std::string& folder, const HandheldData& data) {
  static const char* const kTables[10] = {"Category1",   "Category2",  "Category3",   "Category4", "Currency",
                                          "BalanceType", "RemindType", "CustomNames", "Account",   "Transaction"};
  std::vector<std::string> paths;
  for (const char* t : kTables) paths.push_back(writeHandheldFile(folder, data, t));
  return paths;
}

void writeFileBytes(const std::string& path, const Bytes& bytes) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!f) throw std::runtime_error("cannot create " + path);
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size())
    throw std::runtime_error("cannot write " + path);
  if (std::fclose(f.release()) != 0) throw std::runtime_error("cannot write " + path);
}

Bytes readFileBytes(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!f) throw std::runtime_error("cannot open " + path);
  Bytes out;
  std::uint8_t chunk[65536];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f.get())) > 0) out.insert(out.end(), chunk, chunk + n);
  if (std::ferror(f.get())) throw std::runtime_error("cannot read " + path);
  return out;
}

// ---------------------------------------------------------------- reading back

ParsedPdb parsePdb(const Bytes& file) {
  if (file.size() < 78) throw std::runtime_error("shorter than a header");
  ParsedPdb p;
  const char* raw = reinterpret_cast<const char*>(file.data());
  p.name.assign(raw, ::strnlen(raw, 32));
  p.attributes = get16(file, 32);
  p.version = get16(file, 34);
  p.creationDate = get32(file, 36);
  p.modificationDate = get32(file, 40);
  p.lastBackupDate = get32(file, 44);
  p.modificationNumber = get32(file, 48);
  p.appInfoOffset = get32(file, 52);
  p.sortInfoOffset = get32(file, 56);
  p.type.assign(raw + 60, 4);
  p.creator.assign(raw + 64, 4);
  p.uniqueIdSeed = get32(file, 68);
  p.nextRecordList = get32(file, 72);
  p.recordCount = get16(file, 76);
  if (p.attributes & 1) throw std::runtime_error("a resource database");
  const std::size_t n = p.recordCount;
  if (file.size() < 78 + 8 * n) throw std::runtime_error("shorter than its record list");
  for (std::size_t i = 0; i < n; ++i) p.offsets.push_back(get32(file, 78 + 8 * i));
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t begin = p.offsets[i];
    const std::size_t end = i + 1 < n ? p.offsets[i + 1] : file.size();
    if (begin > end || end > file.size()) throw std::runtime_error("offsets out of order or outside the file");
    PdbRecord r;
    const std::uint32_t word = get32(file, 78 + 8 * i + 4);
    r.attributes = static_cast<std::uint8_t>(word >> 24);
    r.uniqueId = word & 0x00FFFFFFu;
    r.data.assign(file.begin() + static_cast<std::ptrdiff_t>(begin), file.begin() + static_cast<std::ptrdiff_t>(end));
    p.records.push_back(std::move(r));
  }
  return p;
}

ParsedPdb parsePdbFile(const std::string& path) { return parsePdb(readFileBytes(path)); }

std::string hex(const Bytes& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string s;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i) s += ' ';
    s += digits[bytes[i] >> 4];
    s += digits[bytes[i] & 15];
  }
  return s;
}

}  // namespace quillet::fixture
