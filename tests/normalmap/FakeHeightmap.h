// A heightmap whose heights a test sets directly, at any size.
#pragma once

#include <random>
#include <vector>

#include "heightmap/iHeightmap.h"

namespace normalmap::testing {

class FakeHeightmap : public iHeightmap {
 public:
  explicit FakeHeightmap(int size) { Resize(size); }

  void Resize(int size) {
    size_ = size;
    heights.assign(size > 0 ? static_cast<size_t>(size) * size : 0, 0.0f);
  }
  float& At(int row, int column) { return heights[static_cast<size_t>(row) * size_ + column]; }
  void Randomize(unsigned seed, float low, float high) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> height(low, high);
    for (float& h : heights) h = height(generator);
  }

  bool OnLostDevice() override { return true; }
  bool OnResetDevice() override { return true; }
  bool OnDeviceEvent() override { return true; }
  IDirect3DTexture9* GetTexture() const override { return nullptr; }
  const float* GetHeights() const override { return heights.empty() ? nullptr : heights.data(); }
  int GetResolution() const override { return size_; }
  bool WriteTexture(IDirect3DDevice9*) override { return false; }
  bool Update(float) override { return true; }
  int GetTypeId() const override { return 100; }  // claims to be the FFT generator
  bool UseIntegerFormat(IDirect3D9*, IDirect3DDevice9*) override { return false; }
  bool UseFloatFormat(IDirect3D9*, IDirect3DDevice9*) override { return false; }
  D3DFORMAT GetTextureFormat() const override { return D3DFMT_A8R8G8B8; }
  cEngineSettings* FillSettings(cEngineSettings* settings) override { return settings; }

  std::vector<float> heights;

 private:
  int size_ = -1;
};

}  // namespace normalmap::testing
