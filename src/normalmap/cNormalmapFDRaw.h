// Normals by finite differences of the CPU heights: forward differences, or
// centred differences with Sobel weights. The field wraps around at every edge,
// as the heightmap tiles.
#pragma once

#include "heightmap/cAlignedArray.h"
#include "heightmap/iHeightmap.h"
#include "normalmap/cNormalmapTexture.h"
#include "normalmap/iNormalmap.h"

class cNormalmapFDRaw : public iNormalmap {
 public:
  enum Method { FORWARD = 0, CENTRED = 1 };

  IDirect3DTexture9* GetTexture() const override { return texture_.Get(); }
  bool OnLostDevice(IDirect3DDevice9*) override { return true; }
  bool OnResetDevice(IDirect3DDevice9*) override { return true; }
  bool OnDeviceEvent(IDirect3DDevice9*) override { return true; }
  bool Compute() override;
  bool WriteTexture(IDirect3D9* d3d, IDirect3DDevice9* device) override;
  const D3DXVECTOR3* GetNormals() const override { return normals_.Data(); }
  int GetResolution() const override { return size_; }
  void SetAmplitude(float amplitude) override { amplitude_ = amplitude; }
  bool IsSupported(IDirect3D9* d3d, IDirect3DDevice9* device) override;
  int GetTypeId() const override;
  cEngineSettings* FillSettings(cEngineSettings* settings) override;

  // Binds the heightmap (not owned) and sizes the normals to its N. An
  // uninitialised heightmap stays bound but leaves the old normals in place.
  bool SetSource(iHeightmap* heightmap);
  // 0 forward, 1 centred; anything else is taken as 0.
  void SetMethod(int method) { method_ = method == CENTRED ? CENTRED : FORWARD; }

 private:
  // Rows i-1, i and i+1, scaled by the amplitude, each with its wrapped
  // neighbour on both ends: element j+1 of a copy holds column j.
  struct RowWindow {
    float* previous;
    float* current;
    float* next;
  };

  void LoadRow(const float* heights, int row, float* copy) const;
  void ComputeRow(const RowWindow& rows, D3DXVECTOR3* normals) const;

  iHeightmap* heightmap_ = nullptr;
  cAlignedArray<D3DXVECTOR3> normals_;
  cAlignedArray<float> rowCopies_;
  size_t rowStride_ = 0;
  int size_ = -1;
  int method_ = FORWARD;
  float amplitude_ = 1.0f;
  cNormalmapTexture texture_;
};
