// Every test process works in a scratch folder of its own that links to the
// project's files, so tests that save, list the saves or write the input trace
// never meet another process's files running beside them, nor the user's saves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

class PrivateWorkingDirectory : public ::testing::Environment {
 public:
  void SetUp() override {
    const fs::path project = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "editor-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr) << "cannot make a scratch working folder";
    scratch_ = pattern;
    for (const fs::directory_entry& entry : fs::directory_iterator(project)) {
      const fs::path name = entry.path().filename();
      if (name == "save" || name == "blur.txt") continue;
      fs::create_symlink(entry.path(), scratch_ / name);
    }
    fs::current_path(scratch_);
    previous_ = project;
  }

  void TearDown() override {
    if (scratch_.empty()) return;
    fs::current_path(previous_);
    std::error_code ignored;
    fs::remove_all(scratch_, ignored);  // removes the links, never what they point to
  }

 private:
  fs::path scratch_, previous_;
};

[[maybe_unused]] ::testing::Environment* const kRegistered =
    ::testing::AddGlobalTestEnvironment(new PrivateWorkingDirectory);

}  // namespace
