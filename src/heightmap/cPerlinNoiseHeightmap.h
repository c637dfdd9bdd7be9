// Animated value noise summed over octaves: periodic hashed lattices, smoothed,
// sampled bilinearly in space and cubically in time between four key frames
// one time unit apart. The output tiles in both directions.
#pragma once

#include <cstdint>
#include <vector>

#include "heightmap/cAlignedArray.h"
#include "heightmap/cHeightmapTexture.h"
#include "heightmap/cNoiseOctave.h"
#include "heightmap/iHeightmap.h"

class cPerlinNoiseHeightmap : public iHeightmap {
 public:
  bool OnLostDevice() override { return true; }
  bool OnResetDevice() override { return true; }
  bool OnDeviceEvent() override { return true; }

  IDirect3DTexture9* GetTexture() const override { return texture_.Get(); }
  const float* GetHeights() const override { return heights_.Data(); }
  int GetResolution() const override { return size_; }
  bool WriteTexture(IDirect3DDevice9* device) override;
  bool Update(float time) override;
  int GetTypeId() const override;
  bool UseIntegerFormat(IDirect3D9* d3d, IDirect3DDevice9* device) override;
  bool UseFloatFormat(IDirect3D9* d3d, IDirect3DDevice9* device) override;
  D3DFORMAT GetTextureFormat() const override { return texture_.GetFormat(); }
  cEngineSettings* FillSettings(cEngineSettings* settings) override;

  // N is the power of two at or above the requested resolution, at least 2.
  // Only the leading octaves whose lattice is no finer than the pixel grid are
  // used. Ends by computing time 0. On failure nothing changes.
  bool Initialize(int resolution, float persistence, int octaves, int gridSize, bool squaredHeight);

  int GetOctaveCount() const { return static_cast<int>(octaves_.size()); }
  int GetLatticeSize(int octave) const { return octaves_[octave].GetLatticeSize(); }

 private:
  static constexpr int kTableSize = 1000;

  void AdvanceKeys(int64_t integerTime);

  int size_ = -1;
  float persistence_ = 0.0f;
  int gridSize_ = 0;
  bool squaredHeight_ = false;
  float amplitudeSum_ = 1.0f;
  std::vector<float> amplitudes_;
  std::vector<cNoiseOctave> octaves_;
  cAlignedArray<float> heights_;
  float squares_[kTableSize] = {};
  float cubes_[kTableSize] = {};
  int64_t integerTime_ = 0;
  bool firstUpdate_ = true;
  cHeightmapTexture texture_;
};
