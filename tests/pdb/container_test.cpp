#include "pdb/container.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/handheld_fixture.h"
#include "tests/support/temp_store.h"

namespace quillet::pdb {
namespace {

using fixture::Bytes;
using fixture::hex;
using fixture::pdbBytes;
using fixture::TempDir;

constexpr std::uint32_t kSeconds1904To1970 = 2082844800u;

struct Delivered {
  std::vector<Bytes> records;
  std::vector<int> indices;  // currentRecordIndex() seen by each call
};

OnRecord collect(Delivered& out) {
  return [&out](const std::uint8_t* data, std::uint32_t length) {
    out.records.emplace_back(data, data + length);
    out.indices.push_back(currentRecordIndex());
  };
}

std::vector<std::string> folderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Writes records of the given bytes through exportPdb and notes the order of the calls.
struct Exporter {
  std::vector<Bytes> records;
  std::vector<std::string> calls;

  int run(const std::string& path, const char* name = "QL_Test", const char* installUser = nullptr,
          const char* type = "DATA", const char* creator = "IDql") {
    return exportPdb(
        path.c_str(), name, type, creator, static_cast<int>(records.size()),
        [this](int i) {
          calls.push_back("size " + std::to_string(i));
          return static_cast<std::uint32_t>(records[static_cast<std::size_t>(i)].size());
        },
        [this](int i) -> const std::uint8_t* {
          calls.push_back("data " + std::to_string(i));
          const Bytes& r = records[static_cast<std::size_t>(i)];
          std::copy(r.begin(), r.end(), recordBuffer);
          return recordBuffer;
        },
        installUser);
  }
};

// ---------------------------------------------------------------- writing

TEST(ExportPdbTest, EmptyTableGivesAnEightyByteFileWithTheFixedHeader) {
  TempDir dir;
  Exporter ex;
  const auto before = static_cast<std::uint32_t>(std::time(nullptr) + kSeconds1904To1970);
  ASSERT_EQ(ex.run(dir.file("QL_Category1.pdb"), "QL_Category1"), 0);
  const auto after = static_cast<std::uint32_t>(std::time(nullptr) + kSeconds1904To1970);
  EXPECT_TRUE(ex.calls.empty());

  const Bytes file = fixture::readFileBytes(dir.file("QL_Category1.pdb"));
  ASSERT_EQ(file.size(), 80u);
  Bytes name(file.begin(), file.begin() + 32);
  Bytes expectedName(32, 0);
  std::memcpy(expectedName.data(), "QL_Category1", 12);
  EXPECT_EQ(name, expectedName);
  const auto p = fixture::parsePdb(file);
  EXPECT_EQ(p.attributes, 0);
  EXPECT_EQ(p.version, 0);
  EXPECT_EQ(p.creationDate, p.modificationDate);
  EXPECT_GE(p.creationDate, before);
  EXPECT_LE(p.creationDate, after);
  EXPECT_EQ(p.lastBackupDate, 0u);
  EXPECT_EQ(p.modificationNumber, 0u);
  EXPECT_EQ(p.appInfoOffset, 0u);
  EXPECT_EQ(p.sortInfoOffset, 0u);
  EXPECT_EQ(p.type, "DATA");
  EXPECT_EQ(p.creator, "IDql");
  EXPECT_EQ(p.uniqueIdSeed, 0u);
  EXPECT_EQ(p.nextRecordList, 0u);
  EXPECT_EQ(p.recordCount, 0);
  EXPECT_EQ(file[78], 0);
  EXPECT_EQ(file[79], 0);

  Delivered got;
  EXPECT_EQ(importPdb(dir.file("QL_Category1.pdb").c_str(), collect(got)), 0);
  EXPECT_TRUE(got.records.empty());
}

TEST(ExportPdbTest, ThreeRecordsOfFiveNineAndOneBytes) {
  TempDir dir;
  Exporter ex;
  ex.records = {{0, 0, 0, 7, 0}, {0, 0, 0, 2, 0x3F, 0x80, 0, 0, 0}, {0}};
  ASSERT_EQ(ex.run(dir.file("t.pdb")), 0);
  EXPECT_EQ(ex.calls, (std::vector<std::string>{"size 0", "size 1", "size 2", "data 0", "data 1", "data 2"}));

  const Bytes file = fixture::readFileBytes(dir.file("t.pdb"));
  EXPECT_EQ(file.size(), 119u);
  const auto p = fixture::parsePdb(file);
  EXPECT_EQ(p.offsets, (std::vector<std::uint32_t>{104, 109, 118}));
  ASSERT_EQ(p.records.size(), 3u);
  for (std::uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(p.records[i].uniqueId, i);
    EXPECT_EQ(p.records[i].attributes, 0);
    EXPECT_EQ(p.records[i].data, ex.records[i]);
  }
  EXPECT_EQ(file[102], 0);  // the gap
  EXPECT_EQ(file[103], 0);

  Delivered got;
  EXPECT_EQ(importPdb(dir.file("t.pdb").c_str(), collect(got)), 0);
  EXPECT_EQ(got.records, ex.records);
  EXPECT_EQ(got.indices, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(currentRecordIndex(), -1);
}

TEST(ExportPdbTest, NameIsCutTo31BytesAndCodesToFour) {
  TempDir dir;
  Exporter ex;
  const std::string longName(40, 'N');
  ASSERT_EQ(ex.run(dir.file("n.pdb"), longName.c_str(), nullptr, "DATAXX", "ID"), 0);
  const Bytes file = fixture::readFileBytes(dir.file("n.pdb"));
  ASSERT_EQ(file.size(), 80u);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 31), std::string(31, 'N'));
  EXPECT_EQ(file[31], 0);
  EXPECT_EQ(hex(Bytes(file.begin() + 60, file.begin() + 68)), "44 41 54 41 49 44 00 00");  // "DATA", "ID\0\0"
}

TEST(ExportPdbTest, MoreThan65535RecordsAreRefusedBeforeAnythingIsWritten) {
  TempDir dir;
  int calls = 0;
  const std::string path = dir.file("big.pdb");
  try {
    exportPdb(
        path.c_str(), "QL_Transaction", "DATA", "IDql", kMaxWriteRecords + 1,
        [&](int) { return ++calls, 1u; }, [&](int) { return ++calls, recordBuffer; }, nullptr);
    FAIL() << "no error";
  } catch (const FormatError& e) {
    EXPECT_STREQ(e.what(), "65536 records are more than the 65535 a handheld file can hold");
  }
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(folderEntries(dir.path()).empty());
}

TEST(ExportPdbTest, ExactlyTheLargestCountIsWritten) {
  TempDir dir;
  const std::string path = dir.file("max.pdb");
  ASSERT_EQ(exportPdb(
                path.c_str(), "QL_Max", "DATA", "IDql", kMaxWriteRecords, [](int) { return 1u; },
                [](int i) {
                  recordBuffer[0] = static_cast<std::uint8_t>(i);
                  return recordBuffer;
                },
                nullptr),
            0);
  const auto p = fixture::parsePdbFile(path);
  ASSERT_EQ(p.recordCount, 65535);
  EXPECT_EQ(p.records.back().uniqueId, 65534u);
  EXPECT_EQ(p.records.back().data, Bytes{static_cast<std::uint8_t>(65534)});
  // More than the reader can take back: refused by the reader, not misread.
  EXPECT_THROW(importPdb(path.c_str(), [](const std::uint8_t*, std::uint32_t) {}), FormatError);
}

TEST(ExportPdbTest, CannotCreateGivesMinusOneWithoutCallingTheTable) {
  TempDir dir;
  const std::string folderPath = dir.makeDir("QL_Category1.pdb");
  for (const std::string& path : {dir.file("missing/QL_Category1.pdb"), folderPath}) {
    Exporter ex;
    ex.records = {{0}};
    EXPECT_EQ(ex.run(path), -1) << path;
    EXPECT_TRUE(ex.calls.empty()) << path;
  }
  EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"QL_Category1.pdb"}));
}

struct TableFailure {};

TEST(ExportPdbTest, ErrorInARecordFunctionKeepsTheOldFileAndLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir.file("QL_Account.pdb");
  const Bytes old = {1, 2, 3, 4, 5};
  fixture::writeFileBytes(path, old);
  for (bool failInDataPass : {false, true}) {
    int dataCalls = 0;
    EXPECT_THROW(exportPdb(
                     path.c_str(), "QL_Account", "DATA", "IDql", 3,
                     [&](int i) -> std::uint32_t {
                       if (!failInDataPass && i == 1) throw TableFailure{};
                       return 4;
                     },
                     [&](int i) -> const std::uint8_t* {
                       ++dataCalls;
                       if (i == 2) throw TableFailure{};
                       return recordBuffer;
                     },
                     nullptr),
                 TableFailure);
    EXPECT_EQ(dataCalls, failInDataPass ? 3 : 0);
    EXPECT_EQ(fixture::readFileBytes(path), old);
    EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"QL_Account.pdb"}));
  }
}

TEST(ExportPdbTest, ReplacesAnExistingFileAndGivesItOrdinaryPermissions) {
  TempDir dir;
  const std::string path = dir.file("QL_Currency.pdb");
  fixture::writeFileBytes(path, Bytes(500, 0xEE));
  const mode_t old = ::umask(022);
  std::filesystem::remove(path);
  Exporter ex;
  ex.records = {{0, 0, 0, 2, 0x3F, 0x80, 0, 0, 'R', 'U', 'B', 0}};
  ASSERT_EQ(ex.run(path), 0);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
  fixture::writeFileBytes(path, Bytes(500, 0xEE));
  ASSERT_EQ(ex.run(path), 0);
  ::umask(old);
  EXPECT_EQ(fixture::readFileBytes(path).size(), 80u + 8 + 12);
  EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"QL_Currency.pdb"}));
}

TEST(ExportPdbTest, RecordBeyondTheBufferOrTheLargestLengthIsRefused) {
  TempDir dir;
  const std::string path = dir.file("r.pdb");
  EXPECT_THROW(exportPdb(
                   path.c_str(), "QL_R", "DATA", "IDql", 1, [](int) { return kRecordBufferSize + 1; },
                   [](int) { return recordBuffer; }, nullptr),
               FormatError);
  EXPECT_THROW(exportPdb(
                   path.c_str(), "QL_R", "DATA", "IDql", 1, [](int) { return 8u; },
                   [](int) { return recordBuffer + kRecordBufferSize - 4; }, nullptr),
               FormatError);
  EXPECT_THROW(exportPdb(
                   path.c_str(), "QL_R", "DATA", "IDql", 1, [](int) { return kMaxRecordLength + 1; },
                   [](int) { return recordBuffer; }, nullptr),
               FormatError);
  EXPECT_TRUE(folderEntries(dir.path()).empty());
}

TEST(ExportPdbTest, InstallUserHandsTheFinishedFileOverThenDeletesIt) {
  TempDir dir;
  const std::string path = dir.file("QL_Category2.pdb");
  std::string seenUser, seenPath;
  Bytes seenBytes;
  setInstallHandler([&](const std::string& user, const std::string& p) {
    seenUser = user;
    seenPath = p;
    seenBytes = fixture::readFileBytes(p);
  });
  Exporter ex;
  ex.records = {{0, 0, 0, 7, 'F', 'o', 'o', 'd', 0}};
  EXPECT_EQ(ex.run(path, "QL_Category2", "Ivan Petrov"), 0);
  EXPECT_EQ(seenUser, "Ivan Petrov");
  EXPECT_EQ(seenPath, path);
  EXPECT_EQ(seenBytes.size(), 80u + 8 + 9);
  EXPECT_FALSE(std::filesystem::exists(path));

  // Without a user the file stays and nothing is handed over.
  seenUser.clear();
  EXPECT_EQ(ex.run(path, "QL_Category2", nullptr), 0);
  EXPECT_EQ(ex.run(path, "QL_Category2", ""), 0);
  EXPECT_TRUE(seenUser.empty());
  EXPECT_TRUE(std::filesystem::exists(path));

  // Without a handler the hand-off fails and the file stays, complete; so it does when
  // the handler fails.
  setInstallHandler(nullptr);
  EXPECT_THROW(ex.run(path, "QL_Category2", "Ivan Petrov"), std::runtime_error);
  EXPECT_EQ(fixture::readFileBytes(path).size(), 80u + 8 + 9);
  setInstallHandler([](const std::string&, const std::string&) { throw std::runtime_error("install failed"); });
  std::filesystem::remove(path);
  EXPECT_THROW(ex.run(path, "QL_Category2", "Ivan Petrov"), std::runtime_error);
  EXPECT_EQ(fixture::readFileBytes(path).size(), 80u + 8 + 9);
  setInstallHandler(nullptr);
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"QL_Category2.pdb"});
}

// ---------------------------------------------------------------- reading

TEST(ImportPdbTest, MissingFileOrFolderGivesMinusOneAndNoRecord) {
  TempDir dir;
  Delivered got;
  EXPECT_EQ(importPdb(dir.file("QL_Nothing.pdb").c_str(), collect(got)), -1);
  EXPECT_EQ(importPdb(dir.path().c_str(), collect(got)), -1);
  EXPECT_EQ(importPdb(nullptr, collect(got)), -1);
  EXPECT_TRUE(got.records.empty());
}

TEST(ImportPdbTest, TrailingBytesJoinTheLastRecord) {
  Bytes file = pdbBytes("QL_T", std::vector<Bytes>{{1, 2, 3, 4, 5}, {9}});
  file.push_back(0xAA);
  file.push_back(0xBB);
  Delivered got;
  EXPECT_EQ(importPdbMemory(file.data(), file.size(), collect(got)), 0);
  EXPECT_EQ(got.records, (std::vector<Bytes>{{1, 2, 3, 4, 5}, {9, 0xAA, 0xBB}}));
}

TEST(ImportPdbTest, AttributesUniqueIdsTypeAndCreatorAreNotLookedAt) {
  fixture::PdbOptions opt;
  opt.type = "appl";
  opt.creator = "zzzz";
  opt.gap = false;
  const Bytes file = pdbBytes("anything", std::vector<fixture::PdbRecord>{{{1}, 0xFF, 0xFFFFFF}, {{2}, 0x40, 7}}, opt);
  TempDir dir;
  fixture::writeFileBytes(dir.file("x.pdb"), file);
  Delivered got;
  EXPECT_EQ(importPdb(dir.file("x.pdb").c_str(), collect(got)), 0);
  EXPECT_EQ(got.records, (std::vector<Bytes>{{1}, {2}}));

  std::vector<RecordInfo> infos;
  const Header h = inspectPdb(dir.file("x.pdb"), [&](const RecordInfo& info, const std::uint8_t* data) {
    EXPECT_EQ(data[0], infos.size() + 1);
    infos.push_back(info);
  });
  EXPECT_EQ(h.name, "anything");
  EXPECT_EQ(h.type, "appl");
  EXPECT_EQ(h.creator, "zzzz");
  EXPECT_EQ(h.recordCount, 2);
  ASSERT_EQ(infos.size(), 2u);
  EXPECT_EQ(infos[0].offset, 94u);
  EXPECT_EQ(infos[0].attributes, 0xFF);
  EXPECT_EQ(infos[0].uniqueId, 0xFFFFFFu);
  EXPECT_EQ(infos[1].attributes, 0x40);
  EXPECT_EQ(infos[1].uniqueId, 7u);
  EXPECT_EQ(infos[1].length, 1u);
}

TEST(ImportPdbTest, ResourceDatabaseYieldsNoRecordButItsListIsChecked) {
  fixture::PdbOptions opt;
  opt.attributes = 0x0001;
  Bytes file = pdbBytes("QL_Category1", std::vector<Bytes>{{0, 0, 0, 1, 'A', 0}, {0, 0, 0, 2, 'B', 0}}, opt);
  Delivered got;
  EXPECT_EQ(importPdbMemory(file.data(), file.size(), collect(got)), 0);
  EXPECT_TRUE(got.records.empty());

  // Second resource's offset (bytes 6..9 of its 10-byte entry) past the end of the file.
  const std::size_t at = 78 + 10 + 6;
  file[at] = 0x7F;
  try {
    importPdbMemory(file.data(), file.size(), collect(got));
    FAIL();
  } catch (const FormatError& e) {
    EXPECT_NE(std::string(e.what()).find("resource 1 starts at byte"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(got.records.empty());
}

TEST(ImportPdbTest, ErrorFromOnRecordEndsTheWalkUnchanged) {
  const Bytes file = pdbBytes("QL_T", std::vector<Bytes>{{1}, {2}, {3}});
  int calls = 0;
  EXPECT_THROW(importPdbMemory(file.data(), file.size(),
                               [&](const std::uint8_t*, std::uint32_t) {
                                 if (++calls == 2) throw TableFailure{};
                               }),
               TableFailure);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(currentRecordIndex(), -1);
}

// A damaged container: the records before the damage are delivered, then FormatError.
struct Damage {
  const char* name;
  Bytes (*make)();
  std::size_t delivered;
  const char* message;
};

void setBe32(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v >> 24);
  b[at + 1] = static_cast<std::uint8_t>(v >> 16);
  b[at + 2] = static_cast<std::uint8_t>(v >> 8);
  b[at + 3] = static_cast<std::uint8_t>(v);
}

// Four records of 5 bytes at 112, 117, 122, 127; the file is 132 bytes.
Bytes fourRecords() {
  return pdbBytes("QL_Category1",
                  std::vector<Bytes>{{0, 0, 0, 1, 0}, {0, 0, 0, 2, 0}, {0, 0, 0, 3, 0}, {0, 0, 0, 4, 0}});
}
std::size_t entryAt(std::size_t i) { return 78 + 8 * i; }

const Damage kDamages[] = {
    {"ShortHeader", [] { return Bytes(50, 0); }, 0, "the file is 50 bytes, shorter than its 78-byte header"},
    {"EmptyFile", [] { return Bytes(); }, 0, "the file is 0 bytes, shorter than its 78-byte header"},
    {"ShortList",
     [] {
       Bytes b = fourRecords();
       b.resize(78 + 8 * 3);
       return b;
     },
     0, "the file is 102 bytes, shorter than its header and list of 4 records (110 bytes)"},
    {"Count0x8000",
     [] {
       Bytes b = fourRecords();
       b[76] = 0x80;
       b[77] = 0x00;
       return b;
     },
     0, "the header counts 32768 records, more than the 32767 that can be read"},
    {"CountFFFF",
     [] {
       Bytes b = fourRecords();
       b[76] = 0xFF;
       b[77] = 0xFF;
       return b;
     },
     0, "the header counts 65535 records, more than the 32767 that can be read"},
    {"DescendingOffsets",
     [] {
       Bytes b = fourRecords();
       setBe32(b, entryAt(2), 113);  // record 2 before record 1 (117)
       return b;
     },
     1, "record 2 starts at byte 113, before record 1 at byte 117"},
    {"OffsetPastEnd",
     [] {
       Bytes b = fourRecords();
       setBe32(b, entryAt(3), 5000);
       return b;
     },
     2, "record 3 starts at byte 5000, past the end of the 132-byte file"},
    {"LastOffsetPastEnd",
     [] {
       Bytes b = pdbBytes("QL_Category1", std::vector<Bytes>{{0, 0, 0, 1, 0}});
       setBe32(b, entryAt(0), 0xFFFFFFFFu);
       return b;
     },
     0, "record 0 starts at byte 4294967295, past the end of the 93-byte file"},
    {"OffsetIntoHeader",
     [] {
       Bytes b = fourRecords();
       setBe32(b, entryAt(0), 10);
       return b;
     },
     0, "record 0 starts at byte 10, inside the header and list (110 bytes)"},
    {"OffsetIntoList",
     [] {
       Bytes b = fourRecords();
       setBe32(b, entryAt(0), 100);
       setBe32(b, entryAt(1), 101);
       return b;
     },
     0, "record 0 starts at byte 100, inside the header and list (110 bytes)"},
    {"RecordLongerThanAnyRecord",
     [] {
       Bytes b = fourRecords();
       b.resize(b.size() + kMaxRecordLength, 0);
       return b;
     },
     3, "record 3 is 65540 bytes, longer than the 65535 a record can have"},
};

class DamagedContainerTest : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedContainerTest, DeliversTheRecordsBeforeTheDamageThenRaises) {
  const Damage& d = GetParam();
  const Bytes file = d.make();
  TempDir dir;
  fixture::writeFileBytes(dir.file("bad.pdb"), file);
  for (bool fromFile : {true, false}) {
    Delivered got;
    try {
      if (fromFile) {
        importPdb(dir.file("bad.pdb").c_str(), collect(got));
      } else {
        importPdbMemory(file.data(), file.size(), collect(got));
      }
      FAIL() << "no error";
    } catch (const FormatError& e) {
      EXPECT_STREQ(e.what(), d.message);
    }
    ASSERT_EQ(got.records.size(), d.delivered);
    for (std::size_t i = 0; i < got.records.size(); ++i)
      EXPECT_EQ(got.records[i], (Bytes{0, 0, 0, static_cast<std::uint8_t>(i + 1), 0}));
  }
  EXPECT_EQ(currentRecordIndex(), -1);
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedContainerTest, ::testing::ValuesIn(kDamages),
                         [](const auto& tc) { return std::string(tc.param.name); });

TEST(ImportPdbTest, EqualOffsetsGiveAnEmptyRecord) {
  Bytes b = fourRecords();
  setBe32(b, entryAt(2), 117);  // record 2 starts where record 1 does: record 1 is empty
  Delivered got;
  EXPECT_EQ(importPdbMemory(b.data(), b.size(), collect(got)), 0);
  ASSERT_EQ(got.records.size(), 4u);
  EXPECT_EQ(got.records[0].size(), 5u);
  EXPECT_TRUE(got.records[1].empty());
  EXPECT_EQ(got.records[2].size(), 10u);
}

TEST(InspectPdbTest, DamagedFileStillShowsItsHeader) {
  Bytes b = fourRecords();
  setBe32(b, entryAt(3), 5000);
  TempDir dir;
  fixture::writeFileBytes(dir.file("bad.pdb"), b);
  Header h;
  int told = 0;
  EXPECT_THROW(inspectPdb(dir.file("bad.pdb"), h, [&](const RecordInfo&, const std::uint8_t*) { ++told; }),
               FormatError);
  EXPECT_EQ(h.name, "QL_Category1");
  EXPECT_EQ(h.recordCount, 4);
  EXPECT_EQ(told, 2);
  EXPECT_THROW(inspectPdb(dir.file("none.pdb"), [](const RecordInfo&, const std::uint8_t*) {}), std::runtime_error);
}

}  // namespace
}  // namespace quillet::pdb
