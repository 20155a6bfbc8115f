#pragma once
// What the exchange sequences told the user, in order, and the English texts they must use.
#include <algorithm>
#include <string>
#include <vector>

#include "exchange/transfer.h"
#include "tests/support/handheld_fixture.h"

namespace quillet::exchange::testing {

enum class Kind { Status, Error, Warning, Beep, AfterImport, AfterExport };

struct Event {
  Kind kind;
  std::string text;
};

class RecordingUi : public ExchangeUi {
 public:
  void status(const std::string& text) override { events.push_back({Kind::Status, text}); }
  void error(const std::string& text) override { events.push_back({Kind::Error, text}); }
  void warning(const std::string& text) override { events.push_back({Kind::Warning, text}); }
  void beep() override { events.push_back({Kind::Beep, {}}); }
  void afterImport() override { events.push_back({Kind::AfterImport, {}}); }
  void afterExport() override { events.push_back({Kind::AfterExport, {}}); }

  std::vector<std::string> texts(Kind kind) const {
    std::vector<std::string> out;
    for (const Event& e : events) {
      if (e.kind == kind) out.push_back(e.text);
    }
    return out;
  }
  int count(Kind kind) const { return static_cast<int>(texts(kind).size()); }
  // Position of the first event of this kind and text; -1 when there is none.
  int indexOf(Kind kind, const std::string& text = {}) const {
    for (std::size_t i = 0; i < events.size(); ++i) {
      if (events[i].kind == kind && (text.empty() || events[i].text == text)) return static_cast<int>(i);
    }
    return -1;
  }

  std::vector<Event> events;
};

inline const std::vector<std::string> kImportStatus = {
    "Importing category 1...", "Importing category 2...", "Importing category 3...", "Importing category 4...",
    "Importing currencies...", "Importing BalanceType...", "Importing RemindType...", "Importing CustomNames...",
    "Importing accounts...",   "Importing transactions..."};
inline const std::vector<std::string> kImportError = {
    "Can't import category 1", "Can't import category 2", "Can't import category 3", "Can't import category 4",
    "Can't import currencies", "Can't import BalanceType", "Can't import RemindType", "Can't import CustomNames",
    "Can't import accounts",   "Can't import transactions"};
inline const std::vector<std::string> kExportStatus = {
    "Exporting category 1...", "Exporting category 2...", "Exporting category 3...", "Exporting category 4...",
    "Exporting currencies...", "Exporting BalanceType...", "Exporting RemindType...", "Exporting CustomNames...",
    "Exporting accounts...",   "Exporting transactions..."};
inline const std::vector<std::string> kExportError = {
    "Can't export category 1", "Can't export category 2", "Can't export category 3", "Can't export category 4",
    "Can't export currencies", "Can't export BalanceType", "Can't export RemindType", "Can't export CustomNames",
    "Can't export accounts",   "Can't export transactions"};

// The ten handheld file names, sorted as fixture::filesIn lists them.
inline std::vector<std::string> handheldFileNames() {
  std::vector<std::string> names;
  for (int i = 0; i < 10; ++i) names.push_back(HandheldFileName(i));
  std::sort(names.begin(), names.end());
  return names;
}

inline const char* const kTables[10] = {"Category1",   "Category2",  "Category3",   "Category4", "Currency",
                                        "BalanceType", "RemindType", "CustomNames", "Account",   "Transaction"};

// A folder's data with some of everything the exchange must carry: texts in the handheld's
// code page (Windows-1251 bytes), CR LF notes, flag bytes other than 1, a transaction
// without an own rate, a non-zero seventh date word, negative identifiers.
inline fixture::HandheldData richData() {
  using namespace fixture;
  HandheldData d;
  d.category1 = {{1, "Food"}, {2, "\xCF\xF0\xEE\xE4\xF3\xEA\xF2\xFB"}, {-1, ""}};
  d.category2 = {{7, "Food"}};
  d.category3 = {{30, "Home"}, {31, "Work"}};
  d.category4 = {{40, "Cash"}, {41, "Card"}};
  d.currencies = {{1, 1.0f, "USD"}, {2, 0.1f, "\xF0\xF3\xE1"}, {3, 30.5f, "EUR"}};
  d.balanceTypes = {{1, "Plan"}, {2, "Fact"}};
  d.remindTypes = {{1, "Once"}, {2, "Monthly"}};
  d.customNames = {"Kind", "Project", "Place", "Payment"};
  d.accounts = {{.id = 10, .amount = 100.5f, .currencyId = 1, .active = 1, .total = 2, .name = "Wallet",
                 .notes = "line one\r\nline two"},
                {.id = 11, .amount = -3.25f, .currencyId = 2, .active = 0, .total = 0, .name = "Bank", .notes = ""}};
  TransactionRow t1;
  t1.id = 100;
  t1.accToId = 10;
  t1.accFromId = 11;
  t1.amount = 12.5f;
  t1.currencyId = 1;
  t1.ownRate = std::nullopt;
  t1.category1Id = 1;
  t1.category2Id = 7;
  t1.date = {30, 15, 14, 9, 8, 2002, 3};
  t1.add = 2;
  t1.cleared = 1;
  t1.notes = "first\r\nsecond";
  TransactionRow t2;
  t2.id = 101;
  t2.mirrorId = 100;
  t2.accToId = 11;
  t2.amount = 250.0f;
  t2.currencyId = 2;
  t2.ownRate = 0.5f;
  t2.ownCurrency = 1;
  t2.mirror = 1;
  t2.remind = 1;
  t2.receipt = 1;
  t2.billable = 1;
  t2.date = {0, 0, 0, 29, 2, 2000, 0};
  t2.notes = "\xEF\xEE\xEA\xF3\xEF\xEA\xE0";
  TransactionRow t3;
  t3.id = 102;
  t3.amount = 0.1f;
  t3.currencyId = 3;
  t3.date = {59, 59, 23, 31, 12, 9999, 0};
  d.transactions = {t1, t2, t3};
  return d;
}

// The same data as the export writes it back: carriage returns gone from notes, flags 1 or
// 0, an absent own rate as zeros, the seventh date word 0.
inline fixture::HandheldData asExported(fixture::HandheldData d) {
  auto strip = [](std::string s) {
    std::erase(s, '\r');
    return s;
  };
  auto flag = [](std::uint8_t b) -> std::uint8_t { return b != 0 ? 1 : 0; };
  for (auto& a : d.accounts) {
    a.notes = strip(a.notes);
    a.active = flag(a.active);
    a.total = flag(a.total);
  }
  for (auto& t : d.transactions) {
    t.notes = strip(t.notes);
    t.ownRate = t.ownRate.value_or(0.0f);
    t.date.seventh = 0;
    for (std::uint8_t* f : {&t.ownCurrency, &t.add, &t.mirror, &t.remind, &t.receipt, &t.billable, &t.cleared}) {
      *f = flag(*f);
    }
  }
  return d;
}

}  // namespace quillet::exchange::testing
