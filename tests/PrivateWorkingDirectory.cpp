// Every test process works in a scratch folder of its own that links to the
// project's files, so tests that save, list the saves, write the input trace or
// a screenshot never meet another process's files running beside them, nor the
// user's saves.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

class PrivateWorkingDirectory : public ::testing::Environment {
 public:
  void SetUp() override {
    folder_ = std::make_unique<ScratchFolder>();
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::current_path())) {
      const fs::path name = entry.path().filename();
      if (name == "save" || name == "blur.txt" || name == "screenshots") continue;
      fs::create_symlink(entry.path(), folder_->Path() / name);
    }
    inside_ = std::make_unique<WorkingDirectory>(folder_->Path());
  }

  void TearDown() override {
    inside_.reset();
    folder_.reset();
  }

 private:
  std::unique_ptr<ScratchFolder> folder_;
  std::unique_ptr<WorkingDirectory> inside_;
};

[[maybe_unused]] ::testing::Environment* const kRegistered =
    ::testing::AddGlobalTestEnvironment(new PrivateWorkingDirectory);

}  // namespace
