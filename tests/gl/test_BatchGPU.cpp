#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../batch/BatchTesting.h"
#include "GLTest.h"
#include "batch/cBatchRun.h"

namespace {

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream stream(line);
  for (std::string field; std::getline(stream, field, ',');) fields.push_back(field);
  return fields;
}

// On OpenGL the GPU normal map draws: the comparison measures it, and it lands
// as close to the exact normal as the CPU forward differences after their
// 8-bit encoding (both read 8-bit data: the GPU one the heightmap texture).
using BatchGPU = gltest::GLTest;

TEST_F(BatchGPU, ComparisonMeasuresTheGPUNormalMap) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "water-batch-gpu";
  std::filesystem::create_directories(folder);
  BatchOptions options;
  options.statePath = "tiny.txt";
  options.frames = 2;
  options.seed = 5;
  options.gpu = true;
  options.progress = false;
  options.csvPath = (folder / "gpu.csv").string();
  options.normalsTablePath = (folder / "gpu.md").string();
  cEngineSettings state = batch::testing::TinyFFTState();
  state.heightmapResolution = 64;
  state.fdNormalmapAmplitude = 4.0f;
  std::ostringstream out, err;
  ASSERT_EQ(RunBatch(options, state, out, err), BATCH_OK) << err.str();

  std::ifstream csv(options.csvPath);
  std::string comment, header, row;
  std::getline(csv, comment);
  std::getline(csv, header);
  std::getline(csv, row);
  const std::vector<std::string> names = Split(header), values = Split(row);
  ASSERT_EQ(names.size(), values.size());
  auto value = [&](const std::string& name) {
    for (size_t i = 0; i < names.size(); ++i) {
      if (names[i] == name) return std::stod(values[i]);
    }
    ADD_FAILURE() << name;
    return -1.0;
  };
  const double gpu = value("gpu-forward_mean_deg"), cpu = value("cpu-forward_8bit_mean_deg");
  EXPECT_GT(gpu, 0.0);
  EXPECT_LT(gpu, 1.5 * cpu + 0.2);
  EXPECT_LT(value("gpu-centred_mean_deg"), 1.5 * value("cpu-centred_8bit_mean_deg") + 0.2);
  std::filesystem::remove_all(folder);
}

}  // namespace
