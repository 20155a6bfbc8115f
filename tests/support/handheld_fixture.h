#pragma once
// Handheld folders for tests and benchmarks: rows described in C++ become the ten
// "QL_<Table>.pdb" files exactly as the handheld writes them. The bytes are built here,
// independently of pdb/, so that tests of the reader and writer do not check the code
// against itself.
//
// Typical use:
//   quillet::fixture::HandheldData data;
//   data.category2 = {{7, "Food"}};
//   data.transactions.push_back({.id = 1, .amount = 12.5f, .notes = "first\r\nsecond"});
//   quillet::fixture::writeHandheldFolder(dir, data);   // the ten files
//
// Texts are bytes (the handheld's code page) and are written unchanged.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillet::fixture {

using Bytes = std::vector<std::uint8_t>;

// ---------------------------------------------------------------- rows

// Category1..4, BalanceType, RemindType: identifier and name.
struct IdNameRow {
  std::int32_t id = 0;
  std::string name;
};

struct CurrencyRow {
  std::int32_t id = 0;
  float rate = 1.0f;
  std::string name;
};

// The seven date words of a transaction, in record order.
struct DateWords {
  std::uint16_t second = 30, minute = 15, hour = 14, day = 9, month = 8, year = 2002;
  std::uint16_t seventh = 0;  // ignored by the reader; the handheld may leave anything here
};

struct AccountRow {
  std::int32_t id = 0;
  float amount = 0.0f;
  std::int32_t currencyId = 0;
  std::uint8_t active = 1;  // flag bytes: any non-zero value reads true
  std::uint8_t total = 1;
  std::string name;
  std::string notes;
};

struct TransactionRow {
  std::int32_t id = 0;
  std::int32_t mirrorId = 0;
  std::int32_t accToId = 0;
  std::int32_t accFromId = 0;
  float amount = 0.0f;
  std::int32_t currencyId = 0;
  std::optional<float> ownRate;  // empty: the bytes FF FF FF FF (no own rate)
  std::int32_t remindTypeId = 0;
  std::int32_t balanceTypeId = 0;
  std::int32_t category1Id = 0, category2Id = 0, category3Id = 0, category4Id = 0;
  DateWords date;
  std::uint8_t ownCurrency = 0, add = 0, mirror = 0, remind = 0, receipt = 0, billable = 0, cleared = 0;
  std::string notes;
};

// The contents of one handheld folder, table by table.
struct HandheldData {
  std::vector<IdNameRow> category1, category2, category3, category4;
  std::vector<CurrencyRow> currencies;
  std::vector<IdNameRow> balanceTypes, remindTypes;
  std::vector<std::string> customNames;  // record i names category list i + 1
  std::vector<AccountRow> accounts;
  std::vector<TransactionRow> transactions;
};

// A small consistent folder: a few rows in every table, references that resolve, one
// transaction with CR LF notes, one without an own rate, one with an own rate.
HandheldData sampleData();

// A large deterministic folder for benchmarks: `transactions` transaction rows and
// `otherRows` rows in each of the other nine tables, names and notes of varied lengths,
// valid dates, references into the other tables.
HandheldData syntheticData(int transactions, int otherRows);

// ---------------------------------------------------------------- records

// Record bytes of one row, exactly as the handheld writes them (big-endian, NUL-terminated texts).
Bytes recordOf(const IdNameRow& row);
Bytes recordOf(const CurrencyRow& row);
Bytes customNameRecord(const std::string& name);
Bytes recordOf(const AccountRow& row);
Bytes recordOf(const TransactionRow& row);

// The records of one table of the folder, by table name ("Category1" .. "Transaction").
// Raises std::invalid_argument for an unknown name.
std::vector<Bytes> tableRecords(const HandheldData& data, const std::string& table);

// ---------------------------------------------------------------- files

// One record of a container file, with the list entry's attribute byte and unique ID.
struct PdbRecord {
  Bytes data;
  std::uint8_t attributes = 0;
  std::uint32_t uniqueId = 0;  // low 24 bits are written
};

struct PdbOptions {
  std::string type = "DATA";
  std::string creator = "IDql";
  std::uint16_t attributes = 0;  // bit 0: resource database (then the list holds 10-byte resource entries)
  std::uint32_t creationDate = 0xBA000000u;
  std::uint32_t modificationDate = 0xBA000000u;
  bool gap = true;  // the two zero bytes after the list
};

// A whole container file: header, list (unique IDs 0, 1, 2, ... unless given), gap, records.
Bytes pdbBytes(const std::string& name, const std::vector<Bytes>& records, const PdbOptions& options = {});
Bytes pdbBytes(const std::string& name, const std::vector<PdbRecord>& records, const PdbOptions& options = {});

// "QL_" + table + ".pdb"
std::string handheldFileName(const std::string& table);

// Writes the ten files of the folder (which must exist); returns their paths in table order.
std::vector<std::string> writeHandheldFolder(const std::string& folder, const HandheldData& data);
// Writes one table's file into the folder and returns its path.
std::string writeHandheldFile(const std::string& folder, const HandheldData& data, const std::string& table);

// Writes bytes to a file (replacing it); raises std::runtime_error on failure.
void writeFileBytes(const std::string& path, const Bytes& bytes);
// Reads a whole file; raises std::runtime_error when it cannot be read.
Bytes readFileBytes(const std::string& path);

// ---------------------------------------------------------------- reading back

// An independent reader for checking written files: the header and each record's list
// entry and bytes (record databases only). Raises std::runtime_error for a damaged file.
struct ParsedPdb {
  std::string name;
  std::uint16_t attributes = 0, version = 0;
  std::uint32_t creationDate = 0, modificationDate = 0, lastBackupDate = 0, modificationNumber = 0;
  std::uint32_t appInfoOffset = 0, sortInfoOffset = 0;
  std::string type, creator;
  std::uint32_t uniqueIdSeed = 0, nextRecordList = 0;
  std::uint16_t recordCount = 0;
  std::vector<std::uint32_t> offsets;
  std::vector<PdbRecord> records;
};
ParsedPdb parsePdb(const Bytes& file);
ParsedPdb parsePdbFile(const std::string& path);

// Hex text of bytes, "00 00 00 07 46" (for readable test failures).
std::string hex(const Bytes& bytes);

}  // namespace quillet::fixture
