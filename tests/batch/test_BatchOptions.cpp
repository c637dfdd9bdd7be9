#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "batch/BatchOptions.h"

namespace {

struct UsageCase {
  const char* name; std::vector<std::string> args; const char* errorContains;
  friend void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }
};

class BatchUsage : public ::testing::TestWithParam<UsageCase> {};

// Every refusal exits with 2 and exactly one line naming what was wrong.
TEST_P(BatchUsage, RefusesWithOneLine) {
  const BatchParse parse = ParseBatchCommandLine(GetParam().args);
  EXPECT_EQ(std::tuple(parse.run, parse.exit), std::tuple(false, int{BATCH_USAGE}));
  EXPECT_NE(parse.error.find(GetParam().errorContains), std::string::npos) << parse.error;
  EXPECT_EQ(parse.error.find('\n'), std::string::npos) << parse.error;
  EXPECT_EQ(parse.error.rfind("water-batch: ", 0), 0u) << parse.error;
}

const UsageCase kUsageCases[] = {
    {"NoState", {"--frames", "3"}, "STATE"}, {"UnknownOption", {"s.txt", "--fast"}, "--fast"},
    {"MissingValue", {"s.txt", "--csv"}, "--csv"}, {"NoRendering", {"s.txt", "--render", "out"}, "--render"},
    {"ZeroFrames", {"s.txt", "--frames", "0"}, "--frames"},
    {"TooManyFrames", {"s.txt", "--frames", "1000001"}, "--frames"},
    {"FramesNotANumber", {"s.txt", "--frames", "ten"}, "--frames: ten is not a whole number"},
    {"StepAsFraction", {"s.txt", "--dt", "1/30"}, "--dt: 1/30 is not a number"},
    {"StepNaN", {"s.txt", "--dt", "nan"}, "--dt: nan is not a finite number"},
    {"NegativeStep", {"s.txt", "--dt", "-0.1"}, "--dt"}, {"ZeroStep", {"s.txt", "--dt", "0"}, "--dt"},
    {"LoopNaN", {"s.txt", "--loop", "NaN"}, "--loop: NaN is not a finite"},
    {"LoopInfinite", {"s.txt", "--loop", "infinity"}, "--loop: infinity is not a finite"},
    {"LoopZero", {"s.txt", "--loop", "0"}, "--loop"}, {"NegativeSeed", {"s.txt", "--seed", "-1"}, "--seed"},
    {"SeedBeyond32Bits", {"s.txt", "--seed", "4294967296"}, "--seed"},
    {"EmptyCsvPath", {"s.txt", "--csv", ""}, "--csv: the path is empty"},
    {"EmptyBakePath", {"s.txt", "--bake", ""}, "--bake: the path is empty"},
    {"EmptyTablePath", {"s.txt", "--compare-normals", ""}, "--compare-normals: the path is empty"},
    {"EveryWithoutBake", {"s.txt", "--every", "2"}, "--every requires --bake"},
    {"EveryZero", {"s.txt", "--bake", "d", "--every", "0"}, "--every"},
    {"CsvIsTheTable", {"s.txt", "--csv", "out/r.csv", "--compare-normals", "out/../out/r.csv"},
     "--csv and --compare-normals name the same file"},
};
INSTANTIATE_TEST_SUITE_P(Cases, BatchUsage, ::testing::ValuesIn(kUsageCases),
                         [](const auto& info) { return info.param.name; });

// By default: no seed (a random one), progress shown, 60 frames.
TEST(BatchOptions, ReadsEveryOptionAndDefaultsTheRest) {
  const BatchParse parse = ParseBatchCommandLine({"save/a.txt", "--frames", "600", "--dt", "0.05", "--csv", "a.csv",
                                                  "--compare-normals", "n.md", "--bake", "out", "--every", "10",
                                                  "--loop", "12", "--seed", "4294967295", "--no-progress"});
  ASSERT_TRUE(parse.run) << parse.error;
  const BatchOptions& o = parse.options;
  EXPECT_EQ(std::tuple(o.statePath, o.frames, o.dt, o.csvPath, o.normalsTablePath, o.bakeDirectory, o.bakeEvery),
            std::tuple("save/a.txt", 600, 0.05, "a.csv", "n.md", "out", 10));
  EXPECT_EQ(std::tuple(o.loopSeconds, o.seed, o.progress), std::tuple(12.0, std::optional(4294967295u), false));
  const BatchParse defaults = ParseBatchCommandLine({"a.txt"});
  ASSERT_TRUE(defaults.run);
  EXPECT_EQ(std::tuple(defaults.options.seed.has_value(), defaults.options.progress, defaults.options.frames),
            std::tuple(false, true, 60));
}

// Help is success on standard output and names every option with an example.
TEST(BatchOptions, HelpExplainsEveryOption) {
  const BatchParse parse = ParseBatchCommandLine({"--help"});
  EXPECT_EQ(std::tuple(parse.run, parse.exit, parse.error), std::tuple(false, int{BATCH_OK}, ""));
  for (const char* option : {"--frames", "--dt", "--csv", "--compare-normals", "--bake", "--every", "--loop", "--seed",
                             "--no-progress", "Examples:", "Exit codes", "repository root", "default 0.0333333"}) {
    EXPECT_NE(parse.output.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(parse.output.find("1/30"), std::string::npos) << "a default the option would refuse";
}

// Installed, the working folder moves to the data: every path the user gave is pinned first.
TEST(BatchOptions, PathsMadeAbsolute) {
  BatchOptions o;
  std::tie(o.statePath, o.csvPath, o.bakeDirectory) = std::tuple("s.txt", "/tmp/a.csv", "out");
  MakePathsAbsolute(&o);
  const std::string here = std::filesystem::current_path().string();
  EXPECT_EQ(std::tuple(o.statePath, o.csvPath, o.bakeDirectory, o.normalsTablePath),
            std::tuple(here + "/s.txt", "/tmp/a.csv", here + "/out", ""));
}

}  // namespace
