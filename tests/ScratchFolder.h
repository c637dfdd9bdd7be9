// Scratch folders for tests: a fresh folder under the system's temporary
// folder, removed with the object, and the working directory moved into a
// folder for one scope (the program reads shaders/ and data/ relative to it).
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "editor-test-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
    EXPECT_FALSE(path_.empty()) << "cannot make a scratch folder";
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);  // links inside go, never what they point to
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The working directory is `folder` until the object goes.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::filesystem::path& folder) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~WorkingDirectory() { std::filesystem::current_path(previous_); }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

  const std::filesystem::path& Previous() const { return previous_; }

 private:
  std::filesystem::path previous_;
};

// An empty working directory for one scope, so no data file is found.
class EmptyWorkingDirectory {
 public:
  const std::filesystem::path& Path() const { return folder_.Path(); }
  const std::filesystem::path& Previous() const { return inside_.Previous(); }

 private:
  ScratchFolder folder_;
  WorkingDirectory inside_{folder_.Path()};  // left before the folder goes
};
