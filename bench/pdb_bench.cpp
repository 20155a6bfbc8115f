// Import and export of a full handheld folder (32,767 transactions, a few hundred rows in
// each other table) beside their floors, measured in the same run:
//   import floor: the same files read and parsed by a bare loop, the rows inserted with
//                 bare prepared statements in one transaction (after deleting the old rows
//                 in it), then the same compaction: VACUUM INTO a private copy beside the
//                 file, fsync, close, rename over the file, open again;
//   export floor: the same rows read with a bare SELECT, the records built by a bare loop
//                 and each file written with one write beside it, synced and renamed into
//                 place (as durable as the program's own files).
// Prints the times (best and median of the repetitions) and the ratios; goal <= 1.3.
//   bench_pdb_bench [repetitions] [transactions]
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "exchange/transfer.h"
#include "pdb/records.h"
#include "store/datamodule.h"
#include "store/datetime.h"
#include "tests/support/handheld_fixture.h"
#include "tests/support/temp_store.h"

namespace {

using namespace quillet;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

class QuietUi : public exchange::ExchangeUi {
 public:
  void status(const std::string&) override {}
  void error(const std::string& text) override { throw std::runtime_error("exchange error: " + text); }
  void warning(const std::string&) override {}
  void beep() override {}
};

struct Timing {
  std::vector<double> ms;
  double best() const { return *std::min_element(ms.begin(), ms.end()); }
  double median() const {
    std::vector<double> s = ms;
    std::sort(s.begin(), s.end());
    return s[s.size() / 2];
  }
};

double timeMs(const std::function<void()>& f) {
  const auto t0 = Clock::now();
  f();
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// ---------------------------------------------------------------- bare SQLite

void check(sqlite3* db, int rc) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) throw std::runtime_error(sqlite3_errmsg(db));
}
void exec(sqlite3* db, const char* sql) { check(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr)); }

struct Stmt {
  sqlite3_stmt* s = nullptr;
  Stmt(sqlite3* db, const std::string& sql) { check(db, sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr)); }
  ~Stmt() { sqlite3_finalize(s); }
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;
};

const char* sqlType(FieldType t) {
  switch (t) {
    case FieldType::Integer:
    case FieldType::Boolean:
      return "INTEGER";
    case FieldType::Float:
    case FieldType::DateTime:
      return "REAL";
    default:
      return "TEXT";
  }
}

sqlite3* openFloorFile(const std::string& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot open " + path);
  exec(db, "PRAGMA locking_mode=EXCLUSIVE;");
  return db;
}

// The compaction at its barest: the copy written by the open connection, synced, the
// connection closed, the copy renamed over the file and the file opened again.
void floorCompact(sqlite3*& db, const std::string& path) {
  std::string copy = path.substr(0, path.rfind('/') + 1) + "mdbXXXXXX";
  const int fd = ::mkstemp(copy.data());
  if (fd < 0) throw std::runtime_error("mkstemp");
  Stmt vacuum(db, "VACUUM INTO ?1");
  sqlite3_bind_text(vacuum.s, 1, copy.c_str(), -1, SQLITE_TRANSIENT);
  check(db, sqlite3_step(vacuum.s));
  if (::fsync(fd) != 0) throw std::runtime_error("fsync");
  ::close(fd);
  sqlite3_finalize(vacuum.s);
  vacuum.s = nullptr;
  sqlite3_close(db);
  if (::rename(copy.c_str(), path.c_str()) != 0) throw std::runtime_error("rename");
  db = openFloorFile(path);
}

// The ten tables as the store creates them, in a file of their own.
sqlite3* openFloorStore(const std::string& path) {
  sqlite3* db = openFloorFile(path);
  std::string sql = "BEGIN;";
  for (const auto& t : StoreSchema()) {
    sql += "CREATE TABLE [" + t.name + "] (";
    for (std::size_t i = 0; i < t.columns.size(); ++i)
      sql += (i ? ", [" : "[") + t.columns[i].name + "] " + sqlType(t.columns[i].type);
    sql += ");";
  }
  exec(db, (sql + "COMMIT;").c_str());
  return db;
}

std::uint32_t be32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
std::uint16_t be16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }
double f32(const std::uint8_t* p) { return static_cast<double>(std::bit_cast<float>(be32(p))); }
void bindText(sqlite3_stmt* s, int i, const std::uint8_t*& p) {
  const auto* t = reinterpret_cast<const char*>(p);
  const std::size_t n = std::strlen(t);
  sqlite3_bind_text(s, i, t, static_cast<int>(n), SQLITE_STATIC);
  p += n + 1;
}

Bytes readWhole(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw std::runtime_error("cannot open " + path);
  std::fseek(f, 0, SEEK_END);
  Bytes b(static_cast<std::size_t>(std::ftell(f)));
  std::fseek(f, 0, SEEK_SET);
  if (std::fread(b.data(), 1, b.size(), f) != b.size()) throw std::runtime_error("cannot read " + path);
  std::fclose(f);
  return b;
}

const char* const kInsert[10] = {
    "INSERT INTO [Category1] (ID, NAME) VALUES (?,?)",   "INSERT INTO [Category2] (ID, NAME) VALUES (?,?)",
    "INSERT INTO [Category3] (ID, NAME) VALUES (?,?)",   "INSERT INTO [Category4] (ID, NAME) VALUES (?,?)",
    "INSERT INTO [Currency] (ID, RATE, NAME) VALUES (?,?,?)", "INSERT INTO [BalanceType] (ID, NAME) VALUES (?,?)",
    "INSERT INTO [RemindType] (ID, NAME) VALUES (?,?)",  "INSERT INTO [CustomNames] (NAME) VALUES (?)",
    "INSERT INTO [Account] (ID, AMOUNT, CURRENCY_ID, FACTIVE, FTOTAL, NAME, NOTES) VALUES (?,?,?,?,?,?,?)",
    "INSERT INTO [Transaction] (ID, MIRROR_ID, ACC_TO_ID, ACC_FROM_ID, AMOUNT, CURRENCY_ID, CURRENCY_RATE, "
    "REMINDTYPE_ID, BALANCETYPE_ID, CATEGORY1_ID, CATEGORY2_ID, CATEGORY3_ID, CATEGORY4_ID, DATE, FOWNCURRENCY, "
    "FADD, FMIRROR, FREMIND, FRECEIPT, FBILLABLE, FCLEARED, NOTES) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
};

void floorImport(sqlite3* db, const std::string& folder) {
  exec(db, "BEGIN;");
  for (const char* t : kDataTables) exec(db, ("DELETE FROM [" + std::string(t) + "];").c_str());
  for (int table = 0; table < 10; ++table) {
    const Bytes file = readWhole(folder + "/" + fixture::handheldFileName(kDataTables[table]));
    Stmt st(db, kInsert[table]);
    sqlite3_stmt* s = st.s;
    const std::uint16_t n = be16(file.data() + 76);
    for (std::uint32_t r = 0; r < n; ++r) {
      const std::uint8_t* p = file.data() + be32(file.data() + 78 + 8 * r);
      int col = 1;
      auto i32 = [&] {
        sqlite3_bind_int(s, col++, static_cast<std::int32_t>(be32(p)));
        p += 4;
      };
      auto real = [&] {
        sqlite3_bind_double(s, col++, f32(p));
        p += 4;
      };
      auto flag = [&] { sqlite3_bind_int(s, col++, *p++ ? 1 : 0); };
      switch (table) {
        case 4:
          i32();
          real();
          bindText(s, col++, p);
          break;
        case 7:
          bindText(s, col++, p);
          break;
        case 8:
          i32();
          real();
          i32();
          flag();
          flag();
          bindText(s, col++, p);
          bindText(s, col++, p);
          break;
        case 9: {
          for (int k = 0; k < 6; ++k) {
            if (k == 4) {
              real();
            } else {
              i32();
            }
          }
          if (be32(p) == 0xFFFFFFFFu) {
            sqlite3_bind_double(s, col++, 0.0);
            p += 4;
          } else {
            real();
          }
          for (int k = 0; k < 6; ++k) i32();
          const int w[6] = {be16(p), be16(p + 2), be16(p + 4), be16(p + 6), be16(p + 8), be16(p + 10)};
          p += 14;
          sqlite3_bind_double(s, col++, EncodeDateTime(w[5], w[4], w[3], w[2], w[1], w[0]));
          for (int k = 0; k < 7; ++k) flag();
          bindText(s, col++, p);
          break;
        }
        default:
          i32();
          bindText(s, col++, p);
      }
      check(db, sqlite3_step(s));
      sqlite3_reset(s);
    }
  }
  exec(db, "COMMIT;");
}

// ---------------------------------------------------------------- export floor

struct Out {
  Bytes b;
  void u8(std::uint32_t v) { b.push_back(static_cast<std::uint8_t>(v)); }
  void u16(std::uint32_t v) {
    u8(v >> 8);
    u8(v);
  }
  void u32(std::uint32_t v) {
    u16(v >> 16);
    u16(v);
  }
  void f(double v) { u32(std::bit_cast<std::uint32_t>(static_cast<float>(v))); }
  void text(sqlite3_stmt* s, int c, bool strip) {
    const auto* t = sqlite3_column_text(s, c);
    const int n = sqlite3_column_bytes(s, c);
    for (int i = 0, kept = 0; i < n && kept < 4095; ++i) {
      if (strip && t[i] == '\r') continue;
      b.push_back(t[i]);
      ++kept;
    }
    b.push_back(0);
  }
};

const char* const kSelect[10] = {
    "SELECT ID, NAME FROM [Category1]",          "SELECT ID, NAME FROM [Category2]",
    "SELECT ID, NAME FROM [Category3]",          "SELECT ID, NAME FROM [Category4]",
    "SELECT ID, RATE, NAME FROM [Currency]",     "SELECT ID, NAME FROM [BalanceType]",
    "SELECT ID, NAME FROM [RemindType]",         "SELECT NAME FROM [CustomNames]",
    "SELECT ID, AMOUNT, CURRENCY_ID, FACTIVE, FTOTAL, NAME, NOTES FROM [Account]",
    "SELECT ID, MIRROR_ID, ACC_TO_ID, ACC_FROM_ID, AMOUNT, CURRENCY_ID, CURRENCY_RATE, REMINDTYPE_ID, "
    "BALANCETYPE_ID, CATEGORY1_ID, CATEGORY2_ID, CATEGORY3_ID, CATEGORY4_ID, DATE, FOWNCURRENCY, FADD, FMIRROR, "
    "FREMIND, FRECEIPT, FBILLABLE, FCLEARED, NOTES FROM [Transaction]",
};

void floorExport(sqlite3* db, const std::string& folder) {
  Out data;
  Out file;
  std::vector<std::uint32_t> sizes;
  for (int table = 0; table < 10; ++table) {
    Stmt st(db, kSelect[table]);
    sqlite3_stmt* s = st.s;
    data.b.clear();
    sizes.clear();
    Out& o = data;
    while (sqlite3_step(s) == SQLITE_ROW) {
      const std::size_t start = o.b.size();
      auto i32 = [&](int c) { o.u32(static_cast<std::uint32_t>(sqlite3_column_int(s, c))); };
      switch (table) {
        case 4:
          i32(0);
          o.f(sqlite3_column_double(s, 1));
          o.text(s, 2, false);
          break;
        case 7:
          o.text(s, 0, false);
          break;
        case 8:
          i32(0);
          o.f(sqlite3_column_double(s, 1));
          i32(2);
          o.u8(sqlite3_column_int(s, 3) ? 1 : 0);
          o.u8(sqlite3_column_int(s, 4) ? 1 : 0);
          o.text(s, 5, false);
          o.text(s, 6, true);
          break;
        case 9: {
          for (int c = 0; c < 13; ++c) (c == 4 || c == 6) ? o.f(sqlite3_column_double(s, c)) : i32(c);
          const DateTimeParts d = DecodeDateTime(sqlite3_column_double(s, 13));
          for (int w : {d.second, d.minute, d.hour, d.day, d.month, d.year, 0}) o.u16(static_cast<std::uint32_t>(w));
          for (int c = 14; c < 21; ++c) o.u8(sqlite3_column_int(s, c) ? 1 : 0);
          o.text(s, 21, true);
          break;
        }
        default:
          i32(0);
          o.text(s, 1, false);
      }
      sizes.push_back(static_cast<std::uint32_t>(o.b.size() - start));
    }
    // Header, list, gap and records in one buffer, written at once.
    const std::string name = std::string("QL_") + kDataTables[table];
    file.b.assign(78, 0);
    std::memcpy(file.b.data(), name.data(), name.size());
    std::memcpy(file.b.data() + 60, "DATAIDql", 8);
    file.b[76] = static_cast<std::uint8_t>(sizes.size() >> 8);
    file.b[77] = static_cast<std::uint8_t>(sizes.size());
    std::uint32_t offset = static_cast<std::uint32_t>(80 + 8 * sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
      file.u32(offset);
      file.u32(static_cast<std::uint32_t>(i));
      offset += sizes[i];
    }
    file.u16(0);
    file.b.insert(file.b.end(), data.b.begin(), data.b.end());
    // As durable as the program's files: written beside, synced, renamed, folder synced.
    const std::string path = folder + "/" + fixture::handheldFileName(kDataTables[table]);
    const std::string temp = path + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + temp);
    if (::write(fd, file.b.data(), file.b.size()) != static_cast<ssize_t>(file.b.size()) || ::fsync(fd) != 0)
      throw std::runtime_error("write");
    ::close(fd);
    if (::rename(temp.c_str(), path.c_str()) != 0) throw std::runtime_error("rename");
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    ::fsync(dir);
    ::close(dir);
  }
}

// ---------------------------------------------------------------- the program's own work

// The import's inner part without emptying the store: batch mode and the ten files, with
// the time of each phase added to the given timings when asked.
struct Phases {
  Timing on, files, off;
};
void decodeOnly(TDM& dm, const std::string& folder, Phases* phases = nullptr) {
  auto t0 = Clock::now();
  BatchModeGuard batch(dm);
  auto t1 = Clock::now();
  for (int i = 0; i < 10; ++i) {
    const std::string path = folder + "/" + fixture::handheldFileName(kDataTables[i]);
    if (pdb::importPdb(path.c_str(), pdb::kTableLayouts[i].decode) != 0) throw std::runtime_error("import");
  }
  auto t2 = Clock::now();
  batch.finish();
  auto t3 = Clock::now();
  if (phases) {
    using Ms = std::chrono::duration<double, std::milli>;
    phases->on.ms.push_back(Ms(t1 - t0).count());
    phases->files.ms.push_back(Ms(t2 - t1).count());
    phases->off.ms.push_back(Ms(t3 - t2).count());
  }
}

void emptyViews(TDM& dm) {
  for (int i = 0; i < 10; ++i) {
    dm.Database->EmptyTable(kDataTables[i]);
    dm.DataView(i).Refresh();
  }
}

void print(const char* what, const Timing& t) {
  std::printf("  %-44s best %9.1f ms   median %9.1f ms\n", what, t.best(), t.median());
}
void ratio(const char* what, const Timing& a, const Timing& b) {
  std::printf("  %-44s best %6.2f   median %6.2f   %s\n", what, a.best() / b.best(), a.median() / b.median(),
              a.median() / b.median() <= 1.3 ? "(goal <= 1.3 met)" : "(goal <= 1.3 NOT met)");
}

}  // namespace

int main(int argc, char** argv) {
  const int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const int transactions = argc > 2 ? std::atoi(argv[2]) : 32767;
  const int others = 300;
  try {
    fixture::TempStore store;
    const std::string in = store.dir.makeDir("in");
    const std::string out = store.dir.makeDir("out");
    const std::string floorOut = store.dir.makeDir("floor-out");
    fixture::writeHandheldFolder(in, fixture::syntheticData(transactions, others));
    const std::string floorPath = store.dir.file("floor.mdb");
    sqlite3* floorDb = openFloorStore(floorPath);
    QuietUi ui;
    TDM& dm = store.dm();

    Timing importFull, importInner, importFloor, exportProduct, exportFloor;
    Phases phases;
    for (int r = 0; r < reps; ++r) {
      importFull.ms.push_back(timeMs([&] {
        if (exchange::importFromFolder(dm, in, ui) != 0) throw std::runtime_error("import failed");
      }));
      emptyViews(dm);
      importInner.ms.push_back(timeMs([&] { decodeOnly(dm, in, &phases); }));
      importFloor.ms.push_back(timeMs([&] {
        floorImport(floorDb, in);
        floorCompact(floorDb, floorPath);
      }));
      exportProduct.ms.push_back(timeMs([&] {
        if (exchange::exportToFolder(dm, out, std::nullopt, ui) != 0) throw std::runtime_error("export failed");
      }));
      exportFloor.ms.push_back(timeMs([&] { floorExport(floorDb, floorOut); }));
    }
    if (dm.Transaction->RecordCount() != transactions) throw std::runtime_error("wrong row count");

    // Where EmptyAllTables spends its time, step by step, on the full store.
    Timing deletes, deletesAtOnce, destroy, create, emptyAll;
    Phases afterEmptyAll;
    for (int r = 0; r < reps; ++r) {  // the store holds the folder's rows at each step's start
      // The import's own order: EmptyAllTables, then the files into the compacted store.
      emptyAll.ms.push_back(timeMs([&] { dm.EmptyAllTables(); }));
      decodeOnly(dm, in, &afterEmptyAll);
      // The same steps one by one.
      deletes.ms.push_back(timeMs([&] {
        for (const char* t : kDataTables) dm.Database->EmptyTable(t);
      }));
      destroy.ms.push_back(timeMs([&] { dm.DataModuleDestroy(); }));
      create.ms.push_back(timeMs([&] { dm.DataModuleCreate(); }));
      decodeOnly(dm, in);
      // What one transaction around the deletes would cost.
      deletesAtOnce.ms.push_back(timeMs([&] {
        dm.Database->BeginTransaction();
        for (const char* t : kDataTables) dm.Database->EmptyTable(t);
        dm.Database->CommitTransaction();
      }));
      emptyViews(dm);
      decodeOnly(dm, in);
    }
    // Both exports must have written the same records.
    for (const char* t : kDataTables) {
      const auto a = fixture::parsePdbFile(out + "/" + fixture::handheldFileName(t));
      const auto b = fixture::parsePdbFile(floorOut + "/" + fixture::handheldFileName(t));
      if (a.records.size() != b.records.size()) throw std::runtime_error(std::string("floor differs: ") + t);
      for (std::size_t i = 0; i < a.records.size(); ++i)
        if (a.records[i].data != b.records[i].data) throw std::runtime_error(std::string("floor differs: ") + t);
    }
    sqlite3_close(floorDb);

    std::printf("Handheld folder: %d transactions, %d rows in each other table; %d repetitions\n", transactions,
                others, reps);
    print("import (importFromFolder: empty, fill, compact)", importFull);
    print("import's fill alone (batch mode, ten files)", importInner);
    print("import floor (bare fill + compaction)", importFloor);
    print("export (exportToFolder)", exportProduct);
    print("export floor (bare SELECT, one synced write/file)", exportFloor);
    std::printf("  the fill alone, phase by phase:\n");
    print("  BatchModeOn", phases.on);
    print("  importPdb of the ten files (decode, insert)", phases.files);
    print("  BatchModeOff (commit, filter back on)", phases.off);
    print("EmptyAllTables on the full store", emptyAll);
    print("  then the ten files into the compacted store", afterEmptyAll.files);
    print("  then BatchModeOff", afterEmptyAll.off);
    std::printf("  EmptyAllTables, step by step:\n");
    print("  DELETE FROM the ten tables, one by one", deletes);
    print("  DataModuleDestroy (close, VACUUM INTO, fsync)", destroy);
    print("  DataModuleCreate (open, read the views)", create);
    print("  (the DELETEs in one transaction instead)", deletesAtOnce);
    ratio("import / floor", importFull, importFloor);
    ratio("export / floor", exportProduct, exportFloor);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench failed: %s\n", e.what());
    return 1;
  }
  return 0;
}
