#include "exchange/folders.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillet::exchange {
namespace {

struct FolderCase {
  const char* folder;
  const char* appended;  // after AppendBackslash
  const char* joined;    // JoinPath(folder, "QL_Account.pdb")
};

const FolderCase kFolderCases[] = {
    {"/home/u/palm", "/home/u/palm/", "/home/u/palm/QL_Account.pdb"},
    {"/home/u/palm/", "/home/u/palm/", "/home/u/palm/QL_Account.pdb"},
    {"/", "/", "/QL_Account.pdb"},
    {"relative", "relative/", "relative/QL_Account.pdb"},
    // Only the last character counts: a doubled separator stays as given.
    {"a//", "a//", "a//QL_Account.pdb"},
    // A backslash is an ordinary character of a file name here.
    {"C:\\PALM\\", "C:\\PALM\\/", "C:\\PALM\\/QL_Account.pdb"},
    // No folder: the name stays relative to the working folder, never the root.
    {"", "", "QL_Account.pdb"},
};

class FolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderTest, AppendBackslashCopyFolderPathAndJoinAgree) {
  const FolderCase& c = GetParam();
  std::string text = c.folder;
  AppendBackslash(text);
  EXPECT_EQ(text, c.appended);

  std::string destination = "left over from before";
  CopyFolderPath(destination, c.folder);
  EXPECT_EQ(destination, c.appended);

  EXPECT_EQ(JoinPath(c.folder, "QL_Account.pdb"), c.joined);
}

INSTANTIATE_TEST_SUITE_P(Folders, FolderTest, ::testing::ValuesIn(kFolderCases));

TEST(FolderOfTest, CutsTheLastNameAndItsSeparator) {
  EXPECT_EQ(FolderOf("/usr/local/bin/quillet-cli"), "/usr/local/bin");
  EXPECT_EQ(FolderOf("/quillet-cli"), "/");
  EXPECT_EQ(FolderOf("quillet-cli"), "");
  EXPECT_EQ(FolderOf("a/b/"), "a/b");
}

TEST(ProgramFolderTest, IsTheFolderOfThisExecutable) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '/');
  const auto self = std::filesystem::canonical("/proc/self/exe");
  EXPECT_EQ(std::filesystem::path(folder), self.parent_path());
}

}  // namespace
}  // namespace quillet::exchange
