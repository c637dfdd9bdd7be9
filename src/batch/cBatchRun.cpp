#include "batch/cBatchRun.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <vector>

#include "batch/BakedTexels.h"
#include "batch/HeightStatistics.h"
#include "base/PngFile.h"
#include "batch/cBatchDevice.h"
#include "batch/cBatchScene.h"
#include "batch/cNormalComparison.h"
#include "base/cSafeOutputFile.h"
#include "settings/TypeIds.h"
#include "heightmap/cFFTHeightmap.h"
#include "heightmap/cRandom.h"
#include "normalmap/cNormalmapFDRaw.h"

namespace {

// Every name of a run has as many digits as its last index needs, at least 5,
// so that the names sort in frame order.
std::string Numbered(const char* prefix, const BatchOptions& options, int index) {
  const int last = (options.frames - 1) / std::max(options.bakeEvery, 1);
  const int digits = std::max(5, static_cast<int>(std::to_string(last).size()));
  char name[48];
  std::snprintf(name, sizeof name, "%s%0*d.png", prefix, digits, index);
  return name;
}

bool BakeFrame(const BatchOptions& options, int index, const iHeightmap& heightmap, const iNormalmap* normalmap) {
  const int n = heightmap.GetResolution();
  const size_t count = static_cast<size_t>(n) * n;
  std::vector<uint16_t> grey(count);
  const float* heights = heightmap.GetHeights();
  for (size_t i = 0; i < count; ++i) grey[i] = HeightTexel(heights[i]);
  const std::filesystem::path folder(options.bakeDirectory);
  if (!WriteGrey16Png(folder / BakedHeightName(options, index), grey, n, n)) return false;
  if (!normalmap || !normalmap->GetNormals()) return true;
  std::vector<uint8_t> rgb(count * 3);
  const D3DXVECTOR3* normals = normalmap->GetNormals();
  for (size_t i = 0; i < count; ++i) {
    rgb[3 * i] = NormalTexel(normals[i].x);
    rgb[3 * i + 1] = NormalTexel(normals[i].y);
    rgb[3 * i + 2] = NormalTexel(normals[i].z);
  }
  return WriteRgb8Png(folder / BakedNormalName(options, index), rgb, n, n);
}

class cProgressBar {
 public:
  explicit cProgressBar(bool enabled, int total) : enabled_(enabled && isatty(STDERR_FILENO)), total_(total) {}
  void Show(int done) {
    if (!enabled_) return;
    constexpr int kWidth = 40;
    const int filled = static_cast<int>(static_cast<long long>(done) * kWidth / total_);
    std::fprintf(stderr, "\r[%.*s%*s] %d/%d", filled, "########################################", kWidth - filled, "",
                 done, total_);
    shown_ = done < total_;
    if (!shown_) std::fputc('\n', stderr);
    std::fflush(stderr);
  }
  // Ends a bar cut short, so that a message after it starts its own line.
  void Interrupt() {
    if (shown_) std::fputc('\n', stderr);
    shown_ = false;
  }

 private:
  bool enabled_;
  int total_;
  bool shown_ = false;  // a bar is on the line and not finished
};

struct Summary {
  double milliseconds = 0.0;
  double cpuSeconds = 0.0;
  StepTimes total{0.0, 0.0, 0.0, 0.0, 0.0, nullptr};
  double statistics = 0.0;
  double comparison = 0.0;
  double baking = 0.0;
  double csv = 0.0;
  std::vector<MethodError> methods;  // sums over the frames (max for the max columns)
};

void AddTimes(StepTimes* total, const StepTimes& frame) {
  total->heightmapUpdate += frame.heightmapUpdate;
  total->heightmapTexture += frame.heightmapTexture;
  total->normalmap += frame.normalmap;
  total->normalmapTexture += frame.normalmapTexture;
  total->extrusion += std::max(frame.extrusion, 0.0);
}

void AddErrors(std::vector<MethodError>* total, const std::vector<MethodError>& frame) {
  if (total->empty()) {
    *total = frame;
    return;
  }
  for (size_t m = 0; m < frame.size(); ++m) {
    for (auto member : {&MethodError::exact, &MethodError::quantised}) {
      AngularError& sum = (*total)[m].*member;
      const AngularError& add = frame[m].*member;
      sum.mean += add.mean;
      sum.p95 += add.p95;
      sum.max = std::max(sum.max, add.max);
    }
    (*total)[m].milliseconds += frame[m].milliseconds;
  }
}

std::string CsvHeader(const BatchOptions& options, uint32_t seed, const std::vector<const char*>& methods) {
  std::string text = "# water-batch state=" + options.statePath + " seed=" + std::to_string(seed) + " loop_s=";
  AppendNumber(&text, options.loopSeconds, 3);
  text += " frames=" + std::to_string(options.frames) + " dt_s=";
  AppendNumber(&text, options.dt, 6);
  text +=
      "\nframe,time_s,heightmap_update_ms,heightmap_texture_ms,normalmap_ms,normalmap_texture_ms,extrusion_ms,"
      "height_min,height_max,height_mean,height_rms";
  for (const char* name : methods) {
    for (const char* column : {"mean_deg", "p95_deg", "max_deg", "8bit_mean_deg", "8bit_p95_deg", "8bit_max_deg",
                               "ms"}) {
      text += std::string(",") + name + "_" + column;
    }
  }
  return text + "\n";
}

void AppendField(std::string* row, double value, int decimals) {
  *row += ',';
  AppendNumber(row, value, decimals);
}

std::string CsvRow(int frame, double time, const StepTimes& times, bool normalmap, const HeightStatistics& stats,
                   const std::vector<MethodError>& methods) {
  std::string row = std::to_string(frame);
  AppendField(&row, time, 6);
  AppendField(&row, times.heightmapUpdate, 4);
  AppendField(&row, times.heightmapTexture, 4);
  // Steps that did not run leave their field empty.
  if (normalmap) {
    AppendField(&row, times.normalmap, 4);
    AppendField(&row, times.normalmapTexture, 4);
  } else {
    row += ",,";
  }
  if (times.extrusion >= 0.0) {
    AppendField(&row, times.extrusion, 4);
  } else {
    row += ',';
  }
  for (double value : {stats.min, stats.max, stats.mean, stats.rms}) AppendField(&row, value, 6);
  for (const MethodError& method : methods) {
    for (const AngularError& error : {method.exact, method.quantised}) {
      for (double value : {error.mean, error.p95, error.max}) AppendField(&row, value, 4);
    }
    AppendField(&row, method.milliseconds, 4);
  }
  return row + "\n";
}

std::string NormalsTable(const BatchOptions& options, const cEngineSettings& settings, uint32_t seed, float amplitude,
                         const std::vector<MethodError>& totals) {
  std::string text = "# Normal-map methods against the exact normal\n\nState `" + options.statePath + "`, N = " +
                     std::to_string(settings.heightmapResolution) + ", grid size " +
                     std::to_string(settings.heightmapGridSize) + ", seed " + std::to_string(seed) +
                     ", finite-difference amplitude ";
  AppendNumber(&text, amplitude, 3);
  text += ", " + std::to_string(options.frames) +
          " frames. Angles in degrees: mean and 95th percentile averaged over the frames, max over all frames; "
          "\"8-bit\" after the texel encoding the engines read.\n\n"
          "| Method | mean | p95 | max | mean 8-bit | p95 8-bit | max 8-bit | ms/frame |\n"
          "|---|---:|---:|---:|---:|---:|---:|---:|\n";
  const double frames = options.frames;
  for (const MethodError& method : totals) {
    text += std::string("| ") + method.name + " |";
    for (const AngularError& error : {method.exact, method.quantised}) {
      for (double value : {error.mean / frames, error.p95 / frames, error.max}) {
        text += ' ';
        AppendNumber(&text, value, 3);
        text += " |";
      }
    }
    text += ' ';
    AppendNumber(&text, method.milliseconds / frames, 3);
    text += " |\n";
  }
  text += "\n";
  for (const auto& [name, description] : cNormalComparison::Methods()) {
    text += std::string("- `") + name + "`: " + description + "\n";
  }
  return text;
}

// The folder exists (created when missing) and takes new files.
bool PrepareFolder(const std::string& directory) {
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  return std::filesystem::is_directory(directory, error) && access(directory.c_str(), W_OK) == 0;
}

// Milliseconds since `*mark`, which moves to now.
double MillisecondsSince(std::chrono::steady_clock::time_point* mark) {
  const auto now = std::chrono::steady_clock::now();
  const double elapsed = std::chrono::duration<double, std::milli>(now - *mark).count();
  *mark = now;
  return elapsed;
}

// Opens the CSV and table files and makes the bake folder the options ask for;
// the message of the first that fails, or empty.
std::string OpenOutputs(const BatchOptions& options, cSafeOutputFile* csv, cSafeOutputFile* table) {
  if (!options.csvPath.empty() && !csv->Open(options.csvPath)) return "cannot write the CSV file " + options.csvPath;
  if (!options.normalsTablePath.empty() && !table->Open(options.normalsTablePath)) {
    return "cannot write the table " + options.normalsTablePath;
  }
  if (!options.bakeDirectory.empty() && !PrepareFolder(options.bakeDirectory)) {
    return "cannot write into the folder " + options.bakeDirectory;
  }
  return "";
}

// The run's speed and the mean milliseconds of each step per frame.
std::string SummaryLine(const Summary& summary, int frameCount) {
  const double frames = frameCount;
  std::string line = std::to_string(frameCount) + " frames in ";
  AppendNumber(&line, summary.milliseconds / 1000.0, 3);
  line += " s (";
  AppendNumber(&line, frames * 1000.0 / std::max(summary.milliseconds, 1e-9), 1);
  line += " frames/s), ";
  AppendNumber(&line, summary.cpuSeconds, 3);
  line += " s of CPU (";
  AppendNumber(&line, frames / std::max(summary.cpuSeconds, 1e-9), 1);
  line += " frames per CPU second); ms per frame:";
  const std::pair<const char*, double> steps[] = {
      {" heightmap ", summary.total.heightmapUpdate}, {" + texture ", summary.total.heightmapTexture},
      {", normal map ", summary.total.normalmap},     {" + texture ", summary.total.normalmapTexture},
      {", extrusion ", summary.total.extrusion},      {", statistics ", summary.statistics},
      {", comparison ", summary.comparison},          {", baking ", summary.baking},
      {", CSV ", summary.csv}};
  for (const auto& [label, milliseconds] : steps) {
    line += label;
    AppendNumber(&line, milliseconds / frames, 3);
  }
  return line;
}

// One frame: the pipeline's step, then the statistics, comparison, images and
// CSV row the options ask for, each timed into the summary.
struct cFrameStep {
  const BatchOptions& options;
  cBatchScene& scene;
  cNormalComparison* comparison;  // null without --compare-normals
  cNormalmapFDRaw* cpuNormals;    // recomputed before baking when the normal map keeps no CPU normals
  const iNormalmap* bakeNormals;
  cSafeOutputFile& csv;
  Summary summary;
  std::vector<MethodError> methods;

  // The message of what failed, or empty.
  std::string Run(int frame) {
    const double time = frame * options.dt;
    StepTimes times;
    if (!scene.Step(time, &times)) {
      return std::string(times.failed ? times.failed : "the pipeline") + " failed at frame " + std::to_string(frame);
    }
    AddTimes(&summary.total, times);
    const iHeightmap& heightmap = *scene.Heightmap();
    const int n = heightmap.GetResolution();
    auto mark = std::chrono::steady_clock::now();
    const HeightStatistics stats = ComputeHeightStatistics(heightmap.GetHeights(), static_cast<size_t>(n) * n);
    summary.statistics += MillisecondsSince(&mark);
    if (comparison) {
      if (!comparison->Run(&methods)) return "the normal-map comparison failed";
      AddErrors(&summary.methods, methods);
      summary.comparison += MillisecondsSince(&mark);
    }
    if (!options.bakeDirectory.empty() && frame % options.bakeEvery == 0) {
      if (cpuNormals) cpuNormals->Compute();
      if (!BakeFrame(options, frame / options.bakeEvery, heightmap, bakeNormals)) {
        return "cannot write the images of frame " + std::to_string(frame) + " into " + options.bakeDirectory;
      }
      summary.baking += MillisecondsSince(&mark);
    }
    if (!options.csvPath.empty()) {
      if (!csv.Write(CsvRow(frame, time, times, scene.Normalmap(), stats, methods))) {
        return "cannot write the CSV file " + options.csvPath;
      }
      summary.csv += MillisecondsSince(&mark);
    }
    return "";
  }
};

int Fail(std::ostream& err, const std::string& message) {
  err << "water-batch: " << message << "\n";
  return BATCH_FAILED;
}

}  // namespace

std::string BakedHeightName(const BatchOptions& options, int index) { return Numbered("height", options, index); }
std::string BakedNormalName(const BatchOptions& options, int index) { return Numbered("normal", options, index); }

int RunBatch(const BatchOptions& options, const cEngineSettings& settings, std::ostream& out, std::ostream& err) {
  const bool compare = !options.normalsTablePath.empty();
  if ((compare || options.loopSeconds > 0.0) && settings.heightmapType != HEIGHTMAP_FFT) {
    return Fail(err, std::string(compare ? "--compare-normals" : "--loop") +
                         " needs the FFT heightmap; this state has " +
                         (settings.heightmapType == 0 ? "none" : "the Perlin noise heightmap"));
  }
  cBatchDevice device;
  std::string error;
  if (!device.Create(options.gpu, &error)) return Fail(err, error);
  const uint32_t seed = options.seed ? *options.seed : cRandom::SeedFromTime(static_cast<uint32_t>(time(nullptr)));
  cBatchScene scene;
  if (!scene.Build(settings, seed, options.loopSeconds, device.d3d(), device.get(), &error)) return Fail(err, error);
  if (!scene.PrimeLoop(options.loopSeconds, options.dt, options.frames)) return Fail(err, "the heightmap failed");

  // The GPU normal map keeps no CPU normals: baking uses the CPU finite
  // differences with the same method and amplitude, which it matches.
  const iNormalmap* bakeNormals = scene.Normalmap();
  cNormalmapFDRaw cpuNormals;
  const bool gpuNormals = bakeNormals && !bakeNormals->GetNormals();
  if (gpuNormals) {
    cpuNormals.SetSource(scene.Heightmap());
    cpuNormals.SetMethod(settings.fdNormalmapMethod);
    cpuNormals.SetAmplitude(std::fabs(settings.fdNormalmapAmplitude));
    bakeNormals = &cpuNormals;
  }
  const bool fdState = settings.normalmapType == NORMALMAP_FD_RAW || settings.normalmapType == NORMALMAP_FD_TEX;
  const float amplitude = fdState ? std::fabs(settings.fdNormalmapAmplitude) : 1.0f;
  cNormalComparison comparison;
  if (compare && !comparison.Bind(static_cast<cFFTHeightmap*>(scene.Heightmap()), amplitude,
                                  settings.fftNormalizationFactor)) {
    return Fail(err, "the normal-map comparison could not be set up (no memory for its buffers)");
  }
  if (compare && device.IsGPU() && !comparison.BindGPU(device.d3d(), device.get())) {
    return Fail(err, "the GPU normal maps of --compare-normals could not be set up: they need "
                     "shaders/cNormalmapFDTex.fx under the working folder (run from the repository root)");
  }
  // Only a state that could be built gets output files or a bake folder.
  cSafeOutputFile csv, table;
  const std::string outputError = OpenOutputs(options, &csv, &table);
  if (!outputError.empty()) return Fail(err, outputError);

  if (!options.csvPath.empty()) {
    csv.Write(CsvHeader(options, seed, compare ? comparison.ActiveMethods() : std::vector<const char*>()));
  }
  cProgressBar progress(options.progress, options.frames);
  cFrameStep step{options, scene, compare ? &comparison : nullptr, gpuNormals ? &cpuNormals : nullptr,
                  bakeNormals, csv, {}, {}};
  Summary& summary = step.summary;
  const auto start = std::chrono::steady_clock::now();
  const std::clock_t cpuStart = std::clock();
  for (int frame = 0; frame < options.frames; ++frame) {
    const std::string frameError = step.Run(frame);
    if (!frameError.empty()) {
      progress.Interrupt();
      return Fail(err, frameError);
    }
    progress.Show(frame + 1);
  }
  summary.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  summary.cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;

  if (!options.csvPath.empty() && !csv.Commit()) return Fail(err, "cannot write the CSV file " + options.csvPath);
  if (compare && !(table.Write(NormalsTable(options, settings, seed, amplitude, summary.methods)) && table.Commit())) {
    return Fail(err, "cannot write the table " + options.normalsTablePath);
  }
  out << SummaryLine(summary, options.frames) << "; seed " << seed << "\n";
  return BATCH_OK;
}
