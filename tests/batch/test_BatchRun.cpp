#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <regex>
#include <sstream>
#include <tuple>

#include "../waterscene/SaveFileTesting.h"
#include "BatchTesting.h"
#include "base/PngFile.h"
#include "batch/BakedTexels.h"
#include "batch/cBatchRun.h"

namespace {

using batch::testing::TinyFFTState;
using savefile::testing::ReadBytes;

BatchOptions Options(int frames) {
  BatchOptions options;
  options.statePath = "tiny.txt"; options.frames = frames;
  options.dt = 0.25; options.seed = 42; options.progress = false;
  return options;
}

int RunWith(const BatchOptions& options, const cEngineSettings& settings = TinyFFTState(),
            std::string* error = nullptr) {
  std::ostringstream out, err;
  const int code = RunBatch(options, settings, out, err);
  if (error) *error = err.str();
  return code;
}

// The pieces of `text` between the separators; a trailing one ends an empty piece.
std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  std::stringstream stream(text);
  for (std::string piece; std::getline(stream, piece, separator);) pieces.push_back(piece);
  if (separator != '\n' && !text.empty() && text.back() == separator) pieces.push_back("");
  return pieces;
}
std::vector<std::string> Lines(const std::string& path) { return Split(ReadBytes(path), '\n'); }
std::vector<std::string> Fields(const std::string& line) { return Split(line, ','); }

// Steps that do not run leave their fields empty; the comparison adds seven
// columns per method. Scripts read the summary line: keep its order.
TEST(BatchRun, CsvHasOneRowPerFrameColumnsFollowTheStateAndOneSummaryLine) {
  ScratchFolder folder;
  BatchOptions options = Options(5);
  options.csvPath = folder.File("run.csv");
  std::ostringstream out, err;
  ASSERT_EQ(RunBatch(options, TinyFFTState(), out, err), BATCH_OK) << err.str();
  const std::string number = "[0-9]+(\\.[0-9]+)?";
  const std::regex summary("5 frames in " + number + " s \\(" + number + " frames/s\\), " + number +
                           " s of CPU \\(" + number + " frames per CPU second\\); ms per frame: heightmap " + number +
                           " \\+ texture " + number + ", normal map " + number + " \\+ texture " + number +
                           ", extrusion " + number + ", statistics " + number + ", comparison " + number +
                           ", baking " + number + ", CSV " + number + "; seed 42\n");
  EXPECT_TRUE(std::regex_match(out.str(), summary)) << out.str();
  const std::vector<std::string> lines = Lines(options.csvPath);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_NE(lines[0].find("seed=42"), std::string::npos) << lines[0];
  const std::vector<std::string> header = Fields(lines[1]);
  EXPECT_EQ(std::tuple(header.front(), header.back()), std::tuple("frame", "height_rms"));
  for (int frame = 0; frame < 5; ++frame) {
    const std::vector<std::string> row = Fields(lines[2 + frame]);
    ASSERT_EQ(row.size(), header.size()) << lines[2 + frame];
    EXPECT_EQ(std::stoi(row[0]), frame);
    EXPECT_DOUBLE_EQ(std::stod(row[1]), frame * 0.25);
    for (size_t column = 2; column < 7; ++column) EXPECT_GE(std::stod(row[column]), 0.0) << header[column];
    const double min = std::stod(row[7]), max = std::stod(row[8]), mean = std::stod(row[9]), rms = std::stod(row[10]);
    EXPECT_TRUE(0.0 <= min && min < mean && mean < max && max <= 1.0) << lines[2 + frame];
    EXPECT_TRUE(0.0 < rms && rms < max - min) << lines[2 + frame];
  }
  EXPECT_FALSE(std::filesystem::exists(options.csvPath + ".tmp"));
  options.frames = 2;
  cEngineSettings bare = TinyFFTState();
  bare.normalmapType = 0; bare.extrudeGeometry = false;
  ASSERT_EQ(RunWith(options, bare), BATCH_OK);
  const std::vector<std::string> row = Fields(Lines(options.csvPath)[2]);
  EXPECT_EQ(std::vector<std::string>(row.begin() + 4, row.begin() + 7), (std::vector<std::string>{"", "", ""}));
  options.normalsTablePath = folder.File("normals.md");
  ASSERT_EQ(RunWith(options), BATCH_OK);
  const std::vector<std::string> compared = Lines(options.csvPath);
  EXPECT_EQ(std::tuple(Fields(compared[1]).size(), Fields(compared[2]).size()), std::tuple(39u, 39u));
  const std::string table = ReadBytes(options.normalsTablePath);
  for (const char* method : {"| cpu-forward |", "| cpu-centred |", "| fft |", "| spectral |"})
    EXPECT_NE(table.find(method), std::string::npos) << method;
}

// Every second frame is baked: heights as 16-bit grey, normals as 8-bit colour.
TEST(BatchRun, BakesEveryNthFrameAsSixteenBitHeightsAndEightBitNormals) {
  ScratchFolder folder;
  BatchOptions options = Options(3);
  options.bakeDirectory = folder.File("baked"); options.bakeEvery = 2;
  ASSERT_EQ(RunWith(options), BATCH_OK);
  const std::string dir = options.bakeDirectory + "/";
  PngImage height, normal;
  ASSERT_TRUE(ReadPng(dir + BakedHeightName(options, 1), &height));
  ASSERT_TRUE(ReadPng(dir + BakedNormalName(options, 1), &normal));
  EXPECT_EQ(std::tuple(height.bitDepth, height.channels, height.width, normal.bitDepth, normal.channels, normal.width),
            std::tuple(16, 1, 16, 8, 3, 16));
  EXPECT_FALSE(std::filesystem::exists(dir + BakedHeightName(options, 2)));
}

// Frame 1 at speed -1 is 0.25 s before the start: frame 7 (1.75 s) of the loop played forwards.
TEST(BatchRun, BakedFramesFollowTheSeedTheLoopAndTheSpeed) {
  ScratchFolder folder;
  auto bake = [&](const std::string& name, uint32_t seed, double loop, float speed, int frames) {
    BatchOptions options = Options(frames);
    options.seed = seed; options.loopSeconds = loop; options.bakeDirectory = folder.File(name);
    cEngineSettings state = TinyFFTState();
    state.heightmapUpdateCoef = speed;
    std::string error;
    EXPECT_EQ(RunWith(options, state, &error), BATCH_OK) << error;
    return [options](int frame) {  // the height and normal images of `frame`
      const std::string dir = options.bakeDirectory + "/";
      return std::pair(ReadBytes(dir + BakedHeightName(options, frame)),
                       ReadBytes(dir + BakedNormalName(options, frame)));
    };
  };
  const auto first = bake("first", 42, 0.0, 1.0f, 2), again = bake("again", 42, 0.0, 1.0f, 2);
  const auto other = bake("other", 43, 0.0, 1.0f, 2);
  EXPECT_GT(std::min(first(1).first.size(), first(1).second.size()), 100u);
  EXPECT_EQ(first(1), again(1));
  EXPECT_NE(first(1).first, other(1).first);
  EXPECT_NE(first(1).second, other(1).second);
  const auto loop = bake("loop", 42, 2.0, 0.75f, 9);  // frames 0 to 8 at 0.25 s: 2 s is frame 8
  EXPECT_EQ(loop(0), loop(8));
  EXPECT_NE(loop(0).first, loop(4).first);
  const auto forwards = bake("forwards", 42, 2.0, 1.0f, 8), backwards = bake("backwards", 42, 2.0, -1.0f, 8);
  EXPECT_EQ(backwards(1), forwards(7));
  EXPECT_NE(backwards(1).first, forwards(1).first);
}

// Normal components and heights saturate into their texels: slightly long
// normals stay at the end instead of wrapping to 0, heights round, NaN gives 0.
TEST(BakedTexels, NormalComponentsAndHeightsSaturate) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  const struct { float value; int normal, height; } cases[] = {
      {0.0f, 128, 0},       {1.0f, 255, 65535},  {-1.0f, 1, 0},           {0.5f, 191, 32768}, {-0.5f, 64, 0},
      {1.01f, 255, 65535},  {-1.01f, 0, 0},      {-3.0f, 0, 0},           {7.0f, 255, 65535}, {1e30f, 255, 65535},
      {kInfinity, 255, 65535}, {-kInfinity, 0, 0}, {kNaN, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NormalTexel(c.value), c.normal) << c.value;
    EXPECT_EQ(HeightTexel(c.value), c.height) << c.value;
  }
}

// Every name of a run is as wide as its last one needs (at least 5 digits), so that the names sort in frame order.
TEST(BatchRun, ImageNamesOfARunHaveOneWidth) {
  BatchOptions options = Options(100000);
  EXPECT_EQ(std::tuple(BakedHeightName(options, 0), BakedNormalName(options, 99999)),
            std::tuple("height00000.png", "normal99999.png"));
  options.frames = 100001;
  EXPECT_EQ(std::tuple(BakedHeightName(options, 0), BakedHeightName(options, 100000)),
            std::tuple("height000000.png", "height100000.png"));
  options.bakeEvery = 2;
  EXPECT_EQ(BakedHeightName(options, 50000), "height50000.png");
}

// Failures exit with 1 and one line; nothing half-written is left behind.
TEST(BatchRun, RefusalsAreOneLineWithExitOne) {
  ScratchFolder folder;
  std::ofstream(folder.File("plain")).put('x');
  const struct {
    const char *name, *csv, *bake, *table;  // the files in the folder; null: none
    double loop; int heightmapType; float speed; const char* message;
  } cases[] = {
      {"CsvInMissingFolder", "no/such/run.csv", "unmade", nullptr, 0.0, HEIGHTMAP_FFT, 1.0f,
       "cannot write the CSV file"},
      {"BakeIntoAFile", nullptr, "plain", nullptr, 0.0, HEIGHTMAP_FFT, 1.0f, "cannot write into the folder"},
      {"LoopOnPerlin", nullptr, "unmade", nullptr, 4.0, HEIGHTMAP_PERLIN, 1.0f, "--loop needs the FFT heightmap"},
      {"CompareOnPerlin", nullptr, "unmade", "n.md", 0.0, HEIGHTMAP_PERLIN, 1.0f,
       "--compare-normals needs the FFT heightmap"},
      {"NoHeightmap", nullptr, "unmade", nullptr, 0.0, 0, 1.0f, "no heightmap"},
      {"LoopAtSpeedZero", nullptr, "unmade", nullptr, 4.0, HEIGHTMAP_FFT, 0.0f, "--loop needs a simulation speed"},
  };
  for (const auto& c : cases) {
    BatchOptions options = Options(1);
    options.csvPath = c.csv ? folder.File(c.csv) : ""; options.bakeDirectory = folder.File(c.bake);
    options.normalsTablePath = c.table ? folder.File(c.table) : ""; options.loopSeconds = c.loop;
    cEngineSettings state = TinyFFTState();
    state.heightmapType = c.heightmapType; state.heightmapUpdateCoef = c.speed;
    std::string error;
    EXPECT_EQ(RunWith(options, state, &error), BATCH_FAILED) << c.name;
    EXPECT_EQ(error.rfind("water-batch: ", 0), 0u) << error;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
  }
  for (const char* name : {"unmade", "n.md", "n.md.tmp"}) EXPECT_FALSE(std::filesystem::exists(folder.File(name)));
}

// Runs `options` with standard error on a terminal; what the terminal showed.
std::string OnATerminal(const BatchOptions& options, int* code) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return "no terminal";
  const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
  std::fflush(stderr);
  const int saved = dup(STDERR_FILENO);
  dup2(terminal, STDERR_FILENO);
  close(terminal);
  *code = RunWith(options);
  std::fflush(stderr);
  dup2(saved, STDERR_FILENO);
  close(saved);
  std::string shown;
  char buffer[4096];
  for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) shown.append(buffer, static_cast<size_t>(n));
  close(master);
  return shown;
}

// A run that fails part way ends the progress bar's line, so that the refusal after it stands on a line of its own.
TEST(BatchRun, AFailureEndsTheProgressBarsLine) {
  ScratchFolder folder;
  BatchOptions options = Options(6);
  options.progress = true; options.bakeDirectory = folder.File("baked");
  // A folder where the fourth height image should go makes that frame fail.
  std::filesystem::create_directories(options.bakeDirectory + "/" + BakedHeightName(options, 3));
  int code = BATCH_OK;
  const std::string shown = OnATerminal(options, &code);
  EXPECT_EQ(code, BATCH_FAILED);
  EXPECT_TRUE(shown.find("] 3/6") != std::string::npos && shown.find("] 4/6") == std::string::npos) << shown;
  EXPECT_TRUE(!shown.empty() && shown.back() == '\n') << shown;
}

}  // namespace
