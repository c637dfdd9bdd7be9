// The batch program's device: headless by default (the components need one
// for their textures and buffers, and it draws nothing), or OpenGL in a small
// window when the GPU normal map must really draw. Inside a scene for its
// whole life, as the editor's frame is when it draws the GPU normal map.
#pragma once

#include <string>

#include "platform/d3d9.h"

class cBatchDevice {
 public:
  cBatchDevice() = default;
  cBatchDevice(const cBatchDevice&) = delete;
  cBatchDevice& operator=(const cBatchDevice&) = delete;
  ~cBatchDevice();

  // False with the reason in `error`; with `gpu`, when no display or OpenGL can be had.
  bool Create(bool gpu, std::string* error);

  IDirect3D9* d3d() const { return d3d_; }
  IDirect3DDevice9* get() const { return device_; }
  bool IsGPU() const { return window_ != nullptr; }

 private:
  HWND window_ = nullptr;
  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
};
