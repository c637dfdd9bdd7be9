// The GPU normal map on the OpenGL backend: its read-back texels against the
// CPU normal map's bytes for the same heights.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "../normalmap/FakeHeightmap.h"
#include "GLDeviceTest.h"
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

  // The CPU normal map's texture bytes (B, G, R, A rows) for these heights.
  std::vector<uint8_t> CpuTexels(iHeightmap* heights, int method, float amplitude) {
    cNormalmapFDRaw cpu;
    std::vector<uint8_t> texels;
    if (!cpu.SetSource(heights)) return texels;
    cpu.SetMethod(method);
    cpu.SetAmplitude(amplitude);
    D3DLOCKED_RECT locked;
    if (!cpu.Compute() || !cpu.WriteTexture(d3d_, device_) ||
        FAILED(cpu.GetTexture()->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) {
      return texels;
    }
    const int n = heights->GetResolution();
    for (int i = 0; i < n; ++i) {
      const uint8_t* row = static_cast<const uint8_t*>(locked.pBits) + i * locked.Pitch;
      texels.insert(texels.end(), row, row + 4 * n);
    }
    cpu.GetTexture()->UnlockRect(0);
    return texels;
  }

  // Renders the GPU normal map of the heightmap texture and compares it with
  // the CPU one, each channel within 1.
  void ExpectGpuMatchesCpu(iHeightmap* heights, int method, float amplitude) {
    SCOPED_TRACE(::testing::Message() << "N " << heights->GetResolution() << ", method " << method);
    gpu_->SetMethod(method);
    gpu_->SetAmplitude(amplitude);
    ASSERT_TRUE(gpu_->WriteTexture(d3d_, device_));
    std::vector<uint8_t> gpuTexels;
    ASSERT_TRUE(platform::ReadTexture(gpu_->GetTexture(), 0, gpuTexels));
    const std::vector<uint8_t> cpuTexels = CpuTexels(heights, method, amplitude);
    ASSERT_EQ(gpuTexels.size(), cpuTexels.size());
    int spread[2] = {255, 0};  // the red channel's range: the normals must not be nearly flat
    size_t mismatches = 0;
    for (size_t k = 0; k < cpuTexels.size(); k += 4) {
      bool near = true;
      for (size_t channel = 0; channel < 4; ++channel) {
        near = near && std::abs(gpuTexels[k + channel] - cpuTexels[k + channel]) <= 1;
      }
      if (!near && mismatches++ < 3) {
        ADD_FAILURE() << "texel " << k / 4 << ": B, G, R " << int{gpuTexels[k]} << ", " << int{gpuTexels[k + 1]} << ", "
                      << int{gpuTexels[k + 2]} << "; CPU " << int{cpuTexels[k]} << ", " << int{cpuTexels[k + 1]} << ", "
                      << int{cpuTexels[k + 2]};
      }
      spread[0] = std::min<int>(spread[0], cpuTexels[k + 2]);
      spread[1] = std::max<int>(spread[1], cpuTexels[k + 2]);
    }
    EXPECT_EQ(mismatches, 0u) << "texels of " << cpuTexels.size() / 4;
    EXPECT_GT(spread[1] - spread[0], 60);
  }

  // Random heights as bytes, the heightmap texture format of the shader model 2
  // engine; the CPU heights are the same levels as floats.
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
  for (int n = 16; n <= 1024; n *= 2) {
    UseByteHeights(n);
    ExpectGpuMatchesCpu(&byteHeights_, 0, 1.0f);
    ExpectGpuMatchesCpu(&byteHeights_, 1, 1.0f);
  }
}

// Float heights straight from the FFT generator, on a normal map larger than
// the back buffer and its depth surface.
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

TEST_F(NormalmapFDTexTest, TargetIsRecreatedAfterAReset) {
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
}

}  // namespace
}  // namespace gltest
