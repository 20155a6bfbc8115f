#pragma once
// Record layouts of the ten handheld tables: each decoder appends one row to its view of
// the data module DM, each encoder pair measures and builds the records of its view's rows.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pdb/container.h"
#include "pdb/cursor.h"

namespace quillet::pdb {

void importCategory1(const std::uint8_t* data, std::uint32_t length);
void importCategory2(const std::uint8_t* data, std::uint32_t length);
void importCategory3(const std::uint8_t* data, std::uint32_t length);
void importCategory4(const std::uint8_t* data, std::uint32_t length);
void importCurrency(const std::uint8_t* data, std::uint32_t length);
void importBalanceType(const std::uint8_t* data, std::uint32_t length);
void importRemindType(const std::uint8_t* data, std::uint32_t length);
void importCustomNames(const std::uint8_t* data, std::uint32_t length);
void importAccount(const std::uint8_t* data, std::uint32_t length);
void importTransaction(const std::uint8_t* data, std::uint32_t length);

std::uint32_t category1Size(int i);
std::uint32_t category2Size(int i);
std::uint32_t category3Size(int i);
std::uint32_t category4Size(int i);
std::uint32_t currencySize(int i);
std::uint32_t balanceTypeSize(int i);
std::uint32_t remindTypeSize(int i);
std::uint32_t customNamesSize(int i);
std::uint32_t accountSize(int i);
std::uint32_t transactionSize(int i);

const std::uint8_t* category1Data(int i);
const std::uint8_t* category2Data(int i);
const std::uint8_t* category3Data(int i);
const std::uint8_t* category4Data(int i);
const std::uint8_t* currencyData(int i);
const std::uint8_t* balanceTypeData(int i);
const std::uint8_t* remindTypeData(int i);
const std::uint8_t* customNamesData(int i);
const std::uint8_t* accountData(int i);
const std::uint8_t* transactionData(int i);

// The handheld keeps at most this many bytes of notes.
inline constexpr std::size_t kMaxNotes = 4095;

// A copy of the text without carriage returns.
std::string stripCR(std::string_view text);

// The decoders raise FormatError for a record shorter than its layout's fixed part or
// whose text lacks its NUL inside the record ("record 3: notes text without its
// terminating NUL"); the row is then not added. Invalid date words raise the store's
// ConvertError ("Invalid argument to date encode" / "... time encode") unchanged.
//
// On export a text is written up to its first NUL byte; a name longer than its field's
// 50 bytes is cut to 50 and notes longer than kMaxNotes after stripCR are cut to kMaxNotes,
// in both passes alike, so the file is still written. Each cut is noted, once per row, as
// a warning such as "Notes of Transaction row 17 (ID 123) shortened from 5000 to 4095 bytes"
// (row index within the walk, and the row's ID).
// The warnings noted since the last call, oldest first; the list is emptied.
std::vector<std::string> takeExportWarnings();

// The ten tables in their fixed order, with their layout functions.
struct TableLayout {
  const char* table;            // "Category1"
  std::uint32_t (*size)(int);   // recordSize
  const std::uint8_t* (*data)(int);  // recordData
  void (*decode)(const std::uint8_t*, std::uint32_t);  // onRecord
};
extern const TableLayout kTableLayouts[10];

}  // namespace quillet::pdb
