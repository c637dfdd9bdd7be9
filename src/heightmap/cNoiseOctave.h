// One octave of the animated value noise: four key frames (integer times
// T..T+3) of a periodic S*S lattice of hashed values, each smoothed by a 3x3
// kernel, stored with a border as (S+4)*(S+4).
#pragma once

#include <cstdint>
#include <vector>

#include "heightmap/cAlignedArray.h"

class cNoiseOctave {
 public:
  static constexpr int kKeys = 4;

  // The value in (0, 1] hashed from a lattice index.
  static float IntegerNoise(uint32_t n);

  // S cells per period; output pixel p sits at lattice position p * scale * ratio.
  bool Create(int latticeSize, int resolution, float scale, float ratio);
  int GetLatticeSize() const { return size_; }

  // Rebuilds key `key` for the given integer time.
  void BuildKey(int key, int64_t integerTime);
  // Key 0 takes key 1's lattices, 1 takes 2's, 2 takes 3's; key 3 keeps the old
  // key 0's memory for its rebuild.
  void RotateKeys();
  // Smoothed lattice of a key, row-major with edge S+4.
  const float* GetKey(int key) const { return smoothed_[key].Data(); }

  // heights += amplitude * (bilinear sample of sum of weights[k] * key k) per pixel.
  void AddTo(float* heights, float amplitude, const float weights[kKeys]);

 private:
  int Wrap(int index) const { return 1 + (index - 1 + size_) % size_; }

  int size_ = 0;
  int edge_ = 0;
  int resolution_ = 0;
  cAlignedArray<float> raw_;  // the key being rebuilt
  cAlignedArray<float> smoothed_[kKeys];
  cAlignedArray<float> blended_;
  // Lattice cell and fraction of each output row (and column: the mapping is the same).
  std::vector<int> cell_;
  std::vector<float> fraction_;
};
