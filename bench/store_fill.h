#pragma once
// Bare SQLite fills of a store, shared by the benchmarks: reference rows for the lookups
// and transactions inserted with one prepared statement in one transaction.
#include <sqlite3.h>

#include <string>

namespace quillet::bench {

inline std::string transactionNotes(int i) { return "Groceries at the market, receipt " + std::to_string(i); }

// A few hundred rows in the looked-up tables, and four custom category names.
inline void fillReferenceRows(sqlite3* db) {
  std::string sql = "BEGIN;";
  for (int i = 0; i < 100; ++i)
    for (int c = 1; c <= 4; ++c)
      sql += "INSERT INTO [Category" + std::to_string(c) + "] VALUES (" + std::to_string(i) + ", 'Category " +
             std::to_string(i) + "');";
  for (int i = 0; i < 50; ++i)
    sql += "INSERT INTO [Account] VALUES (" + std::to_string(i) + ", 100.5, 1, 1, 1, 'Account " + std::to_string(i) +
           "', 'Notes of the account');";
  for (int i = 0; i < 10; ++i)
    sql += "INSERT INTO [Currency] VALUES (" + std::to_string(i) + ", 'Currency " + std::to_string(i) + "', 1.5);";
  for (int i = 0; i < 5; ++i) {
    sql += "INSERT INTO [RemindType] VALUES (" + std::to_string(i) + ", 'Remind');";
    sql += "INSERT INTO [BalanceType] VALUES (" + std::to_string(i) + ", 'Balance');";
  }
  sql += "INSERT INTO [CustomNames] VALUES ('Kind'), ('Project'), ('Place'), ('Person');";
  sqlite3_exec(db, (sql + "COMMIT;").c_str(), nullptr, nullptr, nullptr);
}

// rows transactions in one transaction, every column bound.
inline void fillTransactionsBare(sqlite3* db, int rows) {
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO [Transaction] VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", -1, &st,
                     nullptr);
  for (int i = 0; i < rows; ++i) {
    const std::string n = transactionNotes(i);
    sqlite3_bind_int64(st, 1, i);
    sqlite3_bind_int64(st, 2, 0);
    sqlite3_bind_int64(st, 3, i % 50);
    sqlite3_bind_int64(st, 4, (i + 1) % 50);
    sqlite3_bind_double(st, 5, i * 0.25);
    sqlite3_bind_int64(st, 6, i % 10);
    sqlite3_bind_double(st, 7, 0);
    sqlite3_bind_int64(st, 8, 0);
    sqlite3_bind_int64(st, 9, i % 2);
    sqlite3_bind_int64(st, 10, 0);
    sqlite3_bind_int64(st, 11, 0);
    sqlite3_bind_double(st, 12, 37000 + i % 1000 + 0.5);
    sqlite3_bind_int64(st, 13, i % 5);
    sqlite3_bind_text(st, 14, n.data(), static_cast<int>(n.size()), SQLITE_STATIC);
    sqlite3_bind_int64(st, 15, i % 5);
    for (int c = 16; c <= 19; ++c) sqlite3_bind_int64(st, c, i % 100);
    sqlite3_bind_int64(st, 20, 0);
    sqlite3_bind_int64(st, 21, 1);
    sqlite3_bind_int64(st, 22, 1);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

}  // namespace quillet::bench
