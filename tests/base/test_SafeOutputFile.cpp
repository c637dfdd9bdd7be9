#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "../waterscene/SaveFileTesting.h"
#include "base/cSafeOutputFile.h"

namespace {

using savefile::testing::ReadBytes;
using savefile::testing::WriteBytes;

class SafeOutputFile : public ::testing::Test {
 protected:
  ScratchFolder folder_;
};

// A link planted at the temporary name is replaced, never written through.
TEST_F(SafeOutputFile, NeverWritesThroughALinkAtTheTemporaryName) {
  const std::string victim = folder_.File("victim.txt");
  const std::string path = folder_.File("run.csv");
  WriteBytes(victim, "keep");
  ASSERT_EQ(symlink(victim.c_str(), (path + ".tmp").c_str()), 0);
  cSafeOutputFile file;
  ASSERT_TRUE(file.Open(path) && file.Write("new") && file.Commit());
  EXPECT_EQ(ReadBytes(victim), "keep");
  EXPECT_EQ(ReadBytes(path), "new");
  EXPECT_FALSE(std::filesystem::is_symlink(path));
}

// Dropped without Commit: the old file stays as it was and no temporary is left.
TEST_F(SafeOutputFile, DroppedWithoutCommitKeepsTheOldFile) {
  const std::string path = folder_.File("run.csv");
  WriteBytes(path, "old");
  {
    cSafeOutputFile file;
    ASSERT_TRUE(file.Open(path) && file.Write("half"));
  }
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

// A pipe stays a pipe: the text goes through it, nothing is renamed over it.
TEST_F(SafeOutputFile, WritesIntoAPipeWithoutReplacingIt) {
  const std::string path = folder_.File("pipe.csv");
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  // A reader that is already there, so opening the writing end does not wait.
  const int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  cSafeOutputFile file;
  ASSERT_TRUE(file.Open(path) && file.Write("row\n") && file.Commit());
  char text[16] = {};
  EXPECT_EQ(read(reader, text, sizeof text), 4);
  EXPECT_STREQ(text, "row\n");
  close(reader);
  EXPECT_EQ(std::filesystem::status(path).type(), std::filesystem::file_type::fifo);
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

// Standard output, named by /dev/fd/1 (where /dev/stdout leads) or by the file it was sent to, is written at the
// stream's own position: what the program prints before and after stays, and the file is not replaced.
TEST_F(SafeOutputFile, WritesStandardOutputThroughTheStream) {
  const std::string captured = folder_.File("stdout.txt");
  std::cout.flush();
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  const int sink = open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(sink, 0);
  dup2(sink, STDOUT_FILENO);
  close(sink);
  bool written = true;
  for (const std::string& path : {captured, std::string("/dev/fd/1")}) {
    written = write(STDOUT_FILENO, "print\n", 6) == 6 && written;
    cSafeOutputFile file;
    written = file.Open(path) && file.Write(path + "\n") && file.Commit() && written;
  }
  written = write(STDOUT_FILENO, "end\n", 4) == 4 && written;
  dup2(saved, STDOUT_FILENO);
  close(saved);
  EXPECT_TRUE(written);
  EXPECT_EQ(ReadBytes(captured), "print\n" + captured + "\nprint\n/dev/fd/1\nend\n");
}

}  // namespace
