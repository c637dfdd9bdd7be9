// The GPU normal map on the OpenGL backend against the CPU one's bytes, and the batch comparison that measures it.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <vector>

#include "../batch/BatchTesting.h"
#include "../normalmap/FakeHeightmap.h"
#include "GLTest.h"
#include "batch/cBatchRun.h"
#include "heightmap/cFFTHeightmap.h"
#include "normalmap/cNormalmapFDRaw.h"
#include "normalmap/cNormalmapFDTex.h"

namespace gltest {
namespace {

class NormalmapFDTexTest : public GLDeviceTest {
 protected:
  void TearDown() override {
    gpu_.reset();
    GLDeviceTest::TearDown();
  }
  // Renders the GPU normal map of the heightmap texture and compares it with the CPU one's, each channel within 1.
  void ExpectGpuMatchesCpu(iHeightmap* heights, int method, float amplitude) {
    SCOPED_TRACE(::testing::Message() << "N " << heights->GetResolution() << ", method " << method);
    gpu_->SetMethod(method);
    gpu_->SetAmplitude(amplitude);
    ASSERT_TRUE(gpu_->WriteTexture(d3d_, device_));
    cNormalmapFDRaw cpu;
    ASSERT_TRUE(cpu.SetSource(heights));
    cpu.SetMethod(method);
    cpu.SetAmplitude(amplitude);
    ASSERT_TRUE(cpu.Compute() && cpu.WriteTexture(d3d_, device_));
    Picture gpuTexels, cpuTexels;
    ASSERT_TRUE(gpuTexels.Read(gpu_->GetTexture()) && cpuTexels.Read(cpu.GetTexture()));
    ASSERT_EQ(gpuTexels.bgra.size(), cpuTexels.bgra.size());
    int spread[2] = {255, 0};  // the red channel's range: the normals must not be nearly flat
    size_t mismatches = 0;
    const std::vector<uint8_t>&gpuBytes = gpuTexels.bgra, &cpuBytes = cpuTexels.bgra;
    for (size_t k = 0; k < cpuBytes.size(); k += 4) {
      bool near = true;
      for (size_t c = 0; c < 4; ++c) near = near && std::abs(gpuBytes[k + c] - cpuBytes[k + c]) <= 1;
      if (!near && mismatches++ < 3) {
        const UINT x = static_cast<UINT>(k / 4 % cpuTexels.width), y = static_cast<UINT>(k / 4 / cpuTexels.width);
        ADD_FAILURE() << x << "," << y << ": " << ColorNear(gpuTexels.Color(x, y), cpuTexels.Color(x, y), 1).message();
      }
      spread[0] = std::min<int>(spread[0], cpuBytes[k + 2]);
      spread[1] = std::max<int>(spread[1], cpuBytes[k + 2]);
    }
    EXPECT_EQ(mismatches, 0u) << "texels of " << cpuTexels.bgra.size() / 4;
    EXPECT_GT(spread[1] - spread[0], 60);
  }
  // Random heights as bytes, the heightmap texture format of the shader model 2 engine; the CPU heights are the same
  // levels as floats.
  void UseByteHeights(int n) {
    std::mt19937 generator(4);
    std::uniform_int_distribution<int> level(0, 255);
    byteHeights_.Resize(n);
    std::vector<D3DCOLOR> texels(n * n);
    for (int k = 0; k < n * n; ++k) {
      const int v = level(generator);
      byteHeights_.heights[k] = v / 255.0f;
      texels[k] = D3DCOLOR_ARGB(255, v, v, v);
    }
    IDirect3DTexture9* heightmapTexture = MakeTexture(n, n, texels);
    ASSERT_NE(heightmapTexture, nullptr);
    ASSERT_TRUE(gpu_->Initialize(heightmapTexture, d3d_, device_));
  }
  std::unique_ptr<cNormalmapFDTex> gpu_ = std::make_unique<cNormalmapFDTex>();
  normalmap::testing::FakeHeightmap byteHeights_{0};
};

// Which neighbour a texel reads must not depend on how its size rounds.
TEST_F(NormalmapFDTexTest, ByteHeightsGiveTheCpuBytesAtEverySize) {
  // The target is made again after a reset.
  UseByteHeights(32);
  ASSERT_TRUE(gpu_->WriteTexture(d3d_, device_));
  ASSERT_TRUE(gpu_->OnLostDevice(device_));
  EXPECT_EQ(gpu_->GetTexture(), nullptr);
  EndSceneAndPresent();
  D3DPRESENT_PARAMETERS parameters = PresentParameters();
  ASSERT_EQ(device_->Reset(&parameters), D3D_OK);
  ASSERT_TRUE(gpu_->OnResetDevice(device_));
  ASSERT_EQ(device_->BeginScene(), D3D_OK);
  inScene_ = true;
  ExpectGpuMatchesCpu(&byteHeights_, 1, 1.0f);
  for (int n = 16; n <= 1024; n *= 2) {
    UseByteHeights(n);
    ExpectGpuMatchesCpu(&byteHeights_, 0, 1.0f);
    ExpectGpuMatchesCpu(&byteHeights_, 1, 1.0f);
  }
}

// Float heights straight from the FFT generator, on a normal map larger than the back buffer and its depth surface.
TEST_F(NormalmapFDTexTest, FloatHeightsGiveTheCpuBytes) {
  const D3DXVECTOR2 wind(1.0f, 1.0f);
  cFFTHeightmap heightmap;
  ASSERT_TRUE(heightmap.Initialize(2 * kSize, 4, &wind, 4.0f, 17));
  ASSERT_TRUE(heightmap.UseFloatFormat(d3d_, device_));
  ASSERT_TRUE(heightmap.WriteTexture(device_));
  ASSERT_TRUE(gpu_->Initialize(heightmap.GetTexture(), d3d_, device_));
  ExpectGpuMatchesCpu(&heightmap, 0, 40.0f);
  ExpectGpuMatchesCpu(&heightmap, 1, 40.0f);
  gpu_.reset();
}

// The batch comparison measures the GPU normal map, which lands as close to the exact normal as the CPU forward
// differences after their 8-bit encoding (both read 8-bit data: the GPU one the heightmap texture).
using BatchGPU = GLTest;

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
  std::string header, row;
  std::getline(csv, header);  // the comment line
  std::getline(csv, header);
  std::getline(csv, row);
  std::istringstream names(header), values(row);
  std::map<std::string, double> value;
  for (std::string name, field; std::getline(names, name, ',') && std::getline(values, field, ',');)
    value[name] = std::stod(field);
  const double gpu = value.at("gpu-forward_mean_deg"), cpu = value.at("cpu-forward_8bit_mean_deg");
  EXPECT_GT(gpu, 0.0);
  EXPECT_LT(gpu, 1.5 * cpu + 0.2);
  EXPECT_LT(value.at("gpu-centred_mean_deg"), 1.5 * value.at("cpu-centred_8bit_mean_deg") + 0.2);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace gltest
