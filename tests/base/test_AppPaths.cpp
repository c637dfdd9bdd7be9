#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../ScratchFolder.h"
#include "../waterscene/SaveFileTesting.h"
#include "base/AppPaths.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Write(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// A machine in a scratch folder: a working folder, and an installed tree
// (prefix/bin/brinora-editor beside prefix/share/brinora-editor).
class AppPathsTest : public ::testing::Test {
 protected:
  void TearDown() override { UseAppPaths(AppPaths{}); }
  fs::path Work() const { return root_.Path() / "work"; }
  fs::path Share() const { return root_.Path() / "prefix/share/brinora-editor"; }
  fs::path Home() const { return root_.Path() / "home"; }
  AppEnvironment Machine(bool workHoldsData, bool installed, std::map<std::string, std::string> variables) {
    fs::create_directories(Work());
    if (workHoldsData) MakeDataRoot(Work());
    if (installed) MakeDataRoot(Share());
    return {Work(), root_.Path() / "prefix/bin/brinora-editor", std::move(variables)};
  }
  static void MakeDataRoot(const fs::path& folder) {
    fs::create_directories(folder / "shaders");
    Write(folder / "data/states/calm.txt", "[heightmap type]=fft\r\n");
    Write(folder / "data/states/ffp.txt", "[engine type]=ffp\r\n");
  }
  ScratchFolder root_;
};

struct ResolveCase {
  std::string name; bool workHoldsData, installed; std::map<std::string, std::string> variables;
  std::string save, trace, screenshots; bool problem;
  friend void PrintTo(const ResolveCase& c, std::ostream* os) { *os << c.name; }
};

// The cases of tests/data/base/paths.txt.
std::vector<ResolveCase> ResolveCases() {
  std::vector<ResolveCase> cases;
  for (const auto& row : savefile::testing::TableRows("base/paths.txt", "resolve")) {
    std::map<std::string, std::string> variables;
    std::istringstream pairs(row.at(3));
    for (std::string pair; pairs >> pair;) variables[pair.substr(0, pair.find('='))] = pair.substr(pair.find('=') + 1);
    cases.push_back(
        {row[0], row[1] == "1", row[2] == "1", variables, row.at(4), row.at(5), row.at(6), row.at(7) == "1"});
  }
  return cases;
}

class ResolvePaths : public AppPathsTest, public ::testing::WithParamInterface<ResolveCase> {
 protected:
  std::string Placed(const std::string& text) {
    const size_t at = text.find('@');
    return at == std::string::npos ? text : text.substr(0, at) + root_.Path().string() + text.substr(at + 1);
  }
};

TEST_P(ResolvePaths, PicksTheFolders) {
  const ResolveCase& c = GetParam();
  std::map<std::string, std::string> variables;
  for (const auto& [key, value] : c.variables) variables[key] = Placed(value);
  AppPaths paths;
  std::string error;
  ASSERT_TRUE(ResolveAppPaths(Machine(c.workHoldsData, c.installed, variables), &paths, &error)) << error;
  EXPECT_EQ(std::tuple(paths.installed, paths.dataRoot, paths.saveFolder, paths.traceFile, paths.screenshotFolder),
            std::tuple(!c.workHoldsData, c.workHoldsData ? Work() : Share(), fs::path(Placed(c.save)),
                       fs::path(Placed(c.trace)), fs::path(Placed(c.screenshots))));
  EXPECT_EQ(!paths.userFolderProblem.empty(), c.problem) << paths.userFolderProblem;
}

INSTANTIATE_TEST_SUITE_P(Cases, ResolvePaths, ::testing::ValuesIn(ResolveCases()),
                         [](const auto& info) { return info.param.name; });

TEST_F(AppPathsTest, MissingDataNamesBothPlaces) {
  AppPaths paths;
  std::string error;
  EXPECT_FALSE(ResolveAppPaths(Machine(false, false, {}), &paths, &error));
  EXPECT_NE(error.find(Work().string()), std::string::npos) << error;
  EXPECT_NE(error.find(Share().string()), std::string::npos) << error;
  EXPECT_FALSE(paths.installed) << "the paths are left alone";
}

AppPaths InstalledUnder(const fs::path& share, const fs::path& home) {
  return {true, share, home / "save", home / "state/blur.txt", home / "shots", ""};
}

// The first start copies the examples; a save folder that exists is the
// user's, and later starts copy nothing into it and replace nothing.
TEST_F(AppPathsTest, FirstStartCopiesTheExamplesAndLaterStartsLeaveThemAlone) {
  Machine(false, true, {});
  std::vector<std::string> problems;
  PrepareUserFolders(InstalledUnder(Share(), Home()), &problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_TRUE(fs::is_directory(Home() / "state"));
  for (const char* name : {"calm.txt", "ffp.txt"})
    EXPECT_EQ(Read(Home() / "save" / name), Read(Share() / "data/states" / name)) << name;
  EXPECT_FALSE(fs::exists(Home() / "save/calm.tmp"));
  Write(Home() / "save/calm.txt", "mine");
  fs::remove(Home() / "save/ffp.txt");
  PrepareUserFolders(InstalledUnder(Share(), Home()), &problems);
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(Read(Home() / "save/calm.txt"), "mine");
  EXPECT_FALSE(fs::exists(Home() / "save/ffp.txt"));
}

// A home that is a file stands for one that cannot be written (root writes anywhere).
TEST_F(AppPathsTest, UnwritableHomeIsReportedAndHarmless) {
  Machine(false, true, {});
  Write(Home(), "a file, not a folder");
  std::vector<std::string> problems;
  PrepareUserFolders(InstalledUnder(Share(), Home()), &problems);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_NE(problems[0].find((Home() / "state").string()), std::string::npos) << problems[0];
  EXPECT_NE(problems[1].find((Home() / "save").string()), std::string::npos) << problems[1];
  EXPECT_EQ(Read(Home()), "a file, not a folder");
}

TEST_F(AppPathsTest, RepositoryRunPreparesNothing) {
  std::vector<std::string> problems;
  AppPaths repository;
  repository.saveFolder = Home() / "save";
  PrepareUserFolders(repository, &problems);
  EXPECT_TRUE(problems.empty());
  EXPECT_FALSE(fs::exists(Home()));
}

TEST_F(AppPathsTest, SaveNamesFollowTheFolder) {
  EXPECT_EQ(std::tuple(SaveFilePath("calm"), SaveFilePattern()), std::tuple("save/calm.txt", "save/*.txt"));
  UseAppPaths(InstalledUnder(Share(), Home()));
  EXPECT_EQ(std::tuple(SaveFilePath("calm"), SaveFilePattern()),
            std::tuple((Home() / "save/calm.txt").string(), (Home() / "save/*.txt").string()));
  UseAppPaths({true, Share(), "", Home() / "state/blur.txt", Home() / "shots", ""});
  EXPECT_EQ(std::tuple(SaveFilePath("calm"), SaveFilePattern()), std::tuple("", ""))
      << "no folder: no path, never one in the working folder";
}

// Two shots within one second get two names; neither replaces a file.
TEST_F(AppPathsTest, ScreenshotNamesNeverRepeat) {
  UseAppPaths(InstalledUnder(Share(), Home()));
  std::tm when{};
  when.tm_year = 124, when.tm_mon = 4, when.tm_mday = 7, when.tm_hour = 9, when.tm_min = 5, when.tm_sec = 3;
  const fs::path first = NewScreenshotPath(when);
  EXPECT_EQ(first, Home() / "shots/brinora-editor-2024-05-07-090503.png");
  Write(first, "png");
  EXPECT_EQ(NewScreenshotPath(when), Home() / "shots/brinora-editor-2024-05-07-090503-2.png");
}

}  // namespace
