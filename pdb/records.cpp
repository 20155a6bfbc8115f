#include "pdb/records.h"

#include <array>
#include <cstring>
#include <optional>

#include "store/datamodule.h"
#include "store/datetime.h"

namespace quillet::pdb {

namespace {

TDM& dm() {
  if (!DM) throw StoreError("the data module is not open");
  return *DM;
}

// One new row of a view: posted by post(), cancelled on every other way out so that a
// failed record leaves no pending row behind.
class NewRow {
 public:
  explicit NewRow(TKADaoTable& view) : view_(view) { view_.Insert(); }
  ~NewRow() {
    if (!posted_) {
      try {
        view_.Cancel();
      } catch (...) {
      }
    }
  }
  NewRow(const NewRow&) = delete;
  NewRow& operator=(const NewRow&) = delete;
  void post() {
    view_.Post();
    posted_ = true;
  }

 private:
  TKADaoTable& view_;
  bool posted_ = false;
};

// ---------------------------------------------------------------- decoding

constexpr std::uint32_t kIdNameFixed = 5;
constexpr std::uint32_t kCurrencyFixed = 9;
constexpr std::uint32_t kCustomNameFixed = 1;
constexpr std::uint32_t kAccountFixed = 16;
constexpr std::uint32_t kTransactionFixed = 74;

ReadCursor recordCursor(const std::uint8_t* data, std::uint32_t length, std::uint32_t fixedPart) {
  ReadCursor c(data, data ? length : 0, currentRecordIndex());
  c.requireFixedPart(fixedPart);
  return c;
}

void decodeIdName(const std::uint8_t* data, std::uint32_t length, TKADaoTable& view, TField& id, TField& name) {
  ReadCursor c = recordCursor(data, length, kIdNameFixed);
  const std::int32_t idValue = getLong(c);
  const std::string_view nameText = getString(c, "name text");
  NewRow row(view);
  id.SetAsInteger(idValue);
  name.SetAsString(nameText);
  row.post();
}

// ---------------------------------------------------------------- encoding

std::vector<std::string> g_warnings;

// What is written of a text: its bytes up to the first NUL, at most `limit` of them.
// A cut is noted once per row, in the length pass.
std::string_view writtenText(std::string_view text, std::size_t limit, bool note, const char* what,
                             const char* table, int row, std::optional<std::int32_t> id) {
  std::string_view out = text.substr(0, text.find('\0'));
  if (out.size() > limit) out = out.substr(0, limit);
  if (note && out.size() != text.size()) {
    std::string w = std::string(what) + " of " + table + " row " + std::to_string(row);
    if (id) w += " (ID " + std::to_string(*id) + ")";
    w += " shortened from " + std::to_string(text.size()) + " to " + std::to_string(out.size()) + " bytes";
    g_warnings.push_back(std::move(w));
  }
  return out;
}

std::size_t nameWidth(const TField& field) { return field.Size() > 0 ? static_cast<std::size_t>(field.Size()) : 50; }

std::uint32_t flag(const TField& field) { return field.AsBoolean() ? 1u : 0u; }

using Encoder = std::uint32_t (*)(TDM&, int row, bool note);

template <TField* TDM::*Id, TField* TDM::*Name>
std::uint32_t encodeIdName(TDM& d, int row, bool note, const char* table) {
  WriteCursor c;
  const std::int32_t id = (d.*Id)->AsInteger();
  const std::string name = (d.*Name)->AsString();
  putLong(static_cast<std::uint32_t>(id), c);
  putString(writtenText(name, nameWidth(*(d.*Name)), note, "Name", table, row, id), c);
  return c.written();
}

std::uint32_t encodeCurrency(TDM& d, int row, bool note) {
  WriteCursor c;
  const std::int32_t id = d.CurrencyID->AsInteger();
  const std::string name = d.CurrencyNAME->AsString();
  putLong(static_cast<std::uint32_t>(id), c);
  putFloat(d.CurrencyRATE->AsFloat(), c);
  putString(writtenText(name, nameWidth(*d.CurrencyNAME), note, "Name", "Currency", row, id), c);
  return c.written();
}

std::uint32_t encodeCustomNames(TDM& d, int row, bool note) {
  WriteCursor c;
  const std::string name = d.CustomNamesNAME->AsString();
  putString(writtenText(name, nameWidth(*d.CustomNamesNAME), note, "Name", "CustomNames", row, std::nullopt), c);
  return c.written();
}

std::uint32_t encodeAccount(TDM& d, int row, bool note) {
  WriteCursor c;
  const std::int32_t id = d.AccountID->AsInteger();
  const std::string name = d.AccountNAME->AsString();
  const std::string notes = stripCR(d.AccountNOTES->AsString());
  putLong(static_cast<std::uint32_t>(id), c);
  putFloat(d.AccountAMOUNT->AsFloat(), c);
  putLong(static_cast<std::uint32_t>(d.AccountCURRENCY_ID->AsInteger()), c);
  putByte(flag(*d.AccountFACTIVE), c);
  putByte(flag(*d.AccountFTOTAL), c);
  putString(writtenText(name, nameWidth(*d.AccountNAME), note, "Name", "Account", row, id), c);
  putString(writtenText(notes, kMaxNotes, note, "Notes", "Account", row, id), c);
  return c.written();
}

std::uint32_t encodeTransaction(TDM& d, int row, bool note) {
  WriteCursor c;
  const std::int32_t id = d.TransactionID->AsInteger();
  putLong(static_cast<std::uint32_t>(id), c);
  putLong(static_cast<std::uint32_t>(d.TransactionMIRROR_ID->AsInteger()), c);
  putLong(static_cast<std::uint32_t>(d.TransactionACC_TO_ID->AsInteger()), c);
  putLong(static_cast<std::uint32_t>(d.TransactionACC_FROM_ID->AsInteger()), c);
  putFloat(d.TransactionAMOUNT->AsFloat(), c);
  putLong(static_cast<std::uint32_t>(d.TransactionCURRENCY_ID->AsInteger()), c);
  // No own rate is stored as 0.0 and written as zeros, never as the FF FF FF FF marker.
  putFloat(d.TransactionCURRENCY_RATE->AsFloat(), c);
  putLong(static_cast<std::uint32_t>(d.TransactionREMINDTYPE_ID->AsInteger()), c);
  putLong(static_cast<std::uint32_t>(d.TransactionBALANCETYPE_ID->AsInteger()), c);
  putLong(static_cast<std::uint32_t>(d.TransactionCATEGORY1_ID->AsInteger()), c);
  putLong(static_cast<std::uint32_t>(d.TransactionCATEGORY2_ID->AsInteger()), c);
  putLong(static_cast<std::uint32_t>(d.TransactionCATEGORY3_ID->AsInteger()), c);
  putLong(static_cast<std::uint32_t>(d.TransactionCATEGORY4_ID->AsInteger()), c);
  const DateTimeParts date = DecodeDateTime(d.TransactionDATE->AsDateTime());  // empty: 30.12.1899 00:00
  putWord(static_cast<std::uint32_t>(date.second), c);
  putWord(static_cast<std::uint32_t>(date.minute), c);
  putWord(static_cast<std::uint32_t>(date.hour), c);
  putWord(static_cast<std::uint32_t>(date.day), c);
  putWord(static_cast<std::uint32_t>(date.month), c);
  putWord(static_cast<std::uint32_t>(date.year), c);
  putWord(0, c);
  putByte(flag(*d.TransactionFOWNCURRENCY), c);
  putByte(flag(*d.TransactionFADD), c);
  putByte(flag(*d.TransactionFMIRROR), c);
  putByte(flag(*d.TransactionFREMIND), c);
  putByte(flag(*d.TransactionFRECEIPT), c);
  putByte(flag(*d.TransactionFBILLABLE), c);
  putByte(flag(*d.TransactionFCLEARED), c);
  const std::string notes = stripCR(d.TransactionNOTES->AsString());
  putString(writtenText(notes, kMaxNotes, note, "Notes", "Transaction", row, id), c);
  return c.written();
}

enum TableIndex { kCategory1, kCategory2, kCategory3, kCategory4, kCurrency, kBalanceType, kRemindType, kCustomNames,
                  kAccount, kTransaction, kTableCount };

struct ExportTable {
  const char* name;
  std::unique_ptr<TKADaoTable> TDM::*view;
  Encoder encode;
};

const ExportTable kExportTables[kTableCount] = {
    {"Category1", &TDM::Category1,
     [](TDM& d, int r, bool n) { return encodeIdName<&TDM::Category1ID, &TDM::Category1NAME>(d, r, n, "Category1"); }},
    {"Category2", &TDM::Category2,
     [](TDM& d, int r, bool n) { return encodeIdName<&TDM::Category2ID, &TDM::Category2NAME>(d, r, n, "Category2"); }},
    {"Category3", &TDM::Category3,
     [](TDM& d, int r, bool n) { return encodeIdName<&TDM::Category3ID, &TDM::Category3NAME>(d, r, n, "Category3"); }},
    {"Category4", &TDM::Category4,
     [](TDM& d, int r, bool n) { return encodeIdName<&TDM::Category4ID, &TDM::Category4NAME>(d, r, n, "Category4"); }},
    {"Currency", &TDM::Currency, encodeCurrency},
    {"BalanceType", &TDM::BalanceType,
     [](TDM& d, int r, bool n) {
       return encodeIdName<&TDM::BalanceTypeID, &TDM::BalanceTypeNAME>(d, r, n, "BalanceType");
     }},
    {"RemindType", &TDM::RemindType,
     [](TDM& d, int r, bool n) {
       return encodeIdName<&TDM::RemindTypeID, &TDM::RemindTypeNAME>(d, r, n, "RemindType");
     }},
    {"CustomNames", &TDM::CustomNames, encodeCustomNames},
    {"Account", &TDM::Account, encodeAccount},
    {"Transaction", &TDM::Transaction, encodeTransaction},
};

// Lengths of the length pass, so that the data pass can prove it built the same records.
std::array<std::vector<std::uint32_t>, kTableCount> g_sizes;

// Both passes walk the view from its first row, one row per call.
TKADaoTable& rowFor(const ExportTable& t, TDM& d, int i) {
  TKADaoTable* view = (d.*t.view).get();
  if (!view) throw StoreError(std::string(t.name) + ": the table is not open");
  if (i == 0) view->First();
  if (i < 0 || view->RecNo() != i) {
    throw FormatError(std::string(t.name) + ": row " + std::to_string(i) + " was asked for, but the table has " +
                      std::to_string(view->RecordCount()) + " rows");
  }
  return *view;
}

std::uint32_t measure(TableIndex table, int i) {
  const ExportTable& t = kExportTables[table];
  TDM& d = dm();
  TKADaoTable& view = rowFor(t, d, i);
  const std::uint32_t size = t.encode(d, i, true);
  auto& sizes = g_sizes[table];
  sizes.resize(static_cast<std::size_t>(i));
  sizes.push_back(size);
  view.Next();
  return size;
}

const std::uint8_t* build(TableIndex table, int i) {
  const ExportTable& t = kExportTables[table];
  TDM& d = dm();
  TKADaoTable& view = rowFor(t, d, i);
  const std::uint32_t size = t.encode(d, i, false);
  const auto& sizes = g_sizes[table];
  if (static_cast<std::size_t>(i) >= sizes.size() || sizes[static_cast<std::size_t>(i)] != size) {
    throw FormatError(std::string(t.name) + ": row " + std::to_string(i) +
                      " changed between the length pass and the data pass");
  }
  view.Next();
  return recordBuffer;
}

}  // namespace

std::string stripCR(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    if (ch != '\r') out.push_back(ch);
  }
  return out;
}

std::vector<std::string> takeExportWarnings() {
  std::vector<std::string> out;
  out.swap(g_warnings);
  return out;
}

// ---------------------------------------------------------------- decoders

void importCategory1(const std::uint8_t* data, std::uint32_t length) {
  TDM& d = dm();
  decodeIdName(data, length, *d.Category1, *d.Category1ID, *d.Category1NAME);
}
void importCategory2(const std::uint8_t* data, std::uint32_t length) {
  TDM& d = dm();
  decodeIdName(data, length, *d.Category2, *d.Category2ID, *d.Category2NAME);
}
void importCategory3(const std::uint8_t* data, std::uint32_t length) {
  TDM& d = dm();
  decodeIdName(data, length, *d.Category3, *d.Category3ID, *d.Category3NAME);
}
void importCategory4(const std::uint8_t* data, std::uint32_t length) {
  TDM& d = dm();
  decodeIdName(data, length, *d.Category4, *d.Category4ID, *d.Category4NAME);
}
void importBalanceType(const std::uint8_t* data, std::uint32_t length) {
  TDM& d = dm();
  decodeIdName(data, length, *d.BalanceType, *d.BalanceTypeID, *d.BalanceTypeNAME);
}
void importRemindType(const std::uint8_t* data, std::uint32_t length) {
  TDM& d = dm();
  decodeIdName(data, length, *d.RemindType, *d.RemindTypeID, *d.RemindTypeNAME);
}

void importCurrency(const std::uint8_t* data, std::uint32_t length) {
  TDM& d = dm();
  ReadCursor c = recordCursor(data, length, kCurrencyFixed);
  const std::int32_t id = getLong(c);
  const double rate = getFloat(c);
  const std::string_view name = getString(c, "name text");
  NewRow row(*d.Currency);
  d.CurrencyID->SetAsInteger(id);
  d.CurrencyRATE->SetAsFloat(rate);
  d.CurrencyNAME->SetAsString(name);
  row.post();
}

void importCustomNames(const std::uint8_t* data, std::uint32_t length) {
  TDM& d = dm();
  ReadCursor c = recordCursor(data, length, kCustomNameFixed);
  const std::string_view name = getString(c, "name text");
  NewRow row(*d.CustomNames);
  d.CustomNamesNAME->SetAsString(name);
  row.post();
}

void importAccount(const std::uint8_t* data, std::uint32_t length) {
  TDM& d = dm();
  ReadCursor c = recordCursor(data, length, kAccountFixed);
  const std::int32_t id = getLong(c);
  const double amount = getFloat(c);
  const std::int32_t currencyId = getLong(c);
  const bool active = getByte(c) != 0;
  const bool total = getByte(c) != 0;
  const std::string_view name = getString(c, "name text");
  const std::string_view notes = getString(c, "notes text");
  NewRow row(*d.Account);
  d.AccountID->SetAsInteger(id);
  d.AccountAMOUNT->SetAsFloat(amount);
  d.AccountCURRENCY_ID->SetAsInteger(currencyId);
  d.AccountFACTIVE->SetAsBoolean(active);
  d.AccountFTOTAL->SetAsBoolean(total);
  d.AccountNAME->SetAsString(name);
  d.AccountNOTES->SetAsString(notes);
  row.post();
}

void importTransaction(const std::uint8_t* data, std::uint32_t length) {
  TDM& d = dm();
  ReadCursor c = recordCursor(data, length, kTransactionFixed);
  const std::int32_t id = getLong(c);
  const std::int32_t mirrorId = getLong(c);
  const std::int32_t accToId = getLong(c);
  const std::int32_t accFromId = getLong(c);
  const double amount = getFloat(c);
  const std::int32_t currencyId = getLong(c);
  double ownRate = 0.0;
  if (std::memcmp(c.pos, "\xFF\xFF\xFF\xFF", 4) == 0) {
    c.pos += 4;  // no own rate
  } else {
    ownRate = getFloat(c);
  }
  const std::int32_t remindTypeId = getLong(c);
  const std::int32_t balanceTypeId = getLong(c);
  const std::int32_t category1Id = getLong(c);
  const std::int32_t category2Id = getLong(c);
  const std::int32_t category3Id = getLong(c);
  const std::int32_t category4Id = getLong(c);
  const int second = getWord(c);
  const int minute = getWord(c);
  const int hour = getWord(c);
  const int day = getWord(c);
  const int month = getWord(c);
  const int year = getWord(c);
  getWord(c);  // the seventh word carries nothing
  // Raises "Invalid argument to date encode" before "... time encode", the row not added.
  const double date = EncodeDateTime(year, month, day, hour, minute, second);
  const bool ownCurrency = getByte(c) != 0;
  const bool add = getByte(c) != 0;
  const bool mirror = getByte(c) != 0;
  const bool remind = getByte(c) != 0;
  const bool receipt = getByte(c) != 0;
  const bool billable = getByte(c) != 0;
  const bool cleared = getByte(c) != 0;
  const std::string_view notes = getString(c, "notes text");

  NewRow row(*d.Transaction);
  d.TransactionID->SetAsInteger(id);
  d.TransactionMIRROR_ID->SetAsInteger(mirrorId);
  d.TransactionACC_TO_ID->SetAsInteger(accToId);
  d.TransactionACC_FROM_ID->SetAsInteger(accFromId);
  d.TransactionAMOUNT->SetAsFloat(amount);
  d.TransactionCURRENCY_ID->SetAsInteger(currencyId);
  d.TransactionCURRENCY_RATE->SetAsFloat(ownRate);
  d.TransactionREMINDTYPE_ID->SetAsInteger(remindTypeId);
  d.TransactionBALANCETYPE_ID->SetAsInteger(balanceTypeId);
  d.TransactionCATEGORY1_ID->SetAsInteger(category1Id);
  d.TransactionCATEGORY2_ID->SetAsInteger(category2Id);
  d.TransactionCATEGORY3_ID->SetAsInteger(category3Id);
  d.TransactionCATEGORY4_ID->SetAsInteger(category4Id);
  d.TransactionDATE->SetAsDateTime(date);
  d.TransactionFOWNCURRENCY->SetAsBoolean(ownCurrency);
  d.TransactionFADD->SetAsBoolean(add);
  d.TransactionFMIRROR->SetAsBoolean(mirror);
  d.TransactionFREMIND->SetAsBoolean(remind);
  d.TransactionFRECEIPT->SetAsBoolean(receipt);
  d.TransactionFBILLABLE->SetAsBoolean(billable);
  d.TransactionFCLEARED->SetAsBoolean(cleared);
  d.TransactionNOTES->SetAsString(notes);
  row.post();
}

// ---------------------------------------------------------------- encoders

std::uint32_t category1Size(int i) { return measure(kCategory1, i); }
std::uint32_t category2Size(int i) { return measure(kCategory2, i); }
std::uint32_t category3Size(int i) { return measure(kCategory3, i); }
std::uint32_t category4Size(int i) { return measure(kCategory4, i); }
std::uint32_t currencySize(int i) { return measure(kCurrency, i); }
std::uint32_t balanceTypeSize(int i) { return measure(kBalanceType, i); }
std::uint32_t remindTypeSize(int i) { return measure(kRemindType, i); }
std::uint32_t customNamesSize(int i) { return measure(kCustomNames, i); }
std::uint32_t accountSize(int i) { return measure(kAccount, i); }
std::uint32_t transactionSize(int i) { return measure(kTransaction, i); }

const std::uint8_t* category1Data(int i) { return build(kCategory1, i); }
const std::uint8_t* category2Data(int i) { return build(kCategory2, i); }
const std::uint8_t* category3Data(int i) { return build(kCategory3, i); }
const std::uint8_t* category4Data(int i) { return build(kCategory4, i); }
const std::uint8_t* currencyData(int i) { return build(kCurrency, i); }
const std::uint8_t* balanceTypeData(int i) { return build(kBalanceType, i); }
const std::uint8_t* remindTypeData(int i) { return build(kRemindType, i); }
const std::uint8_t* customNamesData(int i) { return build(kCustomNames, i); }
const std::uint8_t* accountData(int i) { return build(kAccount, i); }
const std::uint8_t* transactionData(int i) { return build(kTransaction, i); }

const TableLayout kTableLayouts[10] = {
    {"Category1", category1Size, category1Data, importCategory1},
    {"Category2", category2Size, category2Data, importCategory2},
    {"Category3", category3Size, category3Data, importCategory3},
    {"Category4", category4Size, category4Data, importCategory4},
    {"Currency", currencySize, currencyData, importCurrency},
    {"BalanceType", balanceTypeSize, balanceTypeData, importBalanceType},
    {"RemindType", remindTypeSize, remindTypeData, importRemindType},
    {"CustomNames", customNamesSize, customNamesData, importCustomNames},
    {"Account", accountSize, accountData, importAccount},
    {"Transaction", transactionSize, transactionData, importTransaction},
};

}  // namespace quillet::pdb
