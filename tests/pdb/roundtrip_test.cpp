// A handheld folder read into the store and written back: every record comes back with
// the same bytes, except what the exchange changes on purpose.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdb/records.h"
#include "store/datamodule.h"
#include "tests/support/handheld_fixture.h"
#include "tests/support/temp_store.h"

namespace quillet::pdb {
namespace {

using fixture::Bytes;
using fixture::HandheldData;

// What an export gives for rows that came from the handheld: carriage returns gone from
// notes, flags 1 or 0, an absent own rate as 0.0, the seventh date word 0.
HandheldData asExported(HandheldData d) {
  auto flag = [](std::uint8_t& f) { f = f ? 1 : 0; };
  for (auto& a : d.accounts) {
    flag(a.active);
    flag(a.total);
    a.notes = stripCR(a.notes);
  }
  for (auto& t : d.transactions) {
    if (!t.ownRate) t.ownRate = 0.0f;
    t.date.seventh = 0;
    for (std::uint8_t* f : {&t.ownCurrency, &t.add, &t.mirror, &t.remind, &t.receipt, &t.billable, &t.cleared})
      flag(*f);
    t.notes = stripCR(t.notes);
  }
  return d;
}

void importFolder(TDM& dm, const std::string& folder) {
  BatchModeGuard batch(dm);
  for (const TableLayout& l : kTableLayouts) {
    const std::string path = folder + "/" + fixture::handheldFileName(l.table);
    ASSERT_EQ(importPdb(path.c_str(), l.decode), 0) << l.table;
  }
  batch.finish();
}

void exportFolder(TDM& dm, const std::string& folder) {
  BatchModeGuard batch(dm);
  for (int i = 0; i < 10; ++i) {
    const TableLayout& l = kTableLayouts[i];
    const std::string path = folder + "/" + fixture::handheldFileName(l.table);
    const std::string name = std::string("QL_") + l.table;
    ASSERT_EQ(exportPdb(path.c_str(), name.c_str(), "DATA", "IDql", dm.DataView(i).RecordCount(), l.size, l.data,
                        nullptr),
              0)
        << l.table;
  }
  batch.finish();
}

void expectRoundTrip(const HandheldData& data) {
  fixture::TempStore store;
  const std::string in = store.dir.makeDir("in");
  const std::string out = store.dir.makeDir("out");
  fixture::writeHandheldFolder(in, data);
  importFolder(store.dm(), in);
  exportFolder(store.dm(), out);
  const HandheldData expected = asExported(data);
  for (const TableLayout& l : kTableLayouts) {
    const auto parsed = fixture::parsePdbFile(out + "/" + fixture::handheldFileName(l.table));
    EXPECT_EQ(parsed.name, std::string("QL_") + l.table);
    EXPECT_EQ(parsed.type, "DATA");
    EXPECT_EQ(parsed.creator, "IDql");
    const std::vector<Bytes> want = fixture::tableRecords(expected, l.table);
    ASSERT_EQ(parsed.records.size(), want.size()) << l.table;
    for (std::size_t i = 0; i < want.size(); ++i) {
      EXPECT_EQ(fixture::hex(parsed.records[i].data), fixture::hex(want[i])) << l.table << " record " << i;
      EXPECT_EQ(parsed.records[i].uniqueId, i);
    }
  }
  EXPECT_TRUE(takeExportWarnings().empty());
}

TEST(RoundTripTest, SampleFolderComesBackWithOnlyTheIntendedChanges) {
  const HandheldData data = fixture::sampleData();
  // The sample holds every intended change at least once.
  ASSERT_NE(data.transactions[0].notes.find('\r'), std::string::npos);
  ASSERT_FALSE(data.transactions[0].ownRate.has_value());
  ASSERT_EQ(data.transactions[1].add, 2);
  ASSERT_EQ(data.transactions[2].date.seventh, 3);
  expectRoundTrip(data);
}

TEST(RoundTripTest, LargerFolderComesBackToo) { expectRoundTrip(fixture::syntheticData(700, 40)); }

TEST(RoundTripTest, ImportedRowsHoldTheHandheldValues) {
  fixture::TempStore store;
  const std::string in = store.dir.makeDir("in");
  fixture::writeHandheldFolder(in, fixture::sampleData());
  importFolder(store.dm(), in);
  TDM& d = store.dm();
  EXPECT_EQ(d.Category2->RecordCount(), 2);
  EXPECT_EQ(d.Currency->RecordCount(), 3);
  EXPECT_EQ(d.CustomNames->RecordCount(), 4);
  EXPECT_EQ(d.Account->RecordCount(), 2);
  ASSERT_EQ(d.Transaction->RecordCount(), 3);
  d.Transaction->First();
  EXPECT_EQ(d.TransactionID->AsInteger(), 100);
  EXPECT_EQ(d.TransactionNOTES->AsString(), "first\r\nsecond");
  EXPECT_EQ(d.TransactionCURRENCY_RATE->AsFloat(), 0.0);
  d.Transaction->Next();
  EXPECT_EQ(d.TransactionCURRENCY_RATE->AsFloat(), 31.25);
  EXPECT_TRUE(d.TransactionFADD->AsBoolean());
}

}  // namespace
}  // namespace quillet::pdb
