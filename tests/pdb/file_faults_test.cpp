// Handheld files that are not what they seem: FIFOs, devices, folders, links that lead
// nowhere or in circles, files that may not be read; and what an interrupted export left.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "pdb/container.h"
#include "tests/support/handheld_fixture.h"
#include "tests/support/temp_store.h"

namespace quillet::pdb {
namespace {

using fixture::Bytes;
using fixture::TempDir;
namespace fs = std::filesystem;

std::vector<std::string> entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// importPdb's result and reason for a path; the walk must come back at once (a FIFO
// without a writer would block an open for reading for ever).
struct Opened {
  int result;
  std::string reason;
  int records;
};

Opened tryImport(const std::string& path) {
  int records = 0;
  const int result = importPdb(path.c_str(), [&](const std::uint8_t*, std::uint32_t) { ++records; });
  return {result, result == 0 ? std::string() : openFailureReason(), records};
}

// The reason a user who is not the owner gets: a child that gives up root when it has it.
std::string reasonForAnotherUser(const std::string& path) {
  int pipefd[2];
  if (::pipe(pipefd) != 0) return "no pipe";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipefd[0]);
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(1);
    const std::string reason = tryImport(path).reason;
    (void)!::write(pipefd[1], reason.data(), reason.size());
    ::_exit(0);
  }
  ::close(pipefd[1]);
  std::string got;
  char buf[256];
  for (ssize_t n; (n = ::read(pipefd[0], buf, sizeof buf)) > 0;) got.append(buf, static_cast<std::size_t>(n));
  ::close(pipefd[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return got;
}

TEST(UnreadableHandheldFile, EveryKindIsRefusedAtOnceWithItsReason) {
  TempDir dir;
  const std::string good = dir.file("good.pdb");
  fixture::writeFileBytes(good, fixture::pdbBytes("QL_Test", std::vector<Bytes>{{1, 2, 3}}));
  ASSERT_EQ(::mkfifo(dir.file("fifo.pdb").c_str(), 0600), 0);
  fs::create_symlink(dir.file("nowhere.pdb"), dir.file("dangling.pdb"));
  fs::create_symlink(dir.file("loop-b.pdb"), dir.file("loop-a.pdb"));
  fs::create_symlink(dir.file("loop-a.pdb"), dir.file("loop-b.pdb"));
  fs::create_symlink(good, dir.file("link.pdb"));
  dir.makeDir("folder.pdb");

  struct Case {
    std::string path;
    int result;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {dir.file("missing.pdb"), -1, "no such file"},
      {dir.file("no/folder/QL_Account.pdb"), -1, "no such file"},
      {dir.file("folder.pdb"), -1, "is a folder"},
      {dir.file("fifo.pdb"), -1, "not a regular file"},
      {"/dev/null", -1, "not a regular file"},
      {dir.file("dangling.pdb"), -1, "no such file"},
      {dir.file("loop-a.pdb"), -1, "not a regular file (a loop of symbolic links)"},
      {dir.file("link.pdb"), 0, ""},
      {good, 0, ""},
  };
  for (const Case& c : cases) {
    const Opened got = tryImport(c.path);
    EXPECT_EQ(got.result, c.result) << c.path;
    EXPECT_EQ(got.reason, c.reason) << c.path;
    EXPECT_EQ(got.records, c.result == 0 ? 1 : 0) << c.path;
  }
  // The dump's reader refuses the FIFO the same way instead of waiting for a writer.
  EXPECT_THROW(inspectPdb(dir.file("fifo.pdb"), [](const RecordInfo&, const std::uint8_t*) {}), std::runtime_error);
}

TEST(UnreadableHandheldFile, AFileThatMayNotBeReadSaysPermissionDenied) {
  TempDir dir;
  const std::string path = dir.file("QL_Account.pdb");
  fixture::writeFileBytes(path, fixture::pdbBytes("QL_Account", std::vector<Bytes>{}));
  ASSERT_EQ(::chmod(path.c_str(), 0), 0);
  EXPECT_EQ(reasonForAnotherUser(path), "permission denied");
}

// Fault: every interrupted export left a ".QL_*.pdb.XXXXXX" file behind for ever.
TEST(ExportLeftovers, TheNextExportRemovesWhatADeadRunLeftButNotWhatIsBeingWritten) {
  TempDir dir;
  const std::string path = dir.file("QL_Category1.pdb");
  fixture::writeFileBytes(dir.file(".QL_Category1.pdb.a1B2c3"), Bytes(40, 7));   // killed mid-write
  fixture::writeFileBytes(dir.file(".QL_Category1.pdb.Zz9Yy8"), Bytes{});        // killed at once
  fixture::writeFileBytes(dir.file(".QL_Category1.pdb.busy01"), Bytes(10, 1));   // another export's
  fixture::writeFileBytes(dir.file(".QL_Category2.pdb.q1w2e3"), Bytes(10, 1));   // another table's
  fixture::writeFileBytes(dir.file(".QL_Category1.pdb.keep"), Bytes(10, 1));     // not a temporary name
  const int busy = ::open(dir.file(".QL_Category1.pdb.busy01").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(busy, LOCK_EX | LOCK_NB), 0);

  const Bytes record = {0, 0, 0, 7, 'F', 'o', 'o', 'd', 0};
  ASSERT_EQ(exportPdb(
                path.c_str(), "QL_Category1", "DATA", "IDql", 1, [&](int) { return std::uint32_t(record.size()); },
                [&](int) -> const std::uint8_t* {
                  std::copy(record.begin(), record.end(), recordBuffer);
                  return recordBuffer;
                },
                nullptr),
            0);
  ::close(busy);

  EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{".QL_Category1.pdb.busy01", ".QL_Category1.pdb.keep",
                                                           ".QL_Category2.pdb.q1w2e3", "QL_Category1.pdb"}));
  EXPECT_EQ(fixture::parsePdbFile(path).records.size(), 1u);
}

// The file being written is private and locked, so another export's clean-up leaves it.
TEST(ExportLeftovers, TheFileBeingWrittenIsLockedAndPrivateUntilItIsRenamed) {
  TempDir dir;
  const std::string path = dir.file("QL_Currency.pdb");
  std::vector<std::string> seen;
  const Bytes record = {0, 0, 0, 1, 0x3F, 0x80, 0, 0, 'U', 'S', 'D', 0};
  ASSERT_EQ(exportPdb(
                path.c_str(), "QL_Currency", "DATA", "IDql", 1, [&](int) { return std::uint32_t(record.size()); },
                [&](int) -> const std::uint8_t* {
                  for (const auto& name : entries(dir.path())) {
                    const std::string p = dir.file(name);
                    struct stat st {};
                    ::stat(p.c_str(), &st);
                    const int fd = ::open(p.c_str(), O_RDONLY);
                    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
                    ::close(fd);
                    seen.push_back(name.substr(0, 17) + (locked ? " locked " : " free ") +
                                   std::to_string(st.st_mode & 0777));
                  }
                  std::copy(record.begin(), record.end(), recordBuffer);
                  return recordBuffer;
                },
                nullptr),
            0);
  EXPECT_EQ(seen, std::vector<std::string>{".QL_Currency.pdb. locked 384"});
  EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"QL_Currency.pdb"});
}

}  // namespace
}  // namespace quillet::pdb
