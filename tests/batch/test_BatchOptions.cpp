#include <gtest/gtest.h>

#include <filesystem>

#include "batch/BatchOptions.h"

namespace {

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  int exit;
  const char* errorContains;
  friend void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }
};

class BatchUsage : public ::testing::TestWithParam<UsageCase> {};

// Every refusal exits with 2 and exactly one line naming what was wrong.
TEST_P(BatchUsage, RefusesWithOneLine) {
  const UsageCase& c = GetParam();
  const BatchParse parse = ParseBatchCommandLine(c.args);
  EXPECT_FALSE(parse.run);
  EXPECT_EQ(parse.exit, c.exit);
  EXPECT_NE(parse.error.find(c.errorContains), std::string::npos) << parse.error;
  EXPECT_EQ(parse.error.find('\n'), std::string::npos) << parse.error;
  EXPECT_EQ(parse.error.rfind("water-batch: ", 0), 0u) << parse.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchUsage,
    ::testing::Values(UsageCase{"NoState", {"--frames", "3"}, BATCH_USAGE, "STATE"},
                      UsageCase{"UnknownOption", {"s.txt", "--fast"}, BATCH_USAGE, "--fast"},
                      UsageCase{"ZeroFrames", {"s.txt", "--frames", "0"}, BATCH_USAGE, "--frames"},
                      UsageCase{"TooManyFrames", {"s.txt", "--frames", "1000001"}, BATCH_USAGE, "--frames"},
                      UsageCase{"FramesNotANumber", {"s.txt", "--frames", "ten"}, BATCH_USAGE,
                                "--frames: ten is not a whole number"},
                      UsageCase{"StepAsFraction", {"s.txt", "--dt", "1/30"}, BATCH_USAGE, "--dt: 1/30 is not a number"},
                      UsageCase{"StepNaN", {"s.txt", "--dt", "nan"}, BATCH_USAGE, "--dt: nan is not a finite number"},
                      UsageCase{"LoopNaN", {"s.txt", "--loop", "NaN"}, BATCH_USAGE, "--loop: NaN is not a finite"},
                      UsageCase{"LoopInfinite", {"s.txt", "--loop", "infinity"}, BATCH_USAGE,
                                "--loop: infinity is not a finite"},
                      UsageCase{"EmptyCsvPath", {"s.txt", "--csv", ""}, BATCH_USAGE, "--csv: the path is empty"},
                      UsageCase{"EmptyBakePath", {"s.txt", "--bake", ""}, BATCH_USAGE, "--bake: the path is empty"},
                      UsageCase{"EmptyTablePath", {"s.txt", "--compare-normals", ""}, BATCH_USAGE,
                                "--compare-normals: the path is empty"},
                      UsageCase{"EveryWithoutBake", {"s.txt", "--every", "2"}, BATCH_USAGE, "--every requires --bake"},
                      UsageCase{"CsvIsTheTable",
                                {"s.txt", "--csv", "out/r.csv", "--compare-normals", "out/../out/r.csv"},
                                BATCH_USAGE, "--csv and --compare-normals name the same file"},
                      UsageCase{"NegativeStep", {"s.txt", "--dt", "-0.1"}, BATCH_USAGE, "--dt"},
                      UsageCase{"ZeroStep", {"s.txt", "--dt", "0"}, BATCH_USAGE, "--dt"},
                      UsageCase{"EveryZero", {"s.txt", "--bake", "d", "--every", "0"}, BATCH_USAGE, "--every"},
                      UsageCase{"LoopZero", {"s.txt", "--loop", "0"}, BATCH_USAGE, "--loop"},
                      UsageCase{"NegativeSeed", {"s.txt", "--seed", "-1"}, BATCH_USAGE, "--seed"},
                      UsageCase{"SeedBeyond32Bits", {"s.txt", "--seed", "4294967296"}, BATCH_USAGE, "--seed"},
                      UsageCase{"NoRendering", {"s.txt", "--render", "out"}, BATCH_USAGE, "--render"},
                      UsageCase{"MissingValue", {"s.txt", "--csv"}, BATCH_USAGE, "--csv"}),
    [](const auto& info) { return info.param.name; });

TEST(BatchOptions, ReadsEveryOption) {
  const BatchParse parse = ParseBatchCommandLine({"save/a.txt", "--frames", "600", "--dt", "0.05", "--csv", "a.csv",
                                                  "--compare-normals", "n.md", "--bake", "out", "--every", "10",
                                                  "--loop", "12", "--seed", "4294967295", "--no-progress"});
  ASSERT_TRUE(parse.run) << parse.error;
  const BatchOptions& o = parse.options;
  EXPECT_EQ(o.statePath, "save/a.txt");
  EXPECT_EQ(o.frames, 600);
  EXPECT_DOUBLE_EQ(o.dt, 0.05);
  EXPECT_EQ(o.csvPath, "a.csv");
  EXPECT_EQ(o.normalsTablePath, "n.md");
  EXPECT_EQ(o.bakeDirectory, "out");
  EXPECT_EQ(o.bakeEvery, 10);
  EXPECT_DOUBLE_EQ(o.loopSeconds, 12.0);
  ASSERT_TRUE(o.seed.has_value());
  EXPECT_EQ(*o.seed, 4294967295u);
  EXPECT_FALSE(o.progress);
}

TEST(BatchOptions, DefaultsTakeNoSeedAndShowProgress) {
  const BatchParse parse = ParseBatchCommandLine({"a.txt"});
  ASSERT_TRUE(parse.run);
  EXPECT_FALSE(parse.options.seed.has_value());
  EXPECT_TRUE(parse.options.progress);
  EXPECT_EQ(parse.options.frames, 60);
}

// Help is success on standard output and names every option with an example.
TEST(BatchOptions, HelpExplainsEveryOption) {
  const BatchParse parse = ParseBatchCommandLine({"--help"});
  EXPECT_FALSE(parse.run);
  EXPECT_EQ(parse.exit, BATCH_OK);
  EXPECT_TRUE(parse.error.empty());
  for (const char* option : {"--frames", "--dt", "--csv", "--compare-normals", "--bake", "--every", "--loop", "--seed",
                             "--no-progress", "Examples:", "Exit codes", "repository root", "default 0.0333333"}) {
    EXPECT_NE(parse.output.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(parse.output.find("1/30"), std::string::npos) << "a default the option would refuse";
}

}  // namespace

// Installed, the working folder moves to the data: every path the user gave is pinned first.
TEST(BatchOptions, PathsMadeAbsolute) {
  BatchOptions options;
  options.statePath = "s.txt";
  options.csvPath = "/tmp/a.csv";
  options.bakeDirectory = "out";
  MakePathsAbsolute(&options);
  const std::string here = std::filesystem::current_path().string();
  EXPECT_EQ(options.statePath, here + "/s.txt");
  EXPECT_EQ(options.csvPath, "/tmp/a.csv");
  EXPECT_EQ(options.bakeDirectory, here + "/out");
  EXPECT_EQ(options.normalsTablePath, "") << "no output stays no output";
}
