#include "batch/BatchOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <type_traits>

#include "base/OneLine.h"
#include "base/ParseCommandLine.h"

namespace {

constexpr int kMaxFrames = 1000000;

const char* const kDescription =
    "water-batch: replays a state saved by the editor without a display. It loads the file with the\n"
    "editor's reader and checks its values as the editor does, builds the heightmap, normal map and\n"
    "geometry, advances simulated time frame by frame and measures every step. It reads shaders/ (and,\n"
    "with --gpu, data/) from the working folder when it holds them, as in the repository root, else\n"
    "from the installed share/brinora-editor/.";

const char* const kExamples =
    "Examples:\n"
    "  water-batch data/states/calm.txt --frames 300 --dt 0.0333 --csv calm.csv\n"
    "      300 frames at 30 per second; one CSV row per frame with the time, the duration of each\n"
    "      step in milliseconds and the height statistics.\n"
    "  water-batch data/states/calm.txt --frames 60 --csv calm.csv --compare-normals normals.md\n"
    "      also the angular error of every normal-map method against the exact normal.\n"
    "  water-batch data/states/calm.txt --frames 240 --dt 0.05 --loop 12 --bake out --every 4 --seed 7\n"
    "      a sequence of 60 tileable height (16-bit grey PNG) and normal (RGB PNG) maps that\n"
    "      loops every 12 seconds; the same seed gives byte-identical images.\n"
    "\n"
    "Details:\n"
    "  --csv         the first line is a # comment naming the state, seed, loop, frames and step;\n"
    "                then a header row.\n"
    "                Milliseconds of the heightmap update and texture write, the normal map and its\n"
    "                texture write and the extrusion (empty when a step does not run), then the\n"
    "                heights' min, max, mean and RMS about the mean. A point is the decimal separator.\n"
    "  --compare-normals  every frame, each method's angle to the exact normal of the FFT surface\n"
    "                (its spectral derivative in double precision): mean, 95th percentile and max in\n"
    "                degrees, before and after the 8-bit encoding, and its time; per frame in the CSV.\n"
    "  --bake        heights as 16-bit grey, normals as 8-bit RGB in the engines' encoding, numbered\n"
    "                0, 1, 2, ...; they tile without a seam.\n"
    "  --loop        rounds each wave's angular frequency to a multiple of 2 pi / SECONDS (at most half\n"
    "                a step away); the frame at SECONDS is frame 0 again when --dt divides SECONDS.\n"
    "  --gpu         the GPU normal map then draws, and --compare-normals measures it too.\n"
    "\n"
    "Exit codes: 0 success, 1 failure (unreadable or invalid state, unwritable output), 2 bad usage.";

// CLI11's range check calls a word out of range and lets NaN and infinity
// through; this one says which of the three is wrong.
template <typename T>
CLI::Validator NumberIn(T min, T max) {
  std::ostringstream low, high;
  low << min;
  high << max;
  CLI::Validator check(
      [min, max, range = low.str() + " to " + high.str()](std::string& text) -> std::string {
        T value{};
        if (!CLI::detail::lexical_cast(text, value)) {
          return text + (std::is_integral_v<T> ? " is not a whole number" : " is not a number");
        }
        if (!std::isfinite(static_cast<double>(value))) return text + " is not a finite number";
        if (value < min || value > max) return "Value " + text + " not in range " + range;
        return "";
      },
      std::string(CLI::detail::type_name<T>()) + " in [" + low.str() + " - " + high.str() + "]");
  return check;
}

// An empty path would silently turn the output off.
const CLI::Validator kNonEmptyPath(
    [](std::string& text) { return text.empty() ? std::string("the path is empty") : std::string(); }, "");

// Both names lead to the same file (lexically, or through links of existing folders).
bool SameFile(const std::string& first, const std::string& second) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path a = fs::weakly_canonical(fs::absolute(first, error), error);
  if (error) return first == second;
  const fs::path b = fs::weakly_canonical(fs::absolute(second, error), error);
  return error ? first == second : a == b;
}

}  // namespace

BatchParse ParseBatchCommandLine(const std::vector<std::string>& args) {
  BatchParse result;
  BatchOptions& o = result.options;
  CLI::App app{kDescription, "water-batch"};
  app.footer(kExamples);
  app.get_formatter()->column_width(30);

  int64_t seed = -1;
  app.add_option("STATE", o.statePath, "Save file written by the editor")->required();
  app.add_option("--frames", o.frames, "Frames to run (default 60)")->check(NumberIn(1, kMaxFrames));
  app.add_option("--dt", o.dt, "Simulated seconds per frame (default 0.0333333, 30 frames per second)")
      ->check(NumberIn(1e-6, 3600.0));
  app.add_option("--csv", o.csvPath, "CSV, one row per frame: time, ms of each step, height statistics")
      ->check(kNonEmptyPath);
  app.add_option("--compare-normals", o.normalsTablePath, "Markdown table of each normal-map method's angular error")
      ->check(kNonEmptyPath);
  CLI::Option* bake = app.add_option("--bake", o.bakeDirectory,
                                     "Folder for heightNNNNN.png and normalNNNNN.png (made if missing)")
                          ->check(kNonEmptyPath);
  app.add_option("--every", o.bakeEvery, "Bake frames 0, K, 2K, ... (default 1)")
      ->check(NumberIn(1, kMaxFrames))
      ->needs(bake);
  app.add_option("--loop", o.loopSeconds, "Make the FFT ocean repeat exactly every SECONDS")
      ->check(NumberIn(1e-3, 1e6));
  app.add_option("--seed", seed, "Seed of the random spectrum (default: from the clock)")
      ->check(NumberIn(int64_t{0}, int64_t{UINT32_MAX}));
  app.add_flag("--gpu", o.gpu, "OpenGL instead of the headless backend (needs a display)");
  bool noProgress = false;
  app.add_flag("--no-progress", noProgress, "No progress bar on standard error");

  if (!ParseCommandLine(app, args, BATCH_USAGE, &result)) return result;
  if (!o.csvPath.empty() && SameFile(o.csvPath, o.normalsTablePath)) {
    result.exit = BATCH_USAGE;
    result.error = OneLine("water-batch", "--csv and --compare-normals name the same file " + o.csvPath);
    return result;
  }
  if (seed >= 0) o.seed = static_cast<uint32_t>(seed);
  o.progress = !noProgress;
  result.run = true;
  return result;
}

void MakePathsAbsolute(BatchOptions* options) {
  for (std::string* path : {&options->statePath, &options->csvPath, &options->normalsTablePath,
                            &options->bakeDirectory}) {
    std::error_code error;
    if (!path->empty()) *path = std::filesystem::absolute(*path, error).string();
  }
}
