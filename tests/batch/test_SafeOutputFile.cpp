#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "../config/SaveFileTesting.h"
#include "batch/cSafeOutputFile.h"

namespace {

using savefile::testing::ReadBytes;
using savefile::testing::ScratchFolder;
using savefile::testing::WriteBytes;

// A link planted at the temporary name is replaced, never written through.
TEST(SafeOutputFile, NeverWritesThroughALinkAtTheTemporaryName) {
  ScratchFolder folder;
  const std::string victim = folder.File("victim.txt");
  const std::string path = folder.File("run.csv");
  WriteBytes(victim, "keep");
  ASSERT_EQ(symlink(victim.c_str(), (path + ".tmp").c_str()), 0);
  cSafeOutputFile file;
  ASSERT_TRUE(file.Open(path));
  ASSERT_TRUE(file.Write("new"));
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(ReadBytes(victim), "keep");
  EXPECT_EQ(ReadBytes(path), "new");
  EXPECT_FALSE(std::filesystem::is_symlink(path));
}

// Dropped without Commit: the old file stays as it was and no temporary is left.
TEST(SafeOutputFile, DroppedWithoutCommitKeepsTheOldFile) {
  ScratchFolder folder;
  const std::string path = folder.File("run.csv");
  WriteBytes(path, "old");
  {
    cSafeOutputFile file;
    ASSERT_TRUE(file.Open(path));
    ASSERT_TRUE(file.Write("half"));
  }
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

}  // namespace
